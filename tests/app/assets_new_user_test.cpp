// A new user's run through the Assets, Liabilities and Summary schedules, driving the real
// program: create a matter, enter two checking accounts, a house, a car, a retirement account, a
// mortgage, a credit card, one transfer, the fees and the signature names; exit; start again and
// find everything back; then read the stored files with dbfread and find exactly what was typed.
//
// With SCREENSHOT_DIR set (and a real display, e.g. under Xvfb) it also grabs the screen with
// ImageMagick's `import -window root` while each form is open, at its top and scrolled to the
// group boxes that were filled.

#include <QAction>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "../support/find_child.h"
#include "../support/form_driver.h"
#include "../support/program_run.h"
#include "app/program_end.h"
#include "general_fixture.h"
#include "platform/scripted_dialogs.h"
#include "storage/status.h"

namespace {

void typeInto(QDialog& form, const QString& box, const QString& text) {
    QWidget* widget = test_support::findChild<QWidget>(&form, qPrintable(box));
    test_support::findChild<QScrollArea>(&form, "ScrollBox1")->ensureWidgetVisible(widget);
    widget->setFocus();
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) QTest::keyClick(widget, Qt::Key_Return);
        QTest::keyClicks(widget, lines[i]);
    }
}

void press(QDialog& form, const QString& component, const char* button) {
    auto* navigator = test_support::findChild<QWidget>(&form, qPrintable("Navigator_" + component));
    QTest::mouseClick(test_support::findChild<QToolButton>(navigator, button), Qt::LeftButton);
}

QString shown(QDialog& form, const QString& box,
              std::source_location where = std::source_location::current()) {
    QWidget* widget = test_support::findChild<QWidget>(&form, box, where);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) return memo->toPlainText();
    return "<no box " + box + ">";
}

void closeForm(QDialog& form) {
    QTest::mouseClick(test_support::findChild<QPushButton>(&form, "CloseButton"), Qt::LeftButton);
}

// Grabs the screen into SCREENSHOT_DIR/<name>.png when screenshots are asked for, with the scroll
// box at its top or scrolled to group box `groupAtTop`.
void screenshot(QDialog& form, const QString& name, const char* groupAtTop = nullptr) {
    const QString directory = qEnvironmentVariable("SCREENSHOT_DIR");
    if (directory.isEmpty()) return;
    QScrollBar* bar =
        test_support::findChild<QScrollArea>(&form, "ScrollBox1")->verticalScrollBar();
    bar->setValue(groupAtTop ? test_support::findChild<QWidget>(&form, groupAtTop)->y() - 4 : 0);
    form.activateWindow();
    QTest::qWait(400);  // let the X server paint before grabbing it
    QProcess::execute("import", {"-window", "root", QDir(directory).filePath(name + ".png")});
}

// Entries per box: what the user types into each form.
using Entries = QList<std::pair<QString, QString>>;

}  // namespace

class AssetsNewUserTest : public QObject {
    Q_OBJECT

    test_support::ProgramRun run_;

    void startAndOpen(SelectionDriver& driver, int visits) {
        run_.start();
        QTRY_COMPARE(driver.visits().size(), visits);
        QCOMPARE(run_.program().general().currentMatter(), QString("Smith v. Smith"));
    }

