// The main window: menus, toolbar, captions, the common gate, the commands and the About box.
// The forms behind the commands are stand-ins that log what happens to them.

#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "../support/find_child.h"
#include "app/data_location.h"
#include "app/network_form.h"
#include "app/program_end.h"
#include "app/splash_form.h"
#include "platform/scripted_dialogs.h"
#include "platform/shell_open.h"

using platform::ScriptedDialogs;

namespace {

// A modal stand-in that logs its showing, runs `whileOpen` and closes itself.
class LoggingDialog : public QDialog {
  public:
    LoggingDialog(QStringList& log, QString name, std::function<void()> whileOpen, QWidget* owner)
        : QDialog(owner), log_(log), name_(std::move(name)), whileOpen_(std::move(whileOpen)) {}

  protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        log_ << "show " + name_;
        if (whileOpen_) whileOpen_();
        QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
    }

  private:
    QStringList& log_;
    QString name_;
    std::function<void()> whileOpen_;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> programDir_;
    std::unique_ptr<app::DataLocation> location_;
    std::unique_ptr<platform::ScopedScriptedDialogs> script_;
    std::unique_ptr<app::TF_Main> main_;
    std::unique_ptr<app::TF_network> network_;
    QStringList log_;
    QString matter_;                      // what F_General's Matter box shows
    bool commitDropsMatter_ = false;      // UpdateGeneral drops a record without a name
    bool commitFindsMatterGone_ = false;  // UpdateGeneral finds the matter deleted elsewhere
    std::function<void()> inSelection_;   // what the user does in the matter selection

    ScriptedDialogs& script() { return script_->script(); }
    template <typename T>
    T* child(const char* name, std::source_location where = std::source_location::current()) {
        return test_support::findChild<T>(main_.get(), name, where);
    }
    void trigger(const char* action) { child<QAction>(action)->trigger(); }

  private slots:
    void init() {
        programDir_ = std::make_unique<QTemporaryDir>();
        location_ = std::make_unique<app::DataLocation>(programDir_->path());
        script_ = std::make_unique<platform::ScopedScriptedDialogs>();
        script().setOnShown([this](const ScriptedDialogs::Shown& box) { log_ << box.text; });
        log_.clear();
        matter_.clear();
        commitDropsMatter_ = false;
        commitFindsMatterGone_ = false;
        inSelection_ = nullptr;
        app::setProgramEndHandler([this] { log_ << "end program"; });

        main_ = std::make_unique<app::TF_Main>(*location_);
        app::ShellSeams seams;
        seams.currentMatter = [this] { return matter_; };
        seams.updateGeneral = [this] {
            log_ << "UpdateGeneral";
            if (commitDropsMatter_) matter_.clear();
            return !commitFindsMatterGone_;
        };
        seams.createMatterSelection = [this](QWidget* owner) {
            log_ << "create selection";
            return std::make_unique<LoggingDialog>(log_, "selection", inSelection_, owner);
        };
        seams.createScheduleForm = [this](const schedules::ScheduleFormEntry& form,
                                          QWidget* owner) {
            const QString name = QString::fromLatin1(form.objectName);
            log_ << "create " + name;
            return std::make_unique<LoggingDialog>(log_, name, nullptr, owner);
        };
        seams.printJob = [this] { log_ << "print job"; };
        main_->setSeams(std::move(seams));
        QVERIFY(location_->read());
        network_ = std::make_unique<app::TF_network>(*location_);
        main_->setNetworkForm(network_.get());
    }

    void cleanup() {
        main_.reset();
        network_.reset();
        QVERIFY2(script().failures().isEmpty(), qPrintable(script().failures().join("; ")));
        QCOMPARE(script().pendingAnswers(), 0);
        script_.reset();
        app::setProgramEndHandler(nullptr);
    }

    void menusHoldTheirItemsInOrderWithPictures() {
        QStringList bar;
        for (QAction* action : main_->menuBar()->actions()) bar << action->text();
        QCOMPARE(bar, QStringList({"&File", "F&orms", "Change_Data_Network_Path", "&Help"}));
        QCOMPARE(main_->menuBar()->objectName(), QString("MainMenu1"));
        QCOMPARE(child<QAction>("NetworkPath1")->menu(), nullptr);

        const QList<std::pair<const char*, QStringList>> menus = {
            {"File1",
             {"New1=&New", "Open1=&Open", "Print1=&Print", "Options1=Statement &Options...",
              "Exit1=&Exit"}},
            {"Forms1",
             {"Family1=F&amily", "Expenses1=&Expenses", "GrossIncome1=&Gross Income",
              "Assets1=&Assets", "Liabilities1=&Liabilities", "Summary1=&Summary",
              "Guidelines1=G&uidelines"}},
            {"Help1", {"About1=&About", "Contents1=&Contents"}},
        };
        for (const auto& [name, items] : menus) {
            QMenu* menu = child<QMenu>(name);
            QVERIFY(menu);
            QStringList actual;
            for (QAction* action : menu->actions()) {
                actual << action->objectName() + "=" + action->text();
                QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
            }
            QCOMPARE(actual, items);
        }
    }

