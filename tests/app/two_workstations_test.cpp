// Two workstations on one matter: the program, driven as a user would, while another workstation
// (sharing_helper, a process of its own on the same data directory) changes, creates or deletes
// the same records; the files are then read back by dbfread.

#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "../support/find_child.h"
#include "../support/form_driver.h"
#include "app/program_end.h"
#include "general_fixture.h"
#include "platform/data_source.h"
#include "platform/scripted_dialogs.h"
#include "storage/status.h"

using test_support::FormDriver;

namespace {

void type(QDialog& form, const char* name, const QString& text) {
    auto* box = test_support::findChild<QLineEdit>(&form, name);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

}  // namespace

class TwoWorkstationsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> programDir_;
    std::unique_ptr<app::Program> program_;
    std::unique_ptr<SelectionDriver> selections_;
    QStringList fatal_;
    int helperRuns_ = 0;

    QString data(const QString& file = QString()) const {
        return QDir(programDir_->filePath("data3005")).filePath(file);
    }
    void command(const char* action) {
        test_support::triggerAction(&program_->mainWindow(), action);
    }

    // The other workstation posts `sets` onto `matter`'s record of `file` (or a new one).
    void otherWorkstationPosts(const char* file, const QString& matter, QStringList sets) {
        const QString report = data(QStringLiteral("other%1").arg(++helperRuns_));
        QFile go(report + ".go");
        QVERIFY(go.open(QIODevice::WriteOnly));
        go.close();
        QStringList args = {"post", data(file), matter, report, report + ".go"};
        args << sets;
        QCOMPARE(QProcess::execute(QStringLiteral(SHARING_HELPER), args), 0);
    }
    void otherWorkstationDeletes(const char* file, const QString& matter) {
        QCOMPARE(QProcess::execute(QStringLiteral(SHARING_HELPER), {"delete", data(file), matter}),
                 0);
    }

    // dbfread's reading of one table: {"live": [...], "deleted": [...]}.
    QJsonObject read(const char* file) {
        QProcess reader;
        reader.start(QStringLiteral(NETWORTH_PYTHON),
                     {QStringLiteral(READ_RECORDS_SCRIPT), data(QLatin1String(file))});
        reader.waitForFinished(60000);
        if (reader.exitCode() != 0) qWarning() << reader.readAllStandardError();
        return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    }

