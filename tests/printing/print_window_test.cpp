// The Print command of the main window over a full matter: the engine's windows with the
// statement's settings, the toolbar button, a missing report project shown in a message box and
// printing again once it is back.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/main_window.h"
#include "app/program.h"
#include "platform/scripted_dialogs.h"
#include "print_fixture.h"
#include "printing/print_components.h"
#include "report/output_options_dialog.h"
#include "report/preview_dialog.h"
#include "storage/status.h"

class PrintWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString program_, report_;
    std::unique_ptr<platform::ScopedScriptedDialogs> script_;
    std::unique_ptr<app::Program> app_;
    QStringList seen_;  // what the engine's windows showed, in order

    printing::PrintComponents& components() { return app_->mainWindow().printComponents(); }

    void trigger() { app_->mainWindow().findChild<QAction*>(QStringLiteral("Print1"))->trigger(); }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        program_ = dir_.filePath(QStringLiteral("program"));
        const QString data = dir_.filePath(QStringLiteral("data")) + '/';
        QDir().mkpath(program_ + QStringLiteral("/Reports"));
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
        auto* button = app_->mainWindow().findChild<QToolButton*>(QStringLiteral("ToolButton3"));
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

    void cancellingTheOutputOptionsShowsNothing() {
        components().ReportSystem1.setupHook = [this](report::OutputOptionsDialog&) {
            seen_ << QStringLiteral("setup");
            return false;
        };
        trigger();
        QCOMPARE(seen_, QStringList({"setup"}));
        QVERIFY(script_->script().shown().isEmpty());
    }
};

QTEST_MAIN(PrintWindowTest)
#include "print_window_test.moc"