    void toolbarShowsItsButtonsInOrderWithHints() {
        auto* toolBar = child<QToolBar>("ToolBar1");
        QVERIFY(toolBar);
        QStringList order;
        for (QAction* action : toolBar->actions()) {
            order << toolBar->widgetForAction(action)->objectName();
        }
        QCOMPARE(order,
                 QStringList({"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton4", "Label1",
                              "ToolButton5", "ToolButton6", "ToolButton7", "ToolButton8",
                              "ToolButton9", "ToolButton10", "ToolButton11"}));
        QVERIFY(toolBar->actions().at(3)->isSeparator());

        auto* label = child<QLabel>("Label1");
        QCOMPARE(label->text(), QString("Shortcut to Forms "));
        QVERIFY(label->font().bold());
        QVERIFY(label->wordWrap());

        const QList<std::pair<const char*, QString>> hints = {
            {"ToolButton1", "Start a new matter"},
            {"ToolButton2", "Open a different matter"},
            {"ToolButton3", "Print"},
            {"ToolButton5", "Family Form"},
            {"ToolButton6", "Expenses"},
            {"ToolButton7", "Income Form"},
            {"ToolButton8", "Assets"},
            {"ToolButton9", "Liabilities"},
            {"ToolButton10", "Summary"},
            {"ToolButton11", "Guideline amounts"}};
        for (const auto& [name, hint] : hints) {
            auto* button = child<QToolButton>(name);
            QCOMPARE(button->toolTip(), hint);
            QVERIFY(button->autoRaise());
            QCOMPARE(button->height(), 26);
            QVERIFY(!button->icon().isNull());
        }
        auto* panel = test_support::findChild<QLabel>(main_->statusBar(), "StatusPanel0");
        QCOMPARE(panel->text(), QString("Quillmark Main Menu"));
    }

    void eachToolbarButtonTriggersItsMenuItem() {
        const QList<std::pair<const char*, const char*>> pairs = {
            {"ToolButton1", "New1"},      {"ToolButton2", "Open1"},
            {"ToolButton3", "Print1"},    {"ToolButton5", "Family1"},
            {"ToolButton6", "Expenses1"}, {"ToolButton7", "GrossIncome1"},
            {"ToolButton8", "Assets1"},   {"ToolButton9", "Liabilities1"},
            {"ToolButton10", "Summary1"}, {"ToolButton11", "Guidelines1"}};
        matter_ = "Smith v. Smith";
        main_->show();  // buttons take clicks only when visible
        QTRY_VERIFY(log_.contains("show selection"));
        for (const auto& [button, action] : pairs) {
            QSignalSpy triggered(child<QAction>(action), &QAction::triggered);
            QTest::mouseClick(child<QToolButton>(button), Qt::LeftButton);
            QCOMPARE(triggered.count(), 1);
        }
    }

    void firstShowSetsTheCaptionAndOpensTheMatterSelection() {
        QCOMPARE(main_->windowTitle(), QString("Quillmark Net Worth "));
        main_->show();
        QCOMPARE(main_->windowTitle(), QString("Quillmark Net Worth - DeskTop Version: 3.0.0.7"));
        QTRY_COMPARE(log_, QStringList({"create selection", "UpdateGeneral", "show selection"}));
        main_->hide();
        main_->show();
        QCoreApplication::processEvents();  // runs a second show step, if there were one
        QCOMPARE(log_.count("show selection"), 1);
    }

    void withoutAMatterScheduleCommandsOfferTheSelection() {
        for (const char* command : {"Family1", "Expenses1", "GrossIncome1", "Assets1",
                                    "Liabilities1", "Guidelines1", "Print1"}) {
            log_.clear();
            inSelection_ = [this] { matter_ = "Chosen"; };
            trigger(command);
            QCOMPARE(log_, QStringList({"No matter has been specified", "create selection",
                                        "UpdateGeneral", "show selection"}));
            matter_.clear();  // the command did not resume after the choice
        }
    }

    void summaryWithoutAMatterDoesNothingVisible() {
        trigger("Summary1");
        QCOMPARE(log_, QStringList({"UpdateGeneral"}));
    }