    // Starts the program on an empty data directory and creates `matter`, which is then current.
    void startWithNewMatter(platform::ScriptedDialogs& script, const QString& matter) {
        selections_->then([&script, matter](app::TF_SelectMatter& dialog) {
            script.answerInput(matter);
            SelectionDriver::click(dialog, "BitBtn1");
        });
        selections_->then(SelectionDriver::openMatter(matter));
        program_ = std::make_unique<app::Program>(programDir_->path());
        program_->showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&program_->mainWindow()));
        QTRY_COMPARE(selections_->visits().size(), 2);
        QCOMPARE(program_->general().currentMatter(), matter);
    }

  private slots:
    void initTestCase() {
        storage::setFatalHandler(
            [this](int, const std::string& text) { fatal_ << QString::fromStdString(text); });
    }
    void init() {
        programDir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(programDir_->path()).mkdir("data3005"));
        selections_ = std::make_unique<SelectionDriver>();
        app::setProgramEndHandler([] {});
    }
    void cleanup() {
        program_.reset();
        app::setProgramEndHandler(nullptr);
        QVERIFY2(selections_->failures().isEmpty(), qPrintable(selections_->failures().join("; ")));
        selections_.reset();
        QVERIFY2(fatal_.isEmpty(), qPrintable(fatal_.join("; ")));
    }

    // B keeps the Family form open while A changes the record: B's closing writes only what B
    // changed; where both changed a box, B is asked, and both answers do what they say.
    void aFormClosedLaterKeepsTheOtherWorkstationsChanges() {
        platform::ScopedScriptedDialogs script;
        startWithNewMatter(script.script(), "Smith v. Smith");
        FormDriver forms;
        forms.then("F_Family", [](QDialog& form) { type(form, "DbEdit10", "Engineer"); });
        command("Family1");
        QTRY_COMPARE(forms.shown(), 1);

        // A changes the defendant's occupation; B the plaintiff's.
        forms.then("F_Family", [this](QDialog& form) {
            otherWorkstationPosts("Family.dbf", "Smith v. Smith", {"wifeocc=Teacher"});
            type(form, "DbEdit10", "Engineer (retired)");
        });
        command("Family1");
        QTRY_COMPARE(forms.shown(), 2);
        QVERIFY(script->shownTexts(platform::ScriptedDialogs::Kind::YesNo).isEmpty());

        // Both change the plaintiff's occupation: No keeps A's, Yes writes B's.
        const QString question =
            platform::DataSource::conflictQuestion({"Occupation of Plaintiff"});
        for (const auto& [answer, stored] :
             {std::pair{false, "Architect"}, std::pair{true, "Doctor"}}) {
            answer ? script->answerYes() : script->answerNo();
            forms.then("F_Family", [this](QDialog& form) {
                otherWorkstationPosts("Family.dbf", "Smith v. Smith",
                                      {"husbocc=Architect", "husbaddr=1 Main Street"});
                type(form, "DbEdit10", "Doctor");
            });
            const int shown = forms.shown();
            command("Family1");
            QTRY_COMPARE(forms.shown(), shown + 1);
            QCOMPARE(script->shownTexts(platform::ScriptedDialogs::Kind::YesNo).last(), question);
            const QJsonArray family = read("Family.dbf")["live"].toArray();
            QCOMPARE(family.size(), 1);
            QCOMPARE(family[0]["husbocc"].toString(), QString(stored));
            QCOMPARE(family[0]["wifeocc"].toString(), QString("Teacher"));
            QCOMPARE(family[0]["husbaddr"].toString(), QString("1 Main Street"));
        }
        QVERIFY2(script->failures().isEmpty(), qPrintable(script->failures().join("; ")));
        QVERIFY2(forms.failures().isEmpty(), qPrintable(forms.failures().join("; ")));
    }

    // Both open the Family and the Gross Income form of a matter that has no record there yet:
    // one record each, holding both workstations' answers.
    void bothCreatingTheMattersRecordsMakeOneRecordEach() {
        platform::ScopedScriptedDialogs script;
        startWithNewMatter(script.script(), "Jones v. Jones");
        FormDriver forms;
        forms.then("F_Family", [this](QDialog& form) {
            otherWorkstationPosts("Family.dbf", "Jones v. Jones", {"husbocc=Pilot"});
            type(form, "DbEdit11", "Nurse");
        });
        command("Family1");
        QTRY_COMPARE(forms.shown(), 1);
        forms.then("F_Income", [this](QDialog& form) {
            otherWorkstationPosts("Income.dbf", "Jones v. Jones", {"salary=50000"});
            type(form, "DbEdit11", "1200");
        });
        command("GrossIncome1");
        QTRY_COMPARE(forms.shown(), 2);
        QVERIFY(script->shownTexts().size() == 1);  // the matter's name, nothing else asked
        QVERIFY2(forms.failures().isEmpty(), qPrintable(forms.failures().join("; ")));

        const QJsonArray family = read("Family.dbf")["live"].toArray();
        QCOMPARE(family.size(), 1);
        QCOMPARE(family[0]["matter"].toString(), QString("Jones v. Jones"));
        QCOMPARE(family[0]["husbocc"].toString(), QString("Pilot"));
        QCOMPARE(family[0]["wifeocc"].toString(), QString("Nurse"));
        const QJsonArray income = read("Income.dbf")["live"].toArray();
        QCOMPARE(income.size(), 1);
        QCOMPARE(income[0]["salary"].toDouble(), 50000.0);
        QCOMPARE(income[0]["bonus"].toDouble(), 1200.0);
        QCOMPARE(income[0]["incomechg"].toString(), QString("No"));
    }

    // A deletes the matter while it is B's current matter: B's next commit (opening a schedule)
    // writes nothing, says so and opens the matter selection; the record stays deleted.
    void aMatterDeletedElsewhereStaysDeleted() {
        platform::ScopedScriptedDialogs script;
        startWithNewMatter(script.script(), "Smith v. Smith");
        program_->mainWindow().activateWindow();
        auto* index = test_support::findChild<QLineEdit>(&program_->general(), "DbEdit3");
        index->setFocus();
        QTest::keyClicks(index, "12345/2016");
        otherWorkstationDeletes("General.dbf", "Smith v. Smith");

        QStringList listed;
        selections_->then([&listed](app::TF_SelectMatter& dialog) {
            listed = test_support::findChild<platform::DbListBox>(&dialog, "DbListBox1")->items();
            SelectionDriver::click(dialog, "BitBtn2");  // quit
        });
        selections_->closeScheduleFormsWhenShown();
        command("Family1");
        QTRY_COMPARE(selections_->visits().size(), 3);
        QCOMPARE(script->shownTexts().last(),
                 QString("The matter Smith v. Smith no longer exists"));
        QCOMPARE(listed, QStringList());
        QCOMPARE(selections_->formsShown(), QStringList());  // none for the deleted matter
        QCOMPARE(program_->general().currentMatter(), QString());

        const QJsonObject general = read("General.dbf");
        QCOMPARE(general["live"].toArray().size(), 0);
        const QJsonArray deleted = general["deleted"].toArray();
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(deleted[0]["matter"].toString(), QString("Smith v. Smith"));
        QVERIFY(!deleted[0].toObject().contains("indexnum"));  // B's typing was not written
    }

    // A matter that B has created but not yet saved, created meanwhile at A under the same name:
    // B is told that the matter exists and gets A's record; there is still one record.
    void aMatterNameCreatedMeanwhileIsNotAddedTwice() {
        platform::ScopedScriptedDialogs script;
        startWithNewMatter(script.script(), "Smith v. Smith");
        selections_->then([&script](app::TF_SelectMatter& dialog) {
            script->answerInput("Brown v. Brown");
            SelectionDriver::click(dialog, "BitBtn1");
        });
        command("New1");
        QTRY_COMPARE(selections_->visits().size(), 3);
        QCOMPARE(program_->general().currentMatter(), QString("Brown v. Brown"));
        otherWorkstationPosts("General.dbf", "Brown v. Brown", {"court=SUPREME"});

        selections_->closeScheduleFormsWhenShown();
        command("Family1");
        QTRY_COMPARE(selections_->formsShown(), QStringList{"F_Family"});
        QCOMPARE(script->shownTexts().last(), QString("Dupe Matter is not allowed"));
        QCOMPARE(program_->general().currentMatter(), QString("Brown v. Brown"));
        const QJsonArray general = read("General.dbf")["live"].toArray();
        QCOMPARE(general.size(), 2);
        QCOMPARE(general[1]["matter"].toString(), QString("Brown v. Brown"));
        QCOMPARE(general[1]["court"].toString(), QString("SUPREME"));
        const QJsonArray family = read("Family.dbf")["live"].toArray();
        QCOMPARE(family.size(), 1);
        QCOMPARE(family[0]["matter"].toString(), QString("Brown v. Brown"));
    }
};

QTEST_MAIN(TwoWorkstationsTest)
#include "two_workstations_test.moc"
