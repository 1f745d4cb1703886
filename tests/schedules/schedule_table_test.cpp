// The binding every schedule table shares: seeding, the matter fill and each branch of the
// blank-key rule, on real table files.

#include "schedules/schedule_table.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <span>

#include "platform/scripted_dialogs.h"

namespace {

using catalog::TableDef;
using schedules::ScheduleTable;
using storage::DataSetState;
using Kind = platform::ScriptedDialogs::Kind;

const catalog::FieldDef kFields[] = {
    {"matter", 'C', 50, 0}, {"location", 'C', 50, 0}, {"amt", 'N', 12, 2}, {"desc", 'M', 10, 0}};

// A table of one record per matter, like Family.dbf; `indexList` gives it a `matter` tag.
TableDef singleDefinition(std::span<const char* const> indexList) {
    return TableDef{"F_Test", "t_single", "Single.dbf", kFields, indexList};
}
constexpr const char* kMatterTag[] = {"MYKEY,F,T,matter", ""};

TableDef cashDefinition(const char* keyField) {
    TableDef table{"F_Assets", "t_cash", "A_CashAcc_Cash.dbf", kFields, {}};
    table.hideDeletedRecs = true;
    table.keyField = keyField;
    table.matterFiltered = true;
    return table;
}

class ScheduleTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        context.dataDirectory = dir.path() + QDir::separator();
        context.currentMatter = [this] { return matter; };
        context.installMatterFilter = [this](const QString&, storage::TDbfCDataSet& table) {
            table.SetFilterToCB(
                [this, &table](void*) {
                    return table.FieldByName("matter").AsString() == matter.toStdString();
                },
                nullptr);
        };
    }

    // The stored records of `file` in file order as "matter|location|amt|desc".
    std::vector<std::string> stored(const char* file = "A_CashAcc_Cash.dbf") {
        storage::TDbfTable reader("reader");
        reader.ReadOnly = true;
        reader.setDbfFileName(context.dataDirectory.toStdString() + file);
        reader.Open();
        std::vector<std::string> rows;
        for (reader.First(); !reader.Eof(); reader.Next()) {
            std::string row;
            for (int i = 0; i < reader.FieldCount(); ++i) {
                if (i) row += '|';
                row += reader.Fields(i).AsString();
            }
            rows.push_back(row);
        }
        return rows;
    }

    // Opens, lets `act` work on the table, then posts and closes as a form's closing does.
    bool session(const TableDef& definition, const std::function<void(ScheduleTable&)>& act,
                 bool firstRecord = false) {
        ScheduleTable binding(definition, context);
        binding.setKeyCaption("Location");
        binding.setCategory("Cash");
        binding.focusKeyField = [this] { ++focused; };
        binding.open(firstRecord);
        act(binding);
        const bool posted = binding.post();
        binding.close();
        return posted;
    }

    QTemporaryDir dir;
    schedules::ScheduleContext context;
    QString matter = "Smith v. Smith";
    platform::ScopedScriptedDialogs script;
    int focused = 0;
};

TEST_F(ScheduleTableTest, SeedsOncePerMatterAndIgnoresOtherMatters) {
    const TableDef cash = cashDefinition("location");
    EXPECT_TRUE(session(
        cash, [](ScheduleTable& t) { EXPECT_EQ(t.table().State(), DataSetState::Insert); }));
    EXPECT_TRUE(
        session(cash, [](ScheduleTable& t) { EXPECT_EQ(t.table().State(), DataSetState::Edit); }));
    matter = "smith v. smith";  // another matter, differing only in letter case
    EXPECT_TRUE(session(cash, [](ScheduleTable& t) {
        EXPECT_EQ(t.table().State(), DataSetState::Insert);
        EXPECT_EQ(t.table().FieldByName("matter").AsString(), "smith v. smith");
    }));
    EXPECT_EQ(stored(), (std::vector<std::string>{"Smith v. Smith|||", "smith v. smith|||"}));
    EXPECT_TRUE(script->shown().isEmpty());
}

