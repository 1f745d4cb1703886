// The Guidelines form's one write, the saving of a matter's record in "Guidelines.dbf", with
// other workstations saving meanwhile, a workstation killed before each write of its saves, and
// a full disk at every byte. The saves are the form's own: the table binding it closes with
// (schedules::ScheduleTable on the catalog's definition), in this process or in the helper
// process guidelines_writer.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "../storage/child_process.h"
#include "../storage/tool_run.h"
#include "../support/temp_dir.h"
#include "catalog/table_catalog.h"
#include "platform/scripted_dialogs.h"
#include "schedules/guideline_inputs.h"
#include "schedules/schedule_table.h"
#include "storage/dbf_table.h"
#include "storage/mem_env.h"
#include "storage/status.h"

namespace fs = std::filesystem;

namespace {

using test_support::TempDir;
using test_support::ToolRun;

ToolRun writer(const std::vector<std::string>& args) {
    return test_support::runProgram(GUIDELINES_WRITER, args);
}

ToolRun check(const std::string& table) {
    return test_support::runProgram(DBFTOOL, {"check", table});
}

// A stored Guidelines record: osalary and oinvest (written together by every save) and
// children.
struct Stored {
    std::string osalary, oinvest, children;
};

// Every record of the table by matter, read by a table component of its own; a matter stored
// twice is reported.
std::multimap<std::string, Stored> records(const std::string& directory,
                                           storage::Env* env = storage::Env::Default()) {
    storage::TDbfTable table("T_Reader", env);
    catalog::applyDefinition(table, *catalog::findTable("T_Guidelines"), directory);
    table.ReadOnly = true;
    table.CreateIfNotFound = false;
    table.Open();
    std::multimap<std::string, Stored> out;
    for (table.First(); !table.Eof(); table.Next()) {
        out.insert(
            {table.FieldByName("matter").AsString(),
             {table.FieldByName("osalary").AsString(), table.FieldByName("oinvest").AsString(),
              table.FieldByName("children").AsString()}});
    }
    table.Close();
    return out;
}

schedules::ScheduleContext contextFor(const std::string& directory, const QString& matter,
                                      storage::Env* env = nullptr) {
    schedules::ScheduleContext context;
    context.dataDirectory = QString::fromStdString(directory);
    context.currentMatter = [matter] { return matter; };
    context.env = env;
    return context;
}

// One save as the form's closing makes it; false when the post did not happen.
bool save(const schedules::ScheduleContext& context, const std::string& figure) {
    schedules::ScheduleTable table(*catalog::findTable("T_Guidelines"), context);
    table.afterInsert = [](storage::TDbfPrimDataset& t) { schedules::setGuidelineDefaults(t); };
    const bool opened = platform::runDataAction([&] {
        table.open();
        table.table().FieldByName("osalary").setAsString(figure);
        table.table().FieldByName("oinvest").setAsString(figure);
    });
    return opened && table.post();
}

class GuidelinesTable : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = storage::setFatalHandler(
            [this](int, const std::string& message) { fatal_.push_back(message); });
    }
    void TearDown() override { storage::setFatalHandler(previous_); }

    platform::ScopedScriptedDialogs dialogs_;
    std::vector<std::string> fatal_;
    storage::FatalHandler previous_;
};

// Four workstations save their own matters forty times each while two more save one matter
// together and this one reads: no save fails, no reader sees a torn record, and each matter has
// one record with its last figures (the shared one, the last writer's).
TEST_F(GuidelinesTable, WorkstationsSavingMeanwhileLoseAndTearNothing) {
    TempDir dir("guidelines-sharing");
    const std::string data = dir.str() + "/";
    ASSERT_TRUE(save(contextFor(data, "Shared v. Shared"), "1"));
    std::vector<test_support::ChildProcess> writers;
    for (int id = 1; id <= 4; ++id) {
        writers.emplace_back(
            GUIDELINES_WRITER,
            std::vector<std::string>{"save", dir.str(), "Matter " + std::to_string(id), "40",
                                     std::to_string(id)});
    }
    for (int id = 5; id <= 6; ++id) {
        writers.emplace_back(GUIDELINES_WRITER,
                             std::vector<std::string>{"save", dir.str(), "Shared v. Shared", "40",
                                                      std::to_string(id)});
    }
    int rounds = 0;
    for (; rounds < 30; ++rounds) {
        for (const auto& [matter, stored] : records(data)) {
            EXPECT_EQ(stored.osalary, stored.oinvest) << matter;
        }
    }
    for (auto& process : writers) {
        ASSERT_TRUE(process.started());
        EXPECT_EQ(process.wait(), 0);
    }
    const std::multimap<std::string, Stored> all = records(data);
    EXPECT_EQ(all.size(), 5u);
    for (int id = 1; id <= 4; ++id) {
        const std::string matter = "Matter " + std::to_string(id);
        ASSERT_EQ(all.count(matter), 1u) << matter;
        const Stored& stored = all.find(matter)->second;
        EXPECT_EQ(stored.osalary, std::to_string(id * 1000 + 39));
        EXPECT_EQ(stored.oinvest, stored.osalary);
        EXPECT_EQ(stored.children, "9");
    }
    ASSERT_EQ(all.count("Shared v. Shared"), 1u);
    const Stored& shared = all.find("Shared v. Shared")->second;
    EXPECT_TRUE(shared.osalary == "5039" || shared.osalary == "6039") << shared.osalary;
    EXPECT_EQ(shared.oinvest, shared.osalary);
    const ToolRun checked = check(data + "Guidelines.dbf");
    EXPECT_EQ(checked.exitCode, 0) << checked.output;
    EXPECT_TRUE(fatal_.empty());
}

