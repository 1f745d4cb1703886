// A new user's run to a guideline worksheet, driving the real program: create a matter, fill
// General Information (the deponent is the plaintiff) and Gross Income, open the Guidelines form
// from its toolbar button, find the Gross Income figures there, enter the other party's figures,
// the children and an as-of date, print the worksheet through the output options into a PDF,
// exit; start again and find the inputs back; print the same worksheet without a window with
// `networth --print-guidelines`; read both PDFs with pdftotext (and hand them to the PDF/A
// check) and the stored table with dbfread.
//
// Worked by hand with the parameters from 2025-03-01: Jane 85,000 + 1,250 = 86,250, John
// 150,000; maintenance (i) 20% of 150,000 - 25% of 86,250 = 8,437.50, (ii) 40% of 236,250 -
// 86,250 = 8,250.00; child support on 94,500 and 141,750: 25% of the cap of 183,000 = 45,750,
// John's 60% of it 27,450.00.
//
// With SCREENSHOT_DIR set (and a real display, e.g. under Xvfb) it also grabs the screen with
// ImageMagick's `import -window root` while the form is open on the second run, and leaves the
// worksheet printed from the form there.

#include <QAction>
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "../support/find_child.h"
#include "../support/form_driver.h"
#include "../support/pdf_text.h"
#include "app/program_end.h"
#include "general_fixture.h"
#include "platform/db_radio_group.h"
#include "platform/scripted_dialogs.h"
#include "printing/print_components.h"
#include "report/output_options_dialog.h"
#include "report/report_fonts.h"
#include "storage/status.h"

namespace {

using test_support::FormDriver;

void type(QDialog& form, const char* name, const QString& text) {
    auto* box = test_support::findChild<QWidget>(&form, name);
    box->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(box)) line->setCursorPosition(0);
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines[i]);
    }
}

QString result(QDialog& form, const QString& label) {
    auto* table = test_support::findChild<QTableWidget>(&form, "Results");
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 0)->text() == label && table->item(row, 1))
            return table->item(row, 1)->text();
    }
    return QStringLiteral("(none)");
}

// Shows the results from the maintenance section on, as the screenshot in docs/ does.
void screenshot(QDialog& form, const QString& name) {
    const QString directory = qEnvironmentVariable("SCREENSHOT_DIR");
    if (directory.isEmpty()) return;
    auto* table = test_support::findChild<QTableWidget>(&form, "Results");
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 0)->text().startsWith("Temporary maintenance")) {
            table->scrollToItem(table->item(row, 0), QAbstractItemView::PositionAtTop);
            break;
        }
    }
    form.activateWindow();
    QTest::qWait(400);  // let the X server paint before grabbing it
    QProcess::execute("import", {"-window", "root", QDir(directory).filePath(name + ".png")});
}

QString pdfText(const QString& pdf) {
    return test_support::pdfPages(pdf).join(QLatin1Char('\n')).simplified();
}

// What every worksheet of the matter says, in the order printed.
const QStringList kWorksheetLines = {
    "Matter: Smith v. Smith",
    "Party A: Jane Smith (plaintiff, the deponent)",
    "Party B: JOHN SMITH (defendant)",
    "As of: 2025-06-02",
    "Jane Smith: Gross income (last federal return) 85,000.00",
    "Jane Smith: Investment income 1,250.00",
    "Jane Smith: income before maintenance 86,250.00",
    "JOHN SMITH: Gross income (last federal return) 150,000.00",
    "Guideline maintenance, annual 8,250.00",
    "Child support, annual 27,450.00",
    "The deponent's figures are those of the Gross Income schedule.",
};

}  // namespace

class GuidelinesRunTest : public QObject {
    Q_OBJECT

    QTemporaryDir programDir_;
    std::unique_ptr<app::Program> program_;
    QStringList fatal_;

