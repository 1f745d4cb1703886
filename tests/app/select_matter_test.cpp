// The whole program minus its message loop: the start sequence, the matter selection with its
// real General form, the common gate in front of it, the data path change and the end of a run.
// Every box is answered by the scripted dialogs; the selection is driven as the user would.

#include <QAction>
#include <QDate>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "../support/find_child.h"
#include "app/data_location.h"
#include "app/program_end.h"
#include "general_fixture.h"
#include "platform/dialogs.h"
#include "platform/ini_file.h"
#include "platform/scripted_dialogs.h"
#include "storage/status.h"

using platform::ScriptedDialogs;
using storage::DataSetState;
using Driver = SelectionDriver;

class MatterSelectionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> programDir_;
    std::unique_ptr<platform::ScopedScriptedDialogs> script_;
    std::unique_ptr<SelectionDriver> driver_;
    std::unique_ptr<app::Program> program_;
    QStringList ended_;
    QStringList fatal_;

    QString dataDir() const { return programDir_->filePath("data3005"); }
    QString otherDir() const { return programDir_->filePath("shared"); }
    ScriptedDialogs& script() { return script_->script(); }
    SelectionDriver& driver() { return *driver_; }
    matter::TF_General& general() { return program_->general(); }
    storage::TDbfTable& table() { return general().DbfTable1(); }
    QString matter() { return general().currentMatter(); }
    QString stateBox() { return general().stateBoxText(); }
    QStringList messages() { return script().shownTexts(ScriptedDialogs::Kind::Message); }

    void start() { program_ = std::make_unique<app::Program>(programDir_->path()); }
    void trigger(const char* action) {
        test_support::triggerAction(&program_->mainWindow(), action);
    }
    // Opens the selection with Open and runs `action` in it.
    void inSelection(Driver::Action action) {
        driver().then(std::move(action));
        trigger("Open1");
    }
    static Driver::Action create(ScriptedDialogs& script, QString name) {
        return [&script, name](app::TF_SelectMatter& dialog) {
            script.answerInput(name);
            Driver::click(dialog, "BitBtn1");
        };
    }
    Driver::Action create(const QString& name) { return create(script(), name); }
    Driver::Action cancelCreate() {
        return [this](app::TF_SelectMatter& dialog) {
            script().answerInputCancel();
            Driver::click(dialog, "BitBtn1");
        };
    }
    template <typename T>
    T* formChild(const char* name) {
        return test_support::findChild<T>(&general(), name);
    }
    static QString today() { return QDate::currentDate().toString("yyyyMMdd"); }

  private slots:
    void init() {
        programDir_ = std::make_unique<QTemporaryDir>();
        QDir(programDir_->path()).mkdir("data3005");
        QDir(programDir_->path()).mkdir("shared");
        script_ = std::make_unique<platform::ScopedScriptedDialogs>();
        driver_ = std::make_unique<SelectionDriver>();
        driver_->closeScheduleFormsWhenShown();
        ended_.clear();
        fatal_.clear();
        app::setProgramEndHandler([this] { ended_ << "end program"; });
        storage::setFatalHandler(
            [this](int, const std::string& text) { fatal_ << QString::fromStdString(text); });
    }
    void cleanup() {
        program_.reset();
        const QStringList failures =
            driver().failures() + script().failures() + fatal_ +
            QStringList(driver().pending() ? "selection actions left over" : "") +
            QStringList(script().pendingAnswers() ? "answers left over" : "");
        driver_.reset();
        script_.reset();
        app::setProgramEndHandler(nullptr);
        QCOMPARE(failures.join("").trimmed(), QString());
    }

    void startOnAnEmptyDirectoryOffersTheSelectionTwice() {
        driver().then(cancelCreate()).then(create("Smith v. Smith"));
        start();
        QCOMPARE(driver().visits().size(), 1);
        QVERIFY(!driver().visits()[0].mainVisible);
        QCOMPARE(driver().visits()[0].list, QStringList());
        QCOMPARE(driver().visits()[0].pathLine,
                 QDir::toNativeSeparators(dataDir()) + QDir::separator());
        QCOMPARE(matter(), QString());
        QCOMPARE(platform::readIniString(programDir_->filePath("tallo.ini"), "Database3", "Path"),
                 QDir::toNativeSeparators(dataDir()) + QDir::separator());

        program_->showMainWindow();
        QTRY_COMPARE(driver().visits().size(), 2);
        QVERIFY(driver().visits()[1].mainVisible);
        QCOMPARE(program_->mainWindow().windowTitle(),
                 QString("Quillmark Net Worth - DeskTop Version: 3.0.0.7"));
        QCOMPARE(matter(), QString("Smith v. Smith"));
        QCOMPARE(table().State(), DataSetState::Insert);
        QCOMPARE(storedMatters(dataDir()), QStringList());  // not posted yet
        QVERIFY(messages().isEmpty());
    }

    void startOnAFilledDirectoryOffersItOnceInKeyOrder() {
        writeGeneral(dataDir(), {{{"matter", "Young v. Young"}, {"state", "Texas"}},
                                 {{"matter", "Adams v. Adams"}}});
        driver().then(Driver::openMatter("Young v. Young"));
        start();
        QCOMPARE(driver().visits().size(), 0);
        QCOMPARE(matter(), QString("Adams v. Adams"));
        QCOMPARE(table().State(), DataSetState::Edit);
        program_->showMainWindow();
        QTRY_COMPARE(driver().visits().size(), 1);
        QCOMPARE(driver().visits()[0].list, QStringList({"Adams v. Adams", "Young v. Young"}));
        QCOMPARE(matter(), QString("Young v. Young"));
        QCOMPARE(table().State(), DataSetState::Edit);
        QCOMPARE(stateBox(), QString("Texas"));
    }

    void quitInTheFirstSelectionEndsTheRunBeforeTheMainWindow() {
        driver().then([](app::TF_SelectMatter& dialog) {
            // A fixed dialog frame without caption buttons, which Escape does not close either.
            QCOMPARE(dialog.windowTitle(), QString("Corvane Net Worth - Select Matter"));
            QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
            QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(!dialog.close());
            QVERIFY(dialog.isVisible());
            QVERIFY(test_support::findChild<QPushButton>(&dialog, "BitBtn1")->isDefault());
            Driver::click(dialog, "BitBtn2");
        });
        start();
        QCOMPARE(ended_, QStringList({"end program"}));
        QVERIFY(app::programEnding());
        QVERIFY(!program_->mainWindow().isVisible());
    }

    void createInsertsTheNameWithTodayAndTheNextCommitPostsIt() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}, {"state", "Ohio"}}});
        start();
        inSelection(create("Jones v. Jones"));
        const ScriptedDialogs::Shown asked = script().shown().last();
        QCOMPARE(asked.kind, ScriptedDialogs::Kind::Input);
        QCOMPARE(asked.caption, QString("New Matter Input"));
        QCOMPARE(asked.prompt, QString("Enter the new matter"));
        QCOMPARE(asked.text, QString("Matter goes here"));
        QCOMPARE(matter(), QString("Jones v. Jones"));
        QCOMPARE(table().State(), DataSetState::Insert);
        QCOMPARE(stateBox(), QString());
        QCOMPARE(QString::fromStdString(table().FieldByName("adate").AsString()), today());
        QCOMPARE(storedMatters(dataDir()), QStringList({"Adams v. Adams"}));

        trigger("Family1");  // the gate commits, then the Family form opens for the new matter
        QCOMPARE(driver().formsShown(), QStringList({"F_Family"}));
        const QList<Record> stored = readGeneral(dataDir());
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1]["matter"], QString("Jones v. Jones"));
        QCOMPARE(stored[1]["adate"], today());
        QCOMPARE(stored[1]["asofdate"], today());
        QCOMPARE(stored[1]["explisted"], QString("monthly"));
        QVERIFY(messages().isEmpty());
    }

    void createRefusesADuplicateButNotALetterCaseTwin() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}},
                                 {{"matter", "Smith v. Smith"}, {"state", "Texas"}}});
        start();
        QCOMPARE(matter(), QString("Adams v. Adams"));
        inSelection(create("Smith v. Smith"));
        QCOMPARE(messages(), QStringList({"Dupe Matter is not allowed"}));
        QCOMPARE(matter(), QString("Smith v. Smith"));  // the existing one is current
        QCOMPARE(stateBox(), QString("Texas"));
        QCOMPARE(table().State(), DataSetState::Browse);

        inSelection(create("SMITH V. SMITH"));
        QCOMPARE(messages().size(), 1);
        QCOMPARE(matter(), QString("SMITH V. SMITH"));
        inSelection(Driver::press("BitBtn3"));  // commits; nothing selected, nothing opened
        QCOMPARE(driver().visits().last().list,
                 QStringList({"Adams v. Adams", "SMITH V. SMITH", "Smith v. Smith"}));
        QCOMPARE(storedMatters(dataDir()).size(), 3);
    }

    void anEmptyNameIsAskedAgainAndCancelGoesToTheFirstRecord() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}, {"state", "Ohio"}},
                                 {{"matter", "Baker v. Baker"}, {"state", "Vermont"}}});
        start();
        inSelection(Driver::openMatter("Baker v. Baker"));
        QCOMPARE(stateBox(), QString("Vermont"));
        inSelection([this](app::TF_SelectMatter& dialog) {
            script().answerInput("");
            script().answerInput("");
            script().answerInputCancel();
            Driver::click(dialog, "BitBtn1");
        });
        QCOMPARE(messages(), QStringList({"Matter cannot be null", "Matter cannot be null"}));
        QCOMPARE(script().shownTexts(ScriptedDialogs::Kind::Input).size(), 3);
        QCOMPARE(matter(), QString("Adams v. Adams"));
        QCOMPARE(stateBox(), QString("Ohio"));

        inSelection(Driver::openMatter("Baker v. Baker"));
        inSelection(create("Matter goes here"));  // typing the preset is a cancel too
        QCOMPARE(matter(), QString("Adams v. Adams"));
        QCOMPARE(storedMatters(dataDir()).size(), 2);
    }

    void aBlankOnlyNameLeavesNoMatterAndIsDropped() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}}});
        start();
        inSelection(create("    "));
        QVERIFY(messages().isEmpty());
        QCOMPARE(matter(), QString());
        QCOMPARE(table().State(), DataSetState::Insert);
        trigger("Summary1");  // only commits; the dropped record leaves no matter
        QCOMPARE(driver().visits().size(), 1);
        QCOMPARE(storedMatters(dataDir()), QStringList({"Adams v. Adams"}));
        QCOMPARE(table().State(), DataSetState::Browse);
        QCOMPARE(matter(), QString("Adams v. Adams"));
    }

    void longNamesAreCutTo50CharactersAndComparedAfterTheCut() {
        const QString first50 = "In the Matter of the Marriage of Ann Marie Smith-J";
        QCOMPARE(first50.size(), 50);
        QCOMPARE(app::storedMatterName(first50 + "ones and John Smith"), first50);
        QCOMPARE(app::storedMatterName("short"), QString("short"));
        // Characters beyond the 16-bit range count once, as they take one byte when stored.
        const QString wide = QString(49, QChar('x')) + QString::fromUcs4(U"\U0001F600z");
        QCOMPARE(app::storedMatterName(wide),
                 QString(49, QChar('x')) + QString::fromUcs4(U"\U0001F600"));

        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}}});
        start();
        inSelection(create(first50 + "ones and John Smith"));
        QCOMPARE(matter(), first50);
        inSelection(create(first50 + "ohnson and Smith"));
        QCOMPARE(messages(), QStringList({"Dupe Matter is not allowed"}));
        QCOMPARE(matter(), first50);
        QCOMPARE(storedMatters(dataDir()), QStringList({"Adams v. Adams", first50}));
    }

    void deleteAsksAndLeavesTheNeighbourCurrent() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}, {"state", "Ohio"}},
                                 {{"matter", "Baker v. Baker"}, {"state", "Vermont"}},
                                 {{"matter", "Clark v. Clark"}, {"state", "Texas"}}});
        start();
        auto remove = [this](const QString& name, bool yes) {
            inSelection([this, name, yes](app::TF_SelectMatter& dialog) {
                Driver::select(dialog, name);
                yes ? script().answerYes() : script().answerNo();
                Driver::click(dialog, "BitBtn4");
            });
        };
        remove("Baker v. Baker", false);
        QCOMPARE(script().shown().last().text,
                 QString("Are you sure that you want to delete Baker v. Baker"));
        QCOMPARE(script().shown().last().kind, ScriptedDialogs::Kind::YesNo);
        QCOMPARE(storedMatters(dataDir()).size(), 3);
        QCOMPARE(matter(), QString("Adams v. Adams"));

        remove("Baker v. Baker", true);
        QCOMPARE(storedMatters(dataDir()), QStringList({"Adams v. Adams", "Clark v. Clark"}));
        QCOMPARE(matter(), QString("Clark v. Clark"));  // the next one
        QCOMPARE(stateBox(), QString("Texas"));

        remove("Clark v. Clark", true);
        QCOMPARE(matter(), QString("Adams v. Adams"));  // none follows: the preceding one
        QCOMPARE(stateBox(), QString("Ohio"));

        const int asked = script().shown().size();
        inSelection(Driver::press("BitBtn4"));  // nothing selected: no question, closed
        QCOMPARE(script().shown().size(), asked);

        // A deleted name can be created again, and is listed and opened as any other.
        inSelection(create("Baker v. Baker"));
        inSelection(Driver::openMatter("Baker v. Baker"));
        QCOMPARE(driver().visits().last().list, QStringList({"Adams v. Adams", "Baker v. Baker"}));
        QCOMPARE(matter(), QString("Baker v. Baker"));
        QCOMPARE(table().State(), DataSetState::Edit);
    }

    void deletingANameAnotherWorkstationDeletedFirstDeletesNothingElse() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}}, {{"matter", "Baker v. Baker"}}});
        start();
        inSelection([this](app::TF_SelectMatter& dialog) {
            Driver::select(dialog, "Baker v. Baker");
            storage::TDbfTable other("T_Other");  // the other workstation
            other.HideDeletedRecs = true;
            other.setDbfFileName(generalPath(dataDir()).toStdString());
            other.Open();
            QVERIFY(other.Locate("matter", {"Baker v. Baker"}, 0));
            other.Delete();
            other.Close();
            script().answerYes();
            Driver::click(dialog, "BitBtn4");
        });
        QCOMPARE(storedMatters(dataDir()), QStringList({"Adams v. Adams"}));
    }

    void openingANameAnotherWorkstationDeletedSaysSoAndEditsNothing() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}},
                                 {{"matter", "Baker v. Baker"}},
                                 {{"matter", "Clark v. Clark"}}});
        start();
        QString matterBefore, matterAfter;
        DataSetState stateBefore = DataSetState::Inactive, stateAfter = DataSetState::Inactive;
        QStringList listedAfter;
        bool stayedOpen = false;
        auto deleteAtOtherWorkstation = [this](const char* name) {
            storage::TDbfTable other("T_Other");
            other.HideDeletedRecs = true;
            other.setDbfFileName(generalPath(dataDir()).toStdString());
            other.Open();
            QVERIFY(other.Locate("matter", {name}, 0));
            other.Delete();
            other.Close();
        };
        inSelection([&](app::TF_SelectMatter& dialog) {
            matterBefore = matter();
            stateBefore = table().State();
            Driver::select(dialog, "Baker v. Baker");
            deleteAtOtherWorkstation("Baker v. Baker");
            Driver::click(dialog, "BitBtn3");
            stayedOpen = dialog.isVisible();
            matterAfter = matter();
            stateAfter = table().State();
            listedAfter =
                test_support::findChild<platform::DbListBox>(&dialog, "DbListBox1")->items();
            // A double-click on a vanished name does the same.
            deleteAtOtherWorkstation("Clark v. Clark");
            auto* list = test_support::findChild<QListWidget>(&dialog, "DbListBox1");
            const QRect clark = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, clark.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, clark.center());
            Driver::select(dialog, "Adams v. Adams");
            Driver::click(dialog, "BitBtn3");
        });
        QVERIFY(stayedOpen);
        QCOMPARE(matterAfter, matterBefore);
        QCOMPARE(stateAfter, stateBefore);  // F_General's table was not touched
        QCOMPARE(listedAfter, QStringList({"Adams v. Adams", "Clark v. Clark"}));
        QCOMPARE(messages(), QStringList({"The matter Baker v. Baker no longer exists",
                                          "The matter Clark v. Clark no longer exists"}));
        QCOMPARE(matter(), QString("Adams v. Adams"));
        QCOMPARE(table().State(), DataSetState::Edit);
        QCOMPARE(storedMatters(dataDir()), QStringList({"Adams v. Adams"}));
    }

    void openAndDoubleClickPositionTheGeneralForm() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}, {"state", "Ohio"}},
                                 {{"matter", "Baker v. Baker"}, {"state", "Vermont"}}});
        start();
        bool stayedOpen = false;
        inSelection([&stayedOpen](app::TF_SelectMatter& dialog) {
            auto* list = test_support::findChild<QListWidget>(&dialog, "DbListBox1");
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                               QPoint(4, list->viewport()->height() - 4));  // below the entries
            stayedOpen = dialog.isVisible();
            const QRect baker = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, baker.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, baker.center());
        });
        QVERIFY(stayedOpen);
        QCOMPARE(matter(), QString("Baker v. Baker"));
        QCOMPARE(table().State(), DataSetState::Edit);
        QCOMPARE(stateBox(), QString("Vermont"));

        inSelection(Driver::press("BitBtn3"));  // nothing selected: nothing changes
        QCOMPARE(matter(), QString("Baker v. Baker"));
    }

    void changeDataPathFromTheSelectionRelistsAndStaysOpen() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}}});
        writeGeneral(otherDir(), {{{"matter", "Other v. Other"}}});
        const QString empty = programDir_->filePath("empty");
        QDir().mkdir(empty);
        start();
        QString pathShown;
        QStringList listed, listedEmpty;
        inSelection([&](app::TF_SelectMatter& dialog) {
            auto* list = test_support::findChild<platform::DbListBox>(&dialog, "DbListBox1");
            script().answerDirectory(empty);
            Driver::click(dialog, "SpeedButton1");
            listedEmpty = list->items();
            script().answerDirectory(otherDir());
            Driver::click(dialog, "SpeedButton1");
            pathShown = test_support::findChild<QLabel>(&dialog, "Label1")->text();
            listed = list->items();
            QVERIFY(dialog.isVisible());
            Driver::select(dialog, "Other v. Other");
            Driver::click(dialog, "BitBtn3");
        });
        QCOMPARE(listedEmpty, QStringList());
        QCOMPARE(pathShown, otherDir() + QDir::separator());
        QCOMPARE(listed, QStringList({"Other v. Other"}));
        QCOMPARE(matter(), QString("Other v. Other"));
        QCOMPARE(QString::fromStdString(table().DbfFileName()),
                 otherDir() + QDir::separator() + "General.dbf");
        QCOMPARE(platform::readIniString(programDir_->filePath("tallo.ini"), "Database3", "Path"),
                 otherDir() + QDir::separator());
    }

    void changeDataPathFromTheMenuCommitsAndOffersTheNewList() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}}});
        writeGeneral(otherDir(), {{{"matter", "Other v. Other"}}});
        start();
        QTest::keyClicks(formChild<QLineEdit>("DbEdit3"), "101/16");
        script().answerDirectory(otherDir());
        driver().then(Driver::press("BitBtn3"));
        trigger("NetworkPath1");
        QCOMPARE(driver().visits().last().list, QStringList({"Other v. Other"}));
        // The directory as the chooser answered it.
        QCOMPARE(driver().visits().last().pathLine, otherDir() + QDir::separator());
        // The General form keeps its record from the old directory until a matter is opened.
        QCOMPARE(matter(), QString("Adams v. Adams"));
        QCOMPARE(readGeneral(dataDir())[0]["indexnum"], QString("101/16"));

        inSelection(Driver::openMatter("Other v. Other"));
        QCOMPARE(matter(), QString("Other v. Other"));
        script().answerDirectoryCancel();
        trigger("NetworkPath1");  // cancelled: no selection, nothing changes
        QCOMPARE(driver().visits().size(), 2);
    }

    void gateVariantsWithTheRealGeneralForm() {
        driver().then(cancelCreate());
        start();
        QCOMPARE(matter(), QString());
        for (const char* command :
             {"Family1", "Expenses1", "GrossIncome1", "Assets1", "Liabilities1", "Print1"}) {
            const int visits = driver().visits().size();
            script().clear();
            driver().then(Driver::press("BitBtn3"));
            trigger(command);
            QCOMPARE(messages(), QStringList({"No matter has been specified"}));
            QCOMPARE(driver().visits().size(), visits + 1);
        }
        const int visits = driver().visits().size();
        script().clear();
        trigger("Summary1");
        QVERIFY(script().shown().isEmpty());
        QCOMPARE(driver().visits().size(), visits);

        // With a matter each command commits the General record and goes on without a word.
        inSelection(create("Smith v. Smith"));
        for (const char* command : {"Family1", "Expenses1", "GrossIncome1", "Assets1",
                                    "Liabilities1", "Summary1", "Print1"}) {
            script().clear();
            QTest::keyClicks(formChild<QLineEdit>("DbEdit9"), "x");
            trigger(command);
            if (QString(command) == "Print1") {
                // No report project lies beside this test's program: the job says so.
                QCOMPARE(script().shown().size(), 1);
                QVERIFY(script().shown()[0].text.startsWith(
                    "The following reporting project does not exist:\r\""));
            } else {
                QVERIFY2(script().shown().isEmpty(), command);
            }
            QCOMPARE(table().State(), DataSetState::Browse);
        }
        QCOMPARE(driver().visits().size(), visits + 1);
        QCOMPARE(driver().formsShown(), QStringList({"F_Family", "F_Expenses", "F_Income",
                                                     "F_Assets", "F_Liabilities", "F_Summary"}));
        QCOMPARE(readGeneral(dataDir())[0]["xname"], QString("xxxxxxx"));
    }

    void exitAndClosingCommitANamedRecordAndDropAnUnnamedOne() {
        writeGeneral(dataDir(), {{{"matter", "Adams v. Adams"}}});
        start();
        QTest::keyClicks(formChild<QLineEdit>("DbEdit3"), "99/1");
        trigger("Exit1");
        QCOMPARE(ended_, QStringList({"end program"}));
        QCOMPARE(readGeneral(dataDir())[0]["indexnum"], QString("99/1"));

        program_.reset();
        app::setProgramEndHandler([this] { ended_ << "end program"; });
        start();
        QTest::keyClicks(formChild<QLineEdit>("DbEdit2"), "1/2/2016");
        program_->mainWindow().close();
        QCOMPARE(readGeneral(dataDir())[0]["adate_c"], QString("1/2/2016"));

        // No matter chosen: the typed record is dropped.
        program_.reset();
        QFile::remove(generalPath(dataDir()));
        driver().then(cancelCreate());
        start();
        QTest::keyClicks(formChild<QLineEdit>("DbEdit2"), "3/4/2016");
        trigger("Exit1");
        QCOMPARE(readGeneral(dataDir()).size(), 0);
    }

    void enteringIndexNoWithoutMatterOpensTheSelection() {
        driver().then(cancelCreate()).then(cancelCreate());
        start();
        program_->showMainWindow();
        QTRY_COMPARE(driver().visits().size(), 2);
        QCOMPARE(matter(), QString());

        program_->mainWindow().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&program_->mainWindow()));
        driver().then(create("Smith v. Smith"));
        auto* indexNo = formChild<QLineEdit>("DbEdit3");
        QTest::mouseClick(indexNo, Qt::LeftButton);
        QTRY_COMPARE(driver().visits().size(), 3);
        QCOMPARE(matter(), QString("Smith v. Smith"));
        QTest::keyClicks(indexNo, "7/16");
        QCOMPARE(indexNo->text(), QString("7/16"));
        QCOMPARE(driver().visits().size(), 3);
    }
};

QTEST_MAIN(MatterSelectionTest)
#include "select_matter_test.moc"