// A workstation that saves a new record and then saves it again is killed before its first,
// second, ... write. After each kill the table opens as the form opens it, its index is clean,
// the other matters' records are untouched, the matter has at most one record and it is whole
// (both figures of one save; the last save's once that was reported), and the form saves again.
TEST_F(GuidelinesTable, AWorkstationKilledMidSaveLeavesWholeRecords) {
    TempDir dir("guidelines-killed");
    const fs::path base = dir.path() / "base";
    fs::create_directories(base);
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(save(contextFor(base.string() + "/", QStringLiteral("Other %1").arg(i)),
                         std::to_string(i)));
    }
    auto fresh = [&] {
        const fs::path work = dir.path() / "run";
        fs::remove_all(work);
        test_support::copyKeepingTimes(base, work);
        return work.string();
    };
    const ToolRun dry = writer({"crash", fresh(), "Smith v. Smith", "0"});
    ASSERT_EQ(dry.exitCode, 0) << dry.output;
    const long writes = std::stol(dry.output.substr(dry.output.rfind("writes ") + 7));
    ASSERT_GT(writes, 4);

    for (long n = 1; n <= writes; ++n) {
        SCOPED_TRACE("killed before write " + std::to_string(n));
        const std::string work = fresh();
        const ToolRun crash = writer({"crash", work, "Smith v. Smith", std::to_string(n)});
        ASSERT_EQ(crash.signal, SIGKILL) << crash.output;
        const bool posted = crash.output.find("posted") != std::string::npos;
        const bool rewritten = crash.output.find("rewritten") != std::string::npos;

        const std::string data = work + "/";
        ASSERT_TRUE(save(contextFor(data, "Other 7"), "7"));  // opens and mends as the form does
        const ToolRun checked = check(data + "Guidelines.dbf");
        EXPECT_EQ(checked.exitCode, 0) << checked.output;
        const std::multimap<std::string, Stored> all = records(data);
        for (int i = 0; i < 30; ++i) {
            const std::string other = "Other " + std::to_string(i);
            ASSERT_EQ(all.count(other), 1u) << other;
            EXPECT_EQ(all.find(other)->second.osalary, std::to_string(i));
        }
        const size_t smiths = all.count("Smith v. Smith");
        EXPECT_LE(smiths, 1u);
        if (posted) {
            EXPECT_EQ(smiths, 1u);
        }
        if (smiths == 1) {
            const Stored& stored = all.find("Smith v. Smith")->second;
            EXPECT_EQ(stored.oinvest, stored.osalary);
            EXPECT_TRUE(stored.osalary == "111" || stored.osalary == "222") << stored.osalary;
            if (rewritten) {
                EXPECT_EQ(stored.osalary, "222");
            }
        }
        EXPECT_TRUE(save(contextFor(data, "Smith v. Smith"), "333"));
        EXPECT_EQ(records(data).count("Smith v. Smith"), 1u);
        EXPECT_EQ(records(data).find("Smith v. Smith")->second.osalary, "333");
    }
    EXPECT_TRUE(fatal_.empty());
}

// The disk fills up after 0, 1, 2, ... more bytes during a save, first of a new record and
// then of a rewrite: the file layer reports the full disk, the save does not happen and leaves
// nothing of itself behind (no record, or the old figures whole), and once there is room the
// same save works. A rewrite needs no room: it is saved on a disk already full.
TEST_F(GuidelinesTable, AFullDiskAtAnyByteLeavesTheTableAsItWas) {
    for (const bool rewrite : {false, true}) {
        bool succeeded = false;
        int64_t budget = 0;
        for (; budget < 20000 && !succeeded; ++budget) {
            SCOPED_TRACE((rewrite ? "rewrite, " : "new record, ") + std::to_string(budget) +
                         " bytes");
            fatal_.clear();
            // A full disk: past the budget no file grows, overwrites within a file still work.
            storage::MemEnv env;
            for (int i = 0; i < 5; ++i) {
                ASSERT_TRUE(save(contextFor("/d/", QStringLiteral("Other %1").arg(i), &env),
                                 std::to_string(i)));
            }
            const schedules::ScheduleContext smith = contextFor("/d/", "Smith v. Smith", &env);
            if (rewrite) {
                ASSERT_TRUE(save(smith, "111"));
            }
            env.failGrowthAfter(budget);
            const bool saved = save(smith, "222");
            env.failGrowthAfter(-1);
            std::multimap<std::string, Stored> all = records("/d/", &env);
            if (saved) {
                succeeded = true;
                EXPECT_TRUE(fatal_.empty()) << fatal_.front();
                EXPECT_EQ(all.find("Smith v. Smith")->second.osalary, "222");
                continue;
            }
            // The program ends at the first message; closing the table afterwards may add more.
            ASSERT_GE(fatal_.size(), 1u);
            EXPECT_NE(fatal_[0].find("Error # 101"), std::string::npos) << fatal_[0];
            EXPECT_NE(fatal_[0].find("No space left on device"), std::string::npos) << fatal_[0];
            EXPECT_EQ(all.size(), rewrite ? 6u : 5u);
            ASSERT_EQ(all.count("Smith v. Smith"), rewrite ? 1u : 0u);
            if (rewrite) {
                EXPECT_EQ(all.find("Smith v. Smith")->second.osalary, "111");
            }
            EXPECT_TRUE(save(smith, "333"));
            all = records("/d/", &env);
            EXPECT_EQ(all.size(), 6u);
            EXPECT_EQ(all.find("Smith v. Smith")->second.osalary, "333");
            EXPECT_EQ(all.find("Other 4")->second.osalary, "4");
        }
        EXPECT_TRUE(succeeded);
        if (rewrite) {
            EXPECT_EQ(budget, 1);  // saved at the first try, with no room at all
        }
        if (!rewrite) {
            EXPECT_GT(budget, 100);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