TEST_F(ScheduleTableTest, OpensOnTheLastPassingRecordOrOnTheFirstWhenAsked) {
    // Another matter's record comes first in the file, so the table cannot stay where it opened.
    const TableDef cash = cashDefinition("location");
    matter = "Jones";
    session(cash, [](ScheduleTable& t) { t.table().FieldByName("location").setAsString("Jar"); });
    matter = "Smith v. Smith";
    session(cash, [](ScheduleTable& t) {
        t.table().FieldByName("location").setAsString("Safe");
        t.table().Insert();
        t.table().FieldByName("location").setAsString("Wallet");
        t.table().Post();
    });
    session(cash, [](ScheduleTable& t) {
        EXPECT_EQ(t.table().State(), DataSetState::Edit);
        EXPECT_EQ(t.table().FieldByName("location").AsString(), "Wallet");
    });
    session(
        cash,
        [](ScheduleTable& t) {
            EXPECT_EQ(t.table().State(), DataSetState::Edit);
            EXPECT_EQ(t.table().FieldByName("location").AsString(), "Safe");
        },
        true);
}

TEST_F(ScheduleTableTest, BlankKeyOfAnUntouchedAddedRecordIsDroppedSilently) {
    const TableDef cash = cashDefinition("location");
    session(cash, [](ScheduleTable& t) { t.table().FieldByName("location").setAsString("Safe"); });
    session(cash, [](ScheduleTable& t) {
        t.table().Insert();
        t.table().Prior();  // moving on drops the added record without a word
        EXPECT_EQ(t.table().FieldByName("location").AsString(), "Safe");
    });
    EXPECT_EQ(stored(), (std::vector<std::string>{"Smith v. Smith|Safe||"}));
    EXPECT_TRUE(script->shown().isEmpty());
}

TEST_F(ScheduleTableTest, BlankKeyOfATypedRecordAsksBeforeDiscarding) {
    const TableDef cash = cashDefinition("location");
    session(cash, [](ScheduleTable& t) { t.table().FieldByName("location").setAsString("Safe"); });

    // No: the move stops, the record stays added and the key field gets the focus.
    script->answerNo();
    session(cash, [this](ScheduleTable& t) {
        t.table().Insert();
        t.table().FieldByName("amt").setAsString("250.5");
        EXPECT_THROW(t.table().Prior(), storage::EAbort);
        EXPECT_EQ(t.table().State(), DataSetState::Insert);
        EXPECT_EQ(focused, 1);
        t.table().FieldByName("location").setAsString("Wallet");
    });
    EXPECT_EQ(script->shownTexts(Kind::YesNo),
              QStringList({"Cash:\n\"Location\" is empty, so this record will not be saved.\n\n"
                           "Discard the record?"}));

    // Yes: the added record is gone and the move goes on.
    script->answerYes();
    session(cash, [](ScheduleTable& t) {
        t.table().Insert();
        t.table().FieldByName("desc").setAsString("Coins");
        t.table().Prior();
        EXPECT_EQ(t.table().State(), DataSetState::Browse);
    });
    EXPECT_EQ(stored(),
              (std::vector<std::string>{"Smith v. Smith|Safe||", "Smith v. Smith|Wallet|250.5|"}));
    EXPECT_TRUE(script->failures().isEmpty());
}

TEST_F(ScheduleTableTest, ClearedKeyOfAStoredRecordKeepsItsStoredValues) {
    const TableDef cash = cashDefinition("location");
    session(cash, [](ScheduleTable& t) {
        t.table().FieldByName("location").setAsString("Safe");
        t.table().FieldByName("amt").setAsString("100");
    });
    // The closing post is refused: the record stays in editing.
    script->answerNo();
    EXPECT_FALSE(
        session(cash, [](ScheduleTable& t) { t.table().FieldByName("location").Clear(); }));
    EXPECT_EQ(focused, 1);
    script->answerYes();
    EXPECT_TRUE(session(cash, [](ScheduleTable& t) {
        t.table().FieldByName("location").Clear();
        t.table().FieldByName("amt").setAsString("999");
    }));
    EXPECT_EQ(script->shownTexts(Kind::YesNo).size(), 2);
    EXPECT_TRUE(script->shownTexts(Kind::YesNo)[1].contains("the changes to this record"));
    EXPECT_EQ(stored(), (std::vector<std::string>{"Smith v. Smith|Safe|100|"}));
}