    QString dataDirectory() const { return programDir_.filePath(QStringLiteral("data3005")); }
    void startAndShow() {
        program_ = std::make_unique<app::Program>(programDir_.path());
        program_->showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&program_->mainWindow()));
    }
    void command(const char* action) {
        test_support::triggerAction(&program_->mainWindow(), action);
    }

  private slots:
    void initTestCase() {
        QDir program(programDir_.path());
        QVERIFY(program.mkdir("data3005"));
        QVERIFY(program.mkpath("Guidelines"));
        QVERIFY(program.mkpath("Reports"));
        for (const char* file : {"Guidelines/parameters.ini", "Reports/Guidelines.rpf"}) {
            QVERIFY(QFile::copy(QDir(PROGRAM_DIR).filePath(file), program.filePath(file)));
        }
        // The worksheet's fonts, as the program loads them at start (Windows has no other
        // stand-in for the report's Times New Roman).
        QVERIFY(report::loadReportFonts(QDir(PROGRAM_DIR).filePath("fonts")) > 0);
        storage::setFatalHandler(
            [this](int, const std::string& text) { fatal_ << QString::fromStdString(text); });
    }

    void aNewUsersWorksheetFromTheFormAndFromTheCommandLine() {
        platform::ScopedScriptedDialogs script;
        SelectionDriver selection;
        FormDriver forms;
        int ended = 0;
        app::setProgramEndHandler([&] { ++ended; });

        selection.then([&](app::TF_SelectMatter& dialog) {
            script->answerInput("Smith v. Smith");
            SelectionDriver::click(dialog, "BitBtn1");
        });
        selection.then(SelectionDriver::openMatter("Smith v. Smith"));
        startAndShow();
        QTRY_COMPARE(selection.visits().size(), 2);
        matter::TF_General& general = program_->general();
        auto typeGeneral = [&](const char* name, const QString& text) {
            auto* box = test_support::findChild<QWidget>(&general, name);
            box->setFocus();
            const QStringList lines = text.split('\n');
            for (int i = 0; i < lines.size(); ++i) {
                if (i > 0) QTest::keyClick(box, Qt::Key_Return);
                QTest::keyClicks(box, lines[i]);
            }
        };
        typeGeneral("DbMemo1", "JANE SMITH,\nPlaintiff,");
        typeGeneral("DbMemo2", "JOHN SMITH,\nDefendant.");
        typeGeneral("DbEdit9", "Jane Smith");
        test_support::findChild<QCheckBox>(&general, "DbCheckBox3")->click();

        forms.then("F_Income", [](QDialog& form) {
            type(form, "DbEdit1", "85000");
            type(form, "DbEdit13", "1250");
        });
        command("GrossIncome1");

        // The toolbar button opens the form through the same gate; the General record is
        // committed first, so the form knows the deponent.
        const QString pdf = programDir_.filePath("from-the-form.pdf");
        auto& engine = program_->mainWindow().printComponents().ReportSystem1;
        QStringList setups;
        engine.setupHook = [&](report::OutputOptionsDialog& dialog) {
            setups << dialog.windowTitle();
            report::OutputOptions options = dialog.options();
            options.destination = report::Destination::File;
            options.fileName = pdf;
            dialog.setOptions(options);
            return true;
        };
        forms.then("F_Guidelines", [](QDialog& form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("Guidelines"));
            QCOMPARE(test_support::findChild<QLabel>(&form, "Gross_salary")->text(),
                     QStringLiteral("85,000.00"));
            QCOMPARE(test_support::findChild<QLabel>(&form, "DeponentName")->text(),
                     QStringLiteral("Jane Smith"));
            type(form, "osalary", "150000");
            type(form, "Children", "2");
            test_support::findChild<QAbstractButton>(
                test_support::findChild<platform::DbRadioGroup>(&form, "Custodial"), "Choice0")
                ->click();
            type(form, "AsOf", "06022025");
            QCOMPARE(result(form, "Guideline maintenance, annual"), QStringLiteral("8,250.00"));
            QTest::mouseClick(test_support::findChild<QPushButton>(&form, "PrintButton"),
                              Qt::LeftButton);
        });
        QTest::mouseClick(
            test_support::findChild<QToolButton>(&program_->mainWindow(), "ToolButton11"),
            Qt::LeftButton);
        QCOMPARE(forms.pending(), 0);
        QCOMPARE(setups, QStringList({"Output Options"}));
        command("Exit1");
        QCOMPARE(ended, 1);
        program_.reset();

        // Second run: the inputs are back.
        app::setProgramEndHandler([&] { ++ended; });
        selection.then(SelectionDriver::openMatter("Smith v. Smith"));
        startAndShow();
        QTRY_COMPARE(selection.visits().size(), 3);
        forms.then("F_Guidelines", [](QDialog& form) {
            QCOMPARE(test_support::findChild<QLineEdit>(&form, "osalary")->text(),
                     QStringLiteral("150000.00"));
            QCOMPARE(test_support::findChild<QLineEdit>(&form, "Children")->text(),
                     QStringLiteral("2"));
            QCOMPARE(result(form, "Guideline maintenance, annual"), QStringLiteral("8,250.00"));
            screenshot(form, "guidelines-form");
        });
        command("Guidelines1");
        QCOMPARE(forms.pending(), 0);
        command("Exit1");
        program_.reset();
        app::setProgramEndHandler(nullptr);
        QVERIFY2(forms.failures().isEmpty(), qPrintable(forms.failures().join("; ")));
        QVERIFY2(script->failures().isEmpty(), qPrintable(script->failures().join("; ")));
        QVERIFY2(script->shownTexts(platform::ScriptedDialogs::Kind::Message).isEmpty(),
                 qPrintable(script->shownTexts().join("; ")));
        QVERIFY2(fatal_.isEmpty(), qPrintable(fatal_.join("; ")));

        // The same worksheet without a window.
        const QString headless = programDir_.filePath("headless.pdf");
        QProcess run;
        run.start(QStringLiteral(NETWORTH), {"--print-guidelines", "Smith v. Smith", headless,
                                             "--data-dir", dataDirectory()});
        QVERIFY(run.waitForFinished(120000));
        QVERIFY2(run.exitCode() == 0, run.readAllStandardError().constData());
        QCOMPARE(run.readAllStandardOutput(), QByteArray());

        if (!qEnvironmentVariable("SCREENSHOT_DIR").isEmpty()) {
            QFile::copy(pdf, QDir(qEnvironmentVariable("SCREENSHOT_DIR"))
                                 .filePath("guidelines-worksheet-from-the-form.pdf"));
        }
        for (const QString& file : {pdf, headless}) {
            const QString text = pdfText(file);
            qsizetype at = 0;
            for (const QString& line : kWorksheetLines) {
                const qsizetype found = text.indexOf(line, at);
                QVERIFY2(found >= 0,
                         qPrintable(file + ": no \"" + line + "\" after " + text.mid(at, 200)));
                at = found + line.size();
            }
        }

        // The stored record, read by dbfread.
        QProcess reader;
        reader.start(QStringLiteral(NETWORTH_PYTHON),
                     {QStringLiteral(READ_TABLE_SCRIPT),
                      QDir(dataDirectory()).filePath(QStringLiteral("Guidelines.dbf"))});
        QVERIFY(reader.waitForFinished(60000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QJsonArray records =
            QJsonDocument::fromJson(reader.readAllStandardOutput()).object()["records"].toArray();
        QCOMPARE(records.size(), 1);
        const QJsonObject stored = records[0].toObject();
        QCOMPARE(stored["matter"].toString(), QStringLiteral("Smith v. Smith"));
        QCOMPARE(stored["osalary"].toDouble(), 150000.0);
        QVERIFY(stored["dsalary"].isNull());  // taken from Gross Income
        QCOMPARE(stored["children"].toInt(), 2);
        QCOMPARE(stored["custodial"].toString(), QStringLiteral("D"));
        QCOMPARE(stored["maint"].toString(), QStringLiteral("T"));
        QCOMPARE(stored["asof"].toString(), QStringLiteral("06/02/2025"));
    }
};

QTEST_MAIN(GuidelinesRunTest)
#include "guidelines_run_test.moc"
