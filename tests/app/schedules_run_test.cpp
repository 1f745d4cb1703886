// A new user's run through the Family, Expenses and Gross Income schedules, driving the real
// program: create a matter, fill the three forms, exit; start again and find everything back;
// then read the three stored tables with dbfread and find exactly what was typed.

#include <QAction>
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "../support/find_child.h"
#include "../support/form_driver.h"
#include "../support/program_run.h"
#include "app/program_end.h"
#include "general_fixture.h"
#include "platform/db_grid.h"
#include "platform/db_list_box.h"
#include "platform/db_radio_group.h"
#include "platform/entry_mask.h"
#include "platform/scripted_dialogs.h"
#include "schedules/expenses_form.h"
#include "storage/status.h"

namespace {

template <typename T = QWidget>
T* in(QDialog& form, const char* name,
      std::source_location where = std::source_location::current()) {
    return test_support::findChild<T>(&form, name, where);
}

void type(QDialog& form, const char* name, const QString& text) {
    QWidget* control = in(form, name);
    control->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(control)) line->setCursorPosition(0);
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClicks(control, lines[i]);
    }
}

void chooseCategory(QDialog& form, int row) {
    auto* list = in<platform::DbListBox>(form, "ListBox1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

void typeCell(QDialog& form, int row, int column, const QString& text) {
    auto* grid = in<platform::DbGrid>(form, "DBGrid1");
    QTRY_VERIFY(grid->gridModel()->rowCount() > row);
    const QModelIndex index = grid->gridModel()->index(row, column);
    grid->setFocus();
    grid->setCurrentIndex(index);
    // A reading of the rows still queued from an earlier change closes an editor opened before
    // it: open it until it stays.
    QLineEdit* editor = nullptr;
    QTRY_VERIFY2(((editor = grid->findChild<QLineEdit*>()) && editor->isVisible()) ||
                     (grid->edit(index), false),
                 qPrintable(QStringLiteral("no editor in %1,%2").arg(row).arg(column)));
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

// With SCREENSHOT_DIR set (under a real display, e.g. Xvfb) grabs the screen into
// SCREENSHOT_DIR/<name>.png while the form is open.
void screenshot(QDialog& form, const QString& name) {
    const QString directory = qEnvironmentVariable("SCREENSHOT_DIR");
    if (directory.isEmpty()) return;
    form.activateWindow();
    QTest::qWait(400);  // let the X server paint before grabbing it
    QProcess::execute("import", {"-window", "root", QDir(directory).filePath(name + ".png")});
}

QString date(const char* month, const char* day, const char* year) {
    const QChar sep = platform::systemDateSeparator();
    return QLatin1String(month) + sep + QLatin1String(day) + sep + QLatin1String(year);
}

}  // namespace

class SchedulesRunTest : public QObject {
    Q_OBJECT

    test_support::ProgramRun run_;

    QJsonObject readTable(const char* file) {
        QProcess reader;
        reader.start(QStringLiteral(NETWORTH_PYTHON),
                     {QStringLiteral(READ_TABLE_SCRIPT),
                      QDir(run_.dataDirectory()).filePath(QLatin1String(file))});
        reader.waitForFinished(60000);
        if (reader.exitCode() != 0) qWarning() << reader.readAllStandardError();
        return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    }

  private slots:

    void fillTheSchedulesAndFindThemAgain() {
        platform::ScopedScriptedDialogs script;
        SelectionDriver selection;
        test_support::FormDriver forms;
        int ended = 0;
        app::setProgramEndHandler([&] { ++ended; });

        selection.then(SelectionDriver::createMatter(script, "Smith v. Smith"));
        selection.then(SelectionDriver::openMatter("Smith v. Smith"));
        run_.start();
        QTRY_COMPARE(selection.visits().size(), 2);

        forms.then("F_Family", [](QDialog& form) {
            type(form, "DbEdit1", "07041975");
            type(form, "DbEdit2", "11221976");
            type(form, "DbEdit3", "06151999");
            type(form, "DbMemo1", "Emma Smith, 03/02/2004\nNoah Smith, 09/18/2007");
            in<QCheckBox>(form, "DbCheckBox2")->click();
            test_support::findChild<QAbstractButton>(
                in<platform::DbRadioGroup>(form, "DbRadioGroup2"), "Choice1")
                ->click();
            type(form, "DbMemo3", "12 Elm Street\nAlbany, NY 12203");
            type(form, "DbEdit10", "Architect");
            type(form, "DbEdit11", "Registered nurse");
        });
        run_.command("Family1");
        forms.then("F_Expenses", [](QDialog& form) {
            typeCell(form, 0, 1, "2100");   // Rent
            typeCell(form, 2, 1, "650");    // Real estate taxes
            typeCell(form, 4, 1, "118.4");  // Homeowner's/Renter's Insurance
            typeCell(form, 4, 2, "Policy HO-3, paid yearly");
            chooseCategory(form, 1);
            QTRY_COMPARE(in<platform::DbGrid>(form, "DBGrid1")->gridModel()->rowCount(), 9);
            typeCell(form, 2, 1, "180.25");  // Electric
            chooseCategory(form, 8);
            QTRY_COMPARE(in<platform::DbGrid>(form, "DBGrid1")->gridModel()->rowCount(), 7);
            typeCell(form, 1, 1, "455");  // Lease or Loan Payments
            typeCell(form, 0, 2, "2019 Subaru Outback, personal");
            chooseCategory(form, 13);
            QTRY_COMPARE(in<platform::DbGrid>(form, "DBGrid1")->gridModel()->rowCount(), 0);
            QTest::keyClick(in(form, "DBGrid1"), Qt::Key_Insert);
            typeCell(form, 0, 0, "Storage unit");
            typeCell(form, 0, 1, "95");
            typeCell(form, 0, 2, "Albany Self Storage");
        });
        run_.command("Expenses1");
        forms.then("F_Income", [](QDialog& form) {
            type(form, "DbEdit1", "85000");
            test_support::findChild<QAbstractButton>(
                in<platform::DbRadioGroup>(form, "DbRadioGroup1"), "Choice1")
                ->click();
            type(form, "DbEdit15", "1200");
            type(form, "DbEdit11", "3400.5");
            type(form, "DbEdit13", "1250");
            type(form, "DbMemo1", "401(k) plan: $6,500\nIRA: $1,200");
        });
        run_.command("GrossIncome1");
        QCOMPARE(forms.shown(), 3);
        run_.command("Exit1");
        QCOMPARE(ended, 1);
        run_.stop();

        // Second run: everything is back.
        app::setProgramEndHandler([&] { ++ended; });
        selection.then(SelectionDriver::openMatter("Smith v. Smith"));
        run_.start();
        QTRY_COMPARE(selection.visits().size(), 3);
        forms.then("F_Family", [](QDialog& form) {
            QCOMPARE(in<QLineEdit>(form, "DbEdit1")->text(), date("07", "04", "1975"));
            QCOMPARE(in<platform::DbRadioGroup>(form, "DbRadioGroup2")->itemIndex(), 1);
            QCOMPARE(in<QLineEdit>(form, "DbEdit11")->text(), QStringLiteral("Registered nurse"));
            screenshot(form, "family-form");
        });
        run_.command("Family1");
        forms.then("F_Expenses", [](QDialog& form) {
            auto* model = in<platform::DbGrid>(form, "DBGrid1")->gridModel();
            QTRY_COMPARE(model->rowCount(), 6);
            QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Rent"));
            QVERIFY(!model->index(0, 1).data().toString().isEmpty());
            screenshot(form, "expenses-form");
            chooseCategory(form, 13);
            QTRY_COMPARE(model->rowCount(), 1);
            QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Storage unit"));
        });
        run_.command("Expenses1");
        forms.then("F_Income", [](QDialog& form) {
            QCOMPARE(in<QLineEdit>(form, "DbEdit15")->text().toDouble(), 1200.0);
            QCOMPARE(in<platform::DbRadioGroup>(form, "DbRadioGroup1")->itemIndex(), 1);
            screenshot(form, "income-form");
        });
        run_.command("GrossIncome1");
        QCOMPARE(forms.shown(), 6);
        run_.command("Exit1");
        run_.stop();
        app::setProgramEndHandler(nullptr);
        QVERIFY2(script->failures().isEmpty(), qPrintable(script->failures().join("; ")));
        QVERIFY(script->shownTexts(platform::ScriptedDialogs::Kind::Message).isEmpty());
        QVERIFY2(run_.fatalErrors().isEmpty(), qPrintable(run_.fatalErrors().join("; ")));
        QVERIFY2(forms.failures().isEmpty(), qPrintable(forms.failures().join("; ")));

        // The stored tables, read by dbfread.
        const QJsonArray family = readTable("Family.dbf")["records"].toArray();
        QCOMPARE(family.size(), 1);
        const QJsonObject f = family[0].toObject();
        QCOMPARE(f["matter"].toString(), QStringLiteral("Smith v. Smith"));
        QCOMPARE(f["husbage"].toString(), date("07", "04", "1975"));
        QCOMPARE(f["wifeage"].toString(), date("11", "22", "1976"));
        QCOMPARE(f["datemarrie"].toString(), date("06", "15", "1999"));
        QCOMPARE(f["depnames"].toString(),
                 QStringLiteral("Emma Smith, 03/02/2004\r\nNoah Smith, 09/18/2007"));
        QCOMPARE(f["custody"].toString(), QStringLiteral("Wife"));
        QCOMPARE(f["childpri1"].toBool(), false);
        QCOMPARE(f["childpri2"].toBool(), true);
        QCOMPARE(f["husbaddr"].toString(), QStringLiteral("12 Elm Street\r\nAlbany, NY 12203"));
        QCOMPARE(f["wifaddr"].toString(), QString());
        QCOMPARE(f["husbocc"].toString(), QStringLiteral("Architect"));
        QCOMPARE(f["wifeocc"].toString(), QStringLiteral("Registered nurse"));

        const QJsonArray lines = readTable("Expenses.dbf")["records"].toArray();
        QCOMPARE(lines.size(), 100);
        QStringList filled;
        for (const QJsonValue& value : lines) {
            const QJsonObject line = value.toObject();
            QCOMPARE(line["matter"].toString(), QStringLiteral("Smith v. Smith"));
            if (line["amt"].isNull() && line["info"].toString().isEmpty()) continue;
            filled << QStringLiteral("%1|%2|%3|%4|%5")
                          .arg(line["etype"].toString(), line["setype"].toString(),
                               line["expense"].toString())
                          .arg(line["amt"].toDouble())
                          .arg(line["info"].toString());
        }
        QCOMPARE(filled,
                 QStringList({"(a) Housing| Housing|Rent|2100|",
                              "(a) Housing| Housing|Real estate taxes|650|",
                              "(a) Housing| Housing|Homeowner's/Renter's Insurance|118.4|Policy "
                              "HO-3, paid yearly",
                              "(b) Utilities| Utilities|Electric|180.25|",
                              "(i) Automotive| Automotive|Year, Make, Personal/Business (use info "
                              "column)|0|2019 Subaru Outback, personal",
                              "(i) Automotive| Automotive|Lease or Loan Payments|455|",
                              "(n) Other| Other|Storage unit|95|Albany Self Storage"}));

        const QJsonArray income = readTable("Income.dbf")["records"].toArray();
        QCOMPARE(income.size(), 1);
        const QJsonObject i = income[0].toObject();
        QCOMPARE(i["matter"].toString(), QStringLiteral("Smith v. Smith"));
        QCOMPARE(i["salary"].toDouble(), 85000.0);
        QCOMPARE(i["incomechg"].toString(), QStringLiteral("Yes"));
        QCOMPARE(i["trust"].toDouble(), 1200.0);
        QCOMPARE(i["bonus"].toDouble(), 3400.5);
        QCOMPARE(i["dividends"].toDouble(), 1250.0);
        QCOMPARE(i["employers"].toString(), QStringLiteral("401(k) plan: $6,500\r\nIRA: $1,200"));
        QVERIFY(i["partnershi"].isNull());
    }
};

QTEST_MAIN(SchedulesRunTest)
#include "schedules_run_test.moc"