  private slots:
    void newUserEntersSchedulesAndFindsThemBack() {
        platform::ScopedScriptedDialogs script;
        SelectionDriver selection;
        test_support::FormDriver forms;
        QStringList ended;
        app::setProgramEndHandler([&] { ended << "end"; });

        selection.then(SelectionDriver::createMatter(script, "Smith v. Smith"));
        selection.then(SelectionDriver::openMatter("Smith v. Smith"));
        startAndOpen(selection, 2);

        forms.then("F_Assets", [](QDialog& form) {
            QCOMPARE(form.windowTitle(), QString("Assets - Smith v. Smith"));
            typeInto(form, "t_check_instituton", "Chase Bank");
            typeInto(form, "t_check_accountnum", "000123456789");
            typeInto(form, "t_check_title", "Jane Smith");
            typeInto(form, "t_check_dteopn", "05/14/2009");
            typeInto(form, "t_check_source", "Salary");
            typeInto(form, "t_check_cbal", "4210.55");
            typeInto(form, "t_check_balance", "3890.12");
            press(form, "t_check", "InsertButton");
            typeInto(form, "t_check_instituton", "Citibank");
            typeInto(form, "t_check_accountnum", "9876-5432");
            typeInto(form, "t_check_title", "Jane and John Smith");
            typeInto(form, "t_check_balance", "1200");
            typeInto(form, "t_retirement_desc", "401(k) plan");
            typeInto(form, "t_retirement_locassets", "Fidelity Investments");
            typeInto(form, "t_retirement_title", "Jane Smith");
            typeInto(form, "t_retirement_value", "85000");
            typeInto(form, "T_Vehicals_desc", "2018 Honda Accord\nVIN 1HGCV1F30JA000000");
            typeInto(form, "T_Vehicals_title", "John Smith");
            typeInto(form, "T_Vehicals_adate", "06/01/2018");
            typeInto(form, "T_Vehicals_price", "24500");
            typeInto(form, "T_Vehicals_value", "16750");
            typeInto(form, "T_realestate_desc", "Marital residence\n12 Elm Street, Albany, NY");
            typeInto(form, "T_realestate_title", "Jane and John Smith");
            typeInto(form, "T_realestate_adate", "09/15/2010");
            typeInto(form, "T_realestate_price", "310000");
            typeInto(form, "T_realestate_amtunpaid", "182340.77");
            typeInto(form, "T_realestate_value", "425000");
            screenshot(form, "assets-form");
            screenshot(form, "assets-form-scrolled", "GroupBox9");
            closeForm(form);
        });
        run_.command("Assets1");

        forms.then("F_Liabilities", [](QDialog& form) {
            QCOMPARE(form.windowTitle(), QString("Liabilities - Smith v. Smith"));
            typeInto(form, "T_mortpay_motrgagee", "Wells Fargo Home Mortgage\nDes Moines, IA");
            typeInto(form, "T_mortpay_property", "12 Elm Street, Albany, NY");
            typeInto(form, "T_mortpay_mortgagor", "Jane and John Smith");
            typeInto(form, "T_mortpay_odebt", "248000");
            typeInto(form, "T_mortpay_ddate", "09/15/2010");
            typeInto(form, "T_mortpay_monthlypay", "1432.18");
            typeInto(form, "T_mortpay_mdate", "10/01/2040");
            typeInto(form, "T_mortpay_amount", "182340.77");
            typeInto(form, "t_creditcard_debtor", "John Smith - Visa ending 4421");
            typeInto(form, "t_creditcard_origdebt", "3200");
            typeInto(form, "t_creditcard_debtdate", "01/10/2015");
            typeInto(form, "t_creditcard_purpose", "Household purchases");
            typeInto(form, "t_creditcard_payment", "150");
            typeInto(form, "t_creditcard_curamt", "2875.4");
            screenshot(form, "liabilities-form");
            screenshot(form, "liabilities-form-scrolled", "GroupBox5");
            closeForm(form);
        });
        QTest::mouseClick(
            test_support::findChild<QToolButton>(&run_.program().mainWindow(), "ToolButton9"),
            Qt::LeftButton);

        forms.then("F_Summary", [](QDialog& form) {
            QCOMPARE(form.windowTitle(), QString("Summary - Smith v. Smith"));
            typeInto(form, "T_Axfered_desc", "2009 Toyota Camry");
            typeInto(form, "T_Axfered_xferto", "Mary Smith, sister");
            typeInto(form, "DbEdit1", "3/4/2015");
            typeInto(form, "T_Axfered_value", "4500");
            typeInto(form, "T_Support_feememo",
                     "Major & Minor LLP: $5,000 retainer paid 01/05/2016 from savings");
            typeInto(form, "T_Support_otherdata", "None.");
            typeInto(form, "T_Support_swornbme", "Jane Smith");
            typeInto(form, "T_Support_attorney", "Mary Major, Esq.");
            screenshot(form, "summary-form");
            closeForm(form);
        });
        run_.command("Summary1");
        QCOMPARE(forms.pending(), 0);

        run_.command("Exit1");
        QCOMPARE(ended, QStringList({"end"}));
        run_.stop();

        // Second run: everything is back.
        app::setProgramEndHandler([&] { ended << "end"; });
        selection.then(SelectionDriver::openMatter("Smith v. Smith"));
        startAndOpen(selection, 3);
        forms.then("F_Assets", [](QDialog& form) {
            // The table opens on the matter's first checking account.
            QCOMPARE(shown(form, "t_check_instituton"), QString("Chase Bank"));
            press(form, "t_check", "NextButton");
            QCOMPARE(shown(form, "t_check_instituton"), QString("Citibank"));
            press(form, "t_check", "PriorButton");
            QCOMPARE(shown(form, "t_check_cbal"), QString("4210.55"));
            QCOMPARE(shown(form, "T_Vehicals_desc"),
                     QString("2018 Honda Accord\nVIN 1HGCV1F30JA000000"));
            QCOMPARE(shown(form, "T_realestate_amtunpaid"), QString("182340.77"));
            QCOMPARE(shown(form, "t_retirement_value"), QString("85000.00"));
            closeForm(form);
        });
        run_.command("Assets1");
        forms.then("F_Liabilities", [](QDialog& form) {
            QCOMPARE(shown(form, "T_mortpay_ddate"), QString("09/15/2010"));
            QCOMPARE(shown(form, "t_creditcard_curamt"), QString("2875.40"));
            closeForm(form);
        });
        run_.command("Liabilities1");
        forms.then("F_Summary", [](QDialog& form) {
            QCOMPARE(shown(form, "DbEdit1"), QString("3/4/2015"));
            QCOMPARE(shown(form, "T_Support_attorney"), QString("Mary Major, Esq."));
            closeForm(form);
        });
        run_.command("Summary1");
        QCOMPARE(forms.pending(), 0);
        run_.stop();
        app::setProgramEndHandler(nullptr);
        QVERIFY2(forms.failures().isEmpty(), qPrintable(forms.failures().join("; ")));
        QVERIFY2(script->failures().isEmpty(), qPrintable(script->failures().join("; ")));
        QCOMPARE(script->shownTexts(platform::ScriptedDialogs::Kind::Message), QStringList());
        QVERIFY2(run_.fatalErrors().isEmpty(), qPrintable(run_.fatalErrors().join("; ")));

        // The stored files, read by dbfread: each table the matter's records with the fields that
        // hold something.
        QProcess reader;
        reader.start(QStringLiteral(NETWORTH_PYTHON),
                     {QStringLiteral(READ_TABLES_SCRIPT), run_.dataDirectory()});
        QVERIFY(reader.waitForFinished(60000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QJsonObject files = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
        auto records = [&](const char* file) {
            return QJsonDocument(files[file].toArray()).toJson(QJsonDocument::Compact);
        };
        const QByteArray matter = R"("matter":"Smith v. Smith")";
        QCOMPARE(records("A_CashAcc_Checking.dbf"),
                 R"([{"accountnum":"000123456789","balance":3890.12,"cbal":4210.55,)"
                 R"("dteopn":"05/14/2009","instituton":"Chase Bank",)" +
                     matter +
                     R"(,"source":"Salary","title":"Jane Smith"},)"
                     R"({"accountnum":"9876-5432","balance":1200,"instituton":"Citibank",)" +
                     matter + R"(,"title":"Jane and John Smith"}])");
        QCOMPARE(records("retirement.dbf"),
                 R"([{"desc":"401(k) plan","locassets":"Fidelity Investments",)" + matter +
                     R"(,"title":"Jane Smith","value":85000}])");
        QCOMPARE(records("F_vehicals.dbf"),
                 R"([{"adate":"06/01/2018","desc":"2018 Honda Accord\r\nVIN 1HGCV1F30JA000000",)" +
                     matter + R"(,"price":24500,"title":"John Smith","value":16750}])");
        QCOMPARE(records("F_realestate.dbf"),
                 R"([{"adate":"09/15/2010","amtunpaid":182340.77,)"
                 R"("desc":"Marital residence\r\n12 Elm Street, Albany, NY",)" +
                     matter + R"(,"price":310000,"title":"Jane and John Smith","value":425000}])");
        QCOMPARE(
            records("L_MortPay.dbf"),
            R"([{"amount":182340.77,"ddate":"09/15/2010",)" + matter +
                R"(,"mdate":"10/01/2040","monthlypay":1432.18,"mortgagor":"Jane and John Smith",)"
                R"("motrgagee":"Wells Fargo Home Mortgage\r\nDes Moines, IA",)"
                R"("odebt":248000,"property":"12 Elm Street, Albany, NY"}])");
        QCOMPARE(records("creditcard.dbf"),
                 R"([{"curamt":2875.4,"debtdate":"01/10/2015",)"
                 R"("debtor":"John Smith - Visa ending 4421",)" +
                     matter +
                     R"(,"origdebt":3200,"payment":150,"purpose":"Household purchases"}])");
        QCOMPARE(records("Axfered.dbf"),
                 R"([{"desc":"2009 Toyota Camry",)" + matter +
                     R"(,"value":4500,"xdate":"3/4/2015","xferto":"Mary Smith, sister"}])");
        QCOMPARE(records("Support.dbf"),
                 R"([{"attorney":"Mary Major, Esq.",)"
                 R"("feememo":"Major & Minor LLP: $5,000 retainer paid 01/05/2016 from savings",)" +
                     matter + R"(,"otherdata":"None.","swornbme":"Jane Smith"}])");
        // The tables nobody typed into hold the matter's seed record only.
        for (const char* file : {"A_CashAcc_Cash.dbf", "F_household.dbf", "homeequity.dbf",
                                 "L_AP.dbf", "B_Securities_bonds.dbf"}) {
            QCOMPARE(records(file), "[{" + matter + "}]");
        }
        // The 31 schedule tables, General.dbf, and Marks.dbf, opened by the forms for their answer
        // marks and left without a record: nobody chose a mark.
        QCOMPARE(files.size(), 33);
        QCOMPARE(records("Marks.dbf"), "[]");
    }
};

QTEST_MAIN(AssetsNewUserTest)
#include "assets_new_user_test.moc"
