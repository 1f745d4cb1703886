// The Print command of the main window over a full matter: the engine's windows with the
// statement's settings, the toolbar button, a missing report project shown in a message box and
// printing again once it is back; the completeness check's question before the output options,
// answered both ways, and a mark set on a form beside entries named by it.
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "../support/find_child.h"
#include "../support/form_driver.h"
#include "../support/pdf_text.h"
#include "app/main_window.h"
#include "app/program.h"
#include "platform/db_combo_box.h"
#include "platform/scripted_dialogs.h"
#include "print_fixture.h"
#include "printing/print_components.h"
#include "report/output_options_dialog.h"
#include "report/preview_dialog.h"
#include "storage/status.h"

class PrintWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString program_, report_, data_;
    std::unique_ptr<platform::ScopedScriptedDialogs> script_;
    std::unique_ptr<app::Program> app_;
    QStringList seen_;  // what the engine's windows showed, in order

    printing::PrintComponents& components() { return app_->mainWindow().printComponents(); }

    void trigger(const char* action = "Print1") {
        test_support::triggerAction(&app_->mainWindow(), action);
    }
    // The scenario without its marks: the items it leaves empty are open.
    void forgetMarks() {
        for (const QString& name : QDir(data_).entryList({"Marks.*"}, QDir::Files))
            QVERIFY(QFile::remove(data_ + name));
    }
    QStringList questions() {
        return script_->script().shownTexts(platform::ScriptedDialogs::Kind::YesNo);
    }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        program_ = dir_.filePath(QStringLiteral("program"));
        const QString data = data_ = dir_.filePath(QStringLiteral("data")) + '/';
        QDir().mkpath(program_ + QStringLiteral("/Reports"));
        QDir(data).removeRecursively();  // each test starts on the scenario alone
        QDir().mkpath(data);
        report_ = program_ + QStringLiteral("/Reports/Diredodu.rpf");
        QFile::remove(report_);
        QVERIFY(QFile::copy(QStringLiteral(PROGRAM_DIR "/Reports/Diredodu.rpf"), report_));
        QFile ini(program_ + QStringLiteral("/tallo.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Database3]\r\nPath=" + data.toLocal8Bit() + "\r\n");
        ini.close();
        print_test::writeScenario(data);

        script_ = std::make_unique<platform::ScopedScriptedDialogs>();
        storage::setFatalHandler([](int, const std::string& message) { QFAIL(message.c_str()); });
        app_ = std::make_unique<app::Program>(program_);
        QCOMPARE(app_->mainWindow().currentMatter(), QStringLiteral("Smith v. Smith"));

        seen_.clear();
        components().ReportSystem1.setupHook = [this](report::OutputOptionsDialog& dialog) {
            seen_ << QStringLiteral("setup: ") + dialog.windowTitle();
            seen_ << QStringLiteral("destination preview: %1")
                         .arg(dialog.options().destination == report::Destination::Preview);
            return true;
        };
        components().ReportSystem1.previewHook = [this](report::PreviewDialog& preview) {
            seen_ << QStringLiteral("preview: ") + preview.windowTitle();
            seen_ << QStringLiteral("maximized: %1, modal: %2")
                         .arg(preview.isMaximized())
                         .arg(preview.isModal());
            seen_ << QStringLiteral("pages: %1").arg(preview.pageCount());
            preview.reject();
        };
    }

    void cleanup() {
        app_.reset();
        script_.reset();
        storage::setFatalHandler(nullptr);
    }

    void printShowsTheOutputOptionsThenTheMaximisedModalPreview() {
        trigger();
        QCOMPARE(seen_.size(), 5);
        QCOMPARE(seen_.mid(0, 4),
                 QStringList({"setup: Output Options", "destination preview: 1",
                              "preview: Report Preview", "maximized: 1, modal: 1"}));
        QVERIFY2(seen_[4] >= QStringLiteral("pages: 10"), qPrintable(seen_[4]));
        QVERIFY(script_->script().shown().isEmpty());
        // Everything the job opened is closed again.
        QVERIFY(!components().T_PFamily.Active());
        QVERIFY(!components().T_PExpenses.Active());
        QVERIFY(!components().T_PIncome.Active());
    }

    void theToolbarButtonRunsTheSameCommand() {
        auto* button = test_support::findChild<QToolButton>(&app_->mainWindow(), "ToolButton3");
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(seen_.value(0), QStringLiteral("setup: Output Options"));
        QCOMPARE(seen_.value(2), QStringLiteral("preview: Report Preview"));
    }

    void aMissingProjectIsShownAndPrintingAgainWorks() {
        const QByteArray saved = [this] {
            QFile file(report_);
            file.open(QIODevice::ReadOnly);
            return file.readAll();
        }();
        QVERIFY(QFile::remove(report_));
        trigger();
        QCOMPARE(seen_, QStringList());
        QCOMPARE(
            script_->script().shownTexts(),
            QStringList({QStringLiteral("The following reporting project does not exist:\r\"") +
                         QDir::toNativeSeparators(QDir::cleanPath(report_)) + '"'}));

        QFile file(report_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(saved);
        file.close();
        trigger();
        QCOMPARE(seen_.value(2), QStringLiteral("preview: Report Preview"));
        QCOMPARE(script_->script().shownTexts().size(), 1);
    }

    // A complete statement asks nothing (the tests above); an incomplete one asks before the
    // output options, and No goes back to the main window with everything closed.
    void anIncompleteStatementAsksAndNoPrintsNothing() {
        forgetMarks();
        script_->script().answerNo();
        trigger();
        QCOMPARE(seen_, QStringList());
        QCOMPARE(questions().size(), 1);
        const QString asked = questions().front();
        QVERIFY2(asked.startsWith("The statement of Smith v. Smith is not complete."),
                 qPrintable(asked));
        QVERIFY2(asked.contains("\nII. EXPENSES\n    (d) Clothing\n    (e) Insurance\n"),
                 qPrintable(asked));
        QVERIFY2(
            asked.contains("\nIV. ASSETS\n    (d) Security deposits\n    (f) Bonds and notes\n"),
            qPrintable(asked));
        QVERIFY(asked.endsWith("\n\nPrint the statement anyway?"));
        QCOMPARE(script_->script().shown().last().caption,
                 QStringLiteral("Statement of Net Worth"));
        QVERIFY(!components().T_PFamily.Active());
        QVERIFY(!components().T_PExpenses.Active());
        QVERIFY(!components().ReportProject1.isOpen());
    }

    void anIncompleteStatementAsksAndYesPrintsAsEver() {
        forgetMarks();
        script_->script().answerYes();
        trigger();
        QCOMPARE(questions().size(), 1);
        QCOMPARE(seen_.value(0), QStringLiteral("setup: Output Options"));
        QCOMPARE(seen_.value(2), QStringLiteral("preview: Report Preview"));
    }

    // A mark chosen on the Assets form beside the matter's cash entries: the check names it.
    void aMarkBesideEntriesIsNamedByTheCheck() {
        test_support::FormDriver driver;
        driver.then("F_Assets", [](QDialog& form) {
            auto* mark = test_support::findChild<platform::DbComboBox>(&form, "Mark_a_a");
            mark->setFocus();
            QTest::keyClick(mark, Qt::Key_Down);  // from no mark to NONE
            QCOMPARE(mark->currentText(), QStringLiteral("NONE"));
        });
        trigger("Assets1");
        QCOMPARE(driver.shown(), 1);
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join("; ")));
        script_->script().answerNo();
        trigger();
        QCOMPARE(seen_, QStringList());
        QCOMPARE(questions().size(), 1);
        QVERIFY2(questions().front().contains(
                     "\nIV. ASSETS\n    (a) Cash: marked NONE, but it has entries\n"),
                 qPrintable(questions().front()));
    }

    // The oath chosen in File, Statement Options and a mark changed on the Assets form reach the
    // printed statement: the affirmation in place of the jurat, the new mark in its item's place.
    void theOathAndAMarkChosenInTheProgramArePrinted() {
        test_support::FormDriver driver;
        driver.then("F_Options", [](QDialog& form) {
            test_support::findChild<QRadioButton>(&form, "Choice1")->click();
        });
        trigger("Options1");
        driver.then("F_Assets", [](QDialog& form) {
            auto* mark = test_support::findChild<platform::DbComboBox>(&form, "Mark_a_d");
            QCOMPARE(mark->currentText(), QStringLiteral("NONE"));
            mark->setFocus();
            QTest::keyClick(mark, Qt::Key_Down);
            QCOMPARE(mark->currentText(), QStringLiteral("INAPPLICABLE"));
        });
        trigger("Assets1");
        QCOMPARE(driver.shown(), 2);
        QVERIFY2(driver.failures().isEmpty(), qPrintable(driver.failures().join("; ")));

        const QString pdf = dir_.filePath(QStringLiteral("chosen.pdf"));
        components().ReportSystem1.setupHook = [&pdf](report::OutputOptionsDialog& dialog) {
            test_support::findChild<QRadioButton>(&dialog, "fileRadio")->setChecked(true);
            test_support::findChild<QLineEdit>(&dialog, "fileNameEdit")->setText(pdf);
            return true;
        };
        trigger();
        QVERIFY(questions().isEmpty());  // still complete: the item is marked, differently
        const QString text = test_support::pdfPages(pdf, false).join('\n');
        QVERIFY(
            text.contains("I affirm this ___ day of ______, ____, under the penalties of "
                          "perjury under the laws of New York"));
        QVERIFY(!text.contains("Sworn to before me"));
        QVERIFY(!text.contains("Notary Public"));
        QVERIFY2(text.contains(QRegularExpression("\\(d\\) Security deposits\\s+INAPPLICABLE\\s")),
                 qPrintable(text));
    }

    void cancellingTheOutputOptionsShowsNothing() {
        components().ReportSystem1.setupHook = [this](report::OutputOptionsDialog&) {
            seen_ << QStringLiteral("setup");
            return false;
        };
        trigger();
        QCOMPARE(seen_, QStringList({"setup"}));
        QVERIFY(script_->script().shown().isEmpty());
    }

    // Printing from the preview to a real printer: the PDF printer of a CUPS daemon that
    // with_cups.sh runs for this test alone. The printed pages hold the text of the PDF output,
    // page for page.
    void printingFromThePreviewReachesARealPrinter() {
        const QString queue = qEnvironmentVariable("NETWORTH_CUPS_PRINTER");
        const QString output = qEnvironmentVariable("NETWORTH_CUPS_OUTPUT");
        if (queue.isEmpty()) QSKIP("needs the CUPS daemon of tests/printing/with_cups.sh");
        report::TReportSystem& engine = components().ReportSystem1;

        // The PDF output, through the output options' file destination.
        const QString pdf = dir_.filePath(QStringLiteral("statement.pdf"));
        engine.setupHook = [&pdf](report::OutputOptionsDialog& dialog) {
            test_support::findChild<QRadioButton>(&dialog, "fileRadio")->setChecked(true);
            test_support::findChild<QLineEdit>(&dialog, "fileNameEdit")->setText(pdf);
            return true;
        };
        trigger();
        const QStringList expected = test_support::pdfPages(pdf);
        QVERIFY(expected.size() >= 10);

        // The printer: the preview's Print command, the print dialog accepted as it comes up.
        QString printerName, printError;
        bool native = false;
        engine.setupHook = [](report::OutputOptionsDialog&) { return true; };
        engine.printDialogHook = [&](QPrinter& printer) {
            printerName = printer.printerName();
            native = printer.outputFormat() == QPrinter::NativeFormat;
            return true;
        };
        engine.previewHook = [&printError](report::PreviewDialog& preview) {
            preview.printAction()->trigger();
            printError = preview.printError();
            preview.accept();
        };
        trigger();
        QCOMPARE(printerName, queue);  // the default destination, as a user's machine offers it
        QVERIFY(native);
        QVERIFY2(printError.isEmpty(), qPrintable(printError));

        const QString printed = waitForPrintedPdf(output);
        QVERIFY2(!printed.isEmpty(), "the printer wrote no PDF file");
        const QStringList pages =
            test_support::pdfPages(printed, true, test_support::PdfOrigin::Other);
        // Every page holds the same words. The converters in the printer's queue place glyphs a
        // little differently, which moves the blanks that pdftotext reads between columns and
        // the order in which it reads lines that stand almost level; the lines to fill in
        // ("____") are not words.
        QCOMPARE(pages.size(), expected.size());
        for (int i = 0; i < pages.size(); ++i) {
            const QStringList got = wordsOf(pages[i]), want = wordsOf(expected[i]);
            QStringList missing, extra;
            for (const QString& word : want)
                if (!got.contains(word)) missing << word;
            for (const QString& word : got)
                if (!want.contains(word)) extra << word;
            QVERIFY2(got == want, qPrintable(QStringLiteral("page %1: printed without %2, with %3")
                                                 .arg(i + 1)
                                                 .arg(missing.join(' '), extra.join(' '))));
        }
    }

  private:
    // The words of a page's text in sorted order.
    static QStringList wordsOf(const QString& page) {
        QStringList words =
            page.split(QRegularExpression(QStringLiteral("[\\s_]+")), Qt::SkipEmptyParts);
        words.sort();
        return words;
    }

    // The PDF file the printer wrote into `folder`, once CUPS holds no job any more; empty when
    // none came within two minutes.
    static QString waitForPrintedPdf(const QString& folder) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 120000) {
            QProcess lpstat;
            lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-o")});
            lpstat.waitForFinished(10000);
            const bool queueEmpty =
                lpstat.exitCode() == 0 && lpstat.readAllStandardOutput().isEmpty();
            const QFileInfoList files =
                QDir(folder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
            if (queueEmpty && !files.isEmpty()) return files.first().absoluteFilePath();
            QTest::qWait(250);
        }
        return {};
    }
};

QTEST_MAIN(PrintWindowTest)
#include "print_window_test.moc"
