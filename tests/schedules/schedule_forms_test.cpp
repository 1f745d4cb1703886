// The registry of the schedule forms and the one way of opening them: every row names its form,
// caption, tables and command as the program has them, and every form opens, or fails to open,
// the same way.

#include "schedules/schedule_forms.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "family_fixture.h"
#include "platform/scripted_dialogs.h"
#include "storage/status.h"

using platform::ScriptedDialogs;
using schedules::GateRule;
using schedules::ScheduleFormEntry;

namespace {

// The rows as the program must have them, in menu order.
struct Expected {
    const char* objectName;
    const char* caption;
    int tables;
    const char* firstFile;
    GateRule gate;
    const char* menuItem;
    const char* menuCaption;
    const char* toolButton;
    const char* hint;
};

const Expected kExpected[] = {
    {"F_Family", "Family Data", 1, "Family.dbf", GateRule::OfferSelectionThenSayIncomplete,
     "Family1", "F&amily", "ToolButton5", "Family Form"},
    {"F_Expenses", "Expenses", 1, "Expenses.dbf", GateRule::OfferSelectionThenSayIncomplete,
     "Expenses1", "&Expenses", "ToolButton6", "Expenses"},
    {"F_Income", "Gross Income", 1, "Income.dbf", GateRule::OfferSelectionThenStopQuietly,
     "GrossIncome1", "&Gross Income", "ToolButton7", "Income Form"},
    {"F_Assets", "Assets", 19, "A_CashAcc_Cash.dbf", GateRule::OfferSelectionThenStopQuietly,
     "Assets1", "&Assets", "ToolButton8", "Assets"},
    {"F_Liabilities", "Liabilities", 10, "L_AP.dbf", GateRule::OfferSelectionThenStopQuietly,
     "Liabilities1", "&Liabilities", "ToolButton9", "Liabilities"},
    {"F_Summary", "Summary", 2, "Axfered.dbf", GateRule::CommitThenStopQuietly, "Summary1",
     "&Summary", "ToolButton10", "Summary"},
    {"F_Guidelines", "Guidelines", 4, "Guidelines.dbf", GateRule::OfferSelectionThenStopQuietly,
     "Guidelines1", "G&uidelines", "ToolButton11", "Guideline amounts"},
};

}  // namespace

class ScheduleFormsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormsFixture> fx_;
    std::unique_ptr<platform::ScopedScriptedDialogs> script_;
    QStringList fatal_;
    storage::FatalHandler previousFatal_;

    ScriptedDialogs& script() { return script_->script(); }
    const ScheduleFormEntry& entry(int row) { return schedules::scheduleForms()[size_t(row)]; }

  private slots:
    void init() {
        fx_ = std::make_unique<FormsFixture>();
        script_ = std::make_unique<platform::ScopedScriptedDialogs>();
        fatal_.clear();
        previousFatal_ = storage::setFatalHandler(
            [this](int, const std::string& message) { fatal_ << QString::fromStdString(message); });
    }
    void cleanup() {
        storage::setFatalHandler(previousFatal_);
        QVERIFY2(script().failures().isEmpty(), qPrintable(script().failures().join("; ")));
        script_.reset();
        fx_.reset();
    }

    void everyRowNamesItsFormTablesAndCommand() {
        QCOMPARE(schedules::scheduleForms().size(), std::size(kExpected));
        for (int row = 0; row < int(std::size(kExpected)); ++row) {
            const Expected& expected = kExpected[row];
            const ScheduleFormEntry& form = entry(row);
            QCOMPARE(form.objectName, expected.objectName);
            QCOMPARE(form.caption, expected.caption);
            QCOMPARE(int(form.tables().size()), expected.tables);
            QCOMPARE(form.tables().front().file, expected.firstFile);
            QVERIFY(form.gate == expected.gate);
            QCOMPARE(form.menuItem, expected.menuItem);
            QCOMPARE(form.menuCaption, expected.menuCaption);
            QCOMPARE(form.toolButton, expected.toolButton);
            QCOMPARE(form.hint, expected.hint);
            QCOMPARE(schedules::findScheduleForm(expected.objectName), &form);
            // The catalog names the same owner for each of the form's tables.
            for (const catalog::TableDef& table : form.tables()) {
                QCOMPARE(table.owner, expected.objectName);
            }
        }
        QCOMPARE(schedules::findScheduleForm("F_family"), nullptr);  // letter case counts
        QCOMPARE(schedules::findScheduleForm("F_Main"), nullptr);    // the print copies' owner
    }

    // Over an empty data directory each form opens named and captioned as its row says, with
    // the files of its whole table set created, and closes.
    void everyFormOpensOverAnEmptyDirectory() {
        for (int row = 0; row < int(std::size(kExpected)); ++row) {
            const ScheduleFormEntry& form = entry(row);
            std::unique_ptr<QDialog> dialog =
                schedules::openScheduleForm(form, fx_->context(), nullptr);
            QVERIFY2(dialog, form.objectName);
            QCOMPARE(dialog->objectName(), QString(kExpected[row].objectName));
            QCOMPARE(dialog->windowTitle(), QString(kExpected[row].caption));
            for (const catalog::TableDef& table : form.tables()) {
                QVERIFY2(QFile::exists(fx_->dataDirectory() + table.file), table.file);
            }
            dialog->close();
            QVERIFY2(!dialog->isVisible(), form.objectName);
        }
        QVERIFY(script().shownTexts().isEmpty());
        QVERIFY(fatal_.isEmpty());
    }

    // A table file the file layer cannot read is its fatal error for every form alike: the
    // handler hears of it once, nothing escapes the opening, and no form is shown.
    void aDamagedTableFileStopsEveryFormTheSameWay() {
        for (int row = 0; row < int(std::size(kExpected)); ++row) {
            const ScheduleFormEntry& form = entry(row);
            QFile damaged(fx_->dataDirectory() + kExpected[row].firstFile);
            QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write("not a table");
            damaged.close();
            fatal_.clear();
            std::unique_ptr<QDialog> dialog;
            try {
                dialog = schedules::openScheduleForm(form, fx_->context(), nullptr);
            } catch (...) {
                QFAIL(qPrintable(QString("an exception left the opening of ") + form.objectName));
            }
            QVERIFY2(!dialog, form.objectName);
            QCOMPARE(fatal_.size(), 1);
            QVERIFY2(fatal_.front().contains(kExpected[row].firstFile), qPrintable(fatal_.front()));
            QVERIFY(QFile::remove(fx_->dataDirectory() + kExpected[row].firstFile));
        }
        QVERIFY(script().shownTexts().isEmpty());
    }

    // A table that cannot be created (the data directory is gone) is the table component's
    // error: shown in a message box, and no form.
    void aTableThatCannotBeCreatedIsShownForEveryForm() {
        schedules::ScheduleContext context = fx_->context();
        context.dataDirectory = fx_->dataDirectory() + "gone" + QDir::separator();
        for (int row = 0; row < int(std::size(kExpected)); ++row) {
            script().clear();
            std::unique_ptr<QDialog> dialog =
                schedules::openScheduleForm(entry(row), context, nullptr);
            QVERIFY(!dialog);
            QCOMPARE(script().shownTexts(ScriptedDialogs::Kind::Message),
                     QStringList({QString("Could not create \"%1%2\"")
                                      .arg(context.dataDirectory, kExpected[row].firstFile)}));
        }
        QVERIFY(fatal_.isEmpty());
    }
};

QTEST_MAIN(ScheduleFormsTest)
#include "schedule_forms_test.moc"