    void aMatterDroppedByTheCommitStopsEachVariantItsOwnWay() {
        const QList<std::pair<const char*, QStringList>> cases = {
            {"Family1", {"UpdateGeneral", "General information form is incomplete"}},
            {"Expenses1", {"UpdateGeneral", "General information form is incomplete"}},
            {"GrossIncome1", {"UpdateGeneral"}},
            {"Assets1", {"UpdateGeneral"}},
            {"Liabilities1", {"UpdateGeneral"}},
            {"Summary1", {"UpdateGeneral"}},
            {"Guidelines1", {"UpdateGeneral"}},
            {"Print1", {"UpdateGeneral", "print job"}},
        };
        commitDropsMatter_ = true;
        for (const auto& [command, expected] : cases) {
            log_.clear();
            matter_ = "   blanks   ";
            trigger(command);
            QCOMPARE(log_, expected);
        }
    }

    // The General form has said "no longer exists" and opens the selection itself.
    void aMatterDeletedElsewhereStopsEveryCommandWithoutAWord() {
        commitFindsMatterGone_ = true;
        for (const char* command : {"Family1", "Expenses1", "GrossIncome1", "Assets1",
                                    "Liabilities1", "Summary1", "Print1"}) {
            log_.clear();
            matter_ = "Smith v. Smith";
            trigger(command);
            QCOMPARE(log_, QStringList({"UpdateGeneral"}));
        }
    }

    void withAMatterEachCommandOpensItsForm() {
        const QList<std::pair<const char*, QString>> cases = {
            {"Family1", "F_Family"},           {"Expenses1", "F_Expenses"},
            {"GrossIncome1", "F_Income"},      {"Assets1", "F_Assets"},
            {"Liabilities1", "F_Liabilities"}, {"Summary1", "F_Summary"},
            {"Guidelines1", "F_Guidelines"}};
        matter_ = "Smith v. Smith";
        for (const auto& [command, form] : cases) {
            log_.clear();
            trigger(command);
            QCOMPARE(log_, QStringList({"UpdateGeneral", "create " + form, "show " + form}));
        }
        log_.clear();
        trigger("Print1");
        QCOMPARE(log_, QStringList({"UpdateGeneral", "print job"}));
    }

    void newAndOpenCommitBeforeShowingTheSelection() {
        for (const char* command : {"New1", "Open1"}) {
            log_.clear();
            trigger(command);
            QCOMPARE(log_, QStringList({"create selection", "UpdateGeneral", "show selection"}));
        }
    }

    void changeDataPathFromTheMenu() {
        const QString chosen = QDir::toNativeSeparators(programDir_->filePath("shared"));
        script().answerDirectoryCancel();
        trigger("NetworkPath1");
        QCOMPARE(log_, QStringList({location_->directory()}));  // only the chooser was shown

        log_.clear();
        const QString start = location_->storedDirectory();
        script().answerDirectory(chosen);
        inSelection_ = [&] { log_ << "selection lists " + location_->directory(); };
        trigger("NetworkPath1");
        QCOMPARE(log_, QStringList({start, "create selection", "UpdateGeneral", "show selection",
                                    "selection lists " + chosen + QDir::separator()}));
    }

    void exitAndClosingCommitTheGeneralRecord() {
        trigger("Exit1");
        QCOMPARE(log_, QStringList({"UpdateGeneral", "end program"}));
        log_.clear();
        main_->close();
        QCOMPARE(log_, QStringList({"UpdateGeneral"}));
    }

    void contentsOpensTheManualBesideTheProgram() {
        QUrl opened;
        auto previous = platform::setDocumentOpener([&](const QUrl& url) { opened = url; });
        trigger("Contents1");
        platform::setDocumentOpener(previous);
        QCOMPARE(opened, QUrl::fromLocalFile(programDir_->filePath("Help/ManualE.pdf")));
    }

    void aboutBoxShowsItsTextsAndIsReleasedOnClose() {
        QStringList texts;
        bool frameless = false;
        QTimer::singleShot(0, this, [&] {
            auto* splash = qobject_cast<app::TF_Splash*>(QApplication::activeModalWidget());
            QVERIFY(splash);
            frameless = splash->windowFlags().testFlag(Qt::FramelessWindowHint);
            for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5"}) {
                texts << test_support::findChild<QLabel>(splash, name)->text();
            }
            QVERIFY(!test_support::findChild<QLabel>(splash, "Image1")->pixmap().isNull());
            auto* close = test_support::findChild<QPushButton>(splash, "BitBtn1");
            QCOMPARE(close->text(), QString("&Close"));
            QTest::mouseClick(close, Qt::LeftButton);
        });
        trigger("About1");
        QVERIFY(frameless);
        QCOMPARE(texts.mid(0, 2),
                 QStringList({"Statement of Net Worth (DRL \u00a7 236)", "Version 3.0"}));
        QVERIFY(texts.size() == 5 && !texts[2].isEmpty() && !texts[4].isEmpty());
        QVERIFY(main_->findChildren<app::TF_Splash*>().isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