TEST_F(ScheduleTableTest, FirstRecordOfAMatterIsStoredEvenWithABlankKey) {
    const TableDef cash = cashDefinition("location");
    session(cash, [](ScheduleTable& t) { t.table().FieldByName("amt").setAsString("12.25"); });
    // Unchanged on the next opening: posted again without a question.
    session(cash, [](ScheduleTable&) {});
    EXPECT_EQ(stored(), (std::vector<std::string>{"Smith v. Smith||12.25|"}));
    EXPECT_TRUE(script->shown().isEmpty());
}

TEST_F(ScheduleTableTest, NumericKeyAndTablesWithoutKey) {
    const TableDef byAmount = cashDefinition("amt");
    session(byAmount, [](ScheduleTable& t) { t.table().FieldByName("amt").setAsString("0"); });
    script->answerYes();
    session(byAmount, [](ScheduleTable& t) {
        t.table().Insert();
        t.table().FieldByName("location").setAsString("Bank");
        t.table().Prior();
    });
    EXPECT_EQ(script->shownTexts(Kind::YesNo).size(), 1);
    const TableDef noKey = cashDefinition(nullptr);
    session(noKey, [](ScheduleTable& t) {
        t.table().Insert();
        t.table().Prior();
    });
    EXPECT_EQ(stored(), (std::vector<std::string>{"Smith v. Smith||0|", "Smith v. Smith|||"}));
}

// A single-record table stands on the matter's record, found with letter case ignored where the
// table is in record order and exactly where its order is the `matter` tag; a matter without
// one gets a new record named after it.
TEST_F(ScheduleTableTest, SingleRecordTablesEditTheMattersRecordOrStartOne) {
    for (const bool tagged : {false, true}) {
        SCOPED_TRACE(tagged ? "matter tag" : "record order");
        ASSERT_TRUE(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
        const TableDef single = tagged ? singleDefinition(kMatterTag) : singleDefinition({});
        for (const char* name : {"Jones", "SMITH V. SMITH"}) {
            matter = name;
            EXPECT_TRUE(session(single, [](ScheduleTable& t) {
                EXPECT_EQ(t.table().State(), DataSetState::Insert);
                t.table().FieldByName("location").setAsString("Home");
            }));
        }
        matter = "Smith v. Smith";
        EXPECT_TRUE(session(single, [&](ScheduleTable& t) {
            EXPECT_EQ(t.table().State(), tagged ? DataSetState::Insert : DataSetState::Edit);
            EXPECT_EQ(t.editing(), true);
            t.table().FieldByName("amt").setAsString("7");
        }));
        EXPECT_EQ(stored("Single.dbf"),
                  tagged ? (std::vector<std::string>{"Jones|Home||", "SMITH V. SMITH|Home||",
                                                     "Smith v. Smith||7|"})
                         : (std::vector<std::string>{"Jones|Home||", "SMITH V. SMITH|Home|7|"}));
    }
    EXPECT_TRUE(script->shown().isEmpty());
}

// The form's own fields of a new record are filled after the binding named its matter; a form
// with its own rule for empty keys stores what its rule lets through, without the question.
TEST_F(ScheduleTableTest, FormHooksOnNewRecordsAndEmptyKeys) {
    const TableDef cash = cashDefinition("location");
    session(cash, [](ScheduleTable& t) { t.table().FieldByName("location").setAsString("Safe"); });
    ScheduleTable binding(cash, context);
    std::string matterSeen;
    binding.afterInsert = [&](storage::TDbfPrimDataset& table) {
        matterSeen = table.FieldByName("matter").AsString();
        table.FieldByName("desc").setAsString("filled by the form");
    };
    binding.dropBlankKeyRule();
    binding.open();
    binding.table().Insert();
    binding.table().FieldByName("amt").setAsString("5");
    EXPECT_TRUE(binding.post());
    binding.close();
    EXPECT_EQ(matterSeen, "Smith v. Smith");
    EXPECT_EQ(stored(), (std::vector<std::string>{"Smith v. Smith|Safe||",
                                                  "Smith v. Smith||5|filled by the form"}));
    EXPECT_TRUE(script->shown().isEmpty());
}

}  // namespace
