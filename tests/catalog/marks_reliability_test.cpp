// Writing the answer marks of Marks.dbf under sharing, crashes and full disks, with the machinery
// of the storage layer's reliability tests: workstations marking one matter at the same time
// (each its own items), a workstation killed before each write of its run of posts, and posts
// failing at every byte when the disk is full. The marks are written as the forms write them:
// through the table component, on the catalog's definition of the table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "../storage/tool_run.h"
#include "../support/temp_dir.h"
#include "catalog/statement_items.h"
#include "catalog/table_catalog.h"
#include "storage/dbf_table.h"
#include "storage/mem_env.h"
#include "storage/status.h"

namespace fs = std::filesystem;
using namespace test_support;

namespace {

const std::string kMatter = "Smith v. Smith";

ToolRun helper(const std::vector<std::string>& args) { return runProgram(MARKS_HELPER, args); }

using Record = std::map<std::string, std::string>;

// Every live record of the marks table in `dir` (through `env`), non-empty fields by name.
std::vector<Record> readMarks(storage::Env* env, const std::string& dir) {
    storage::TDbfTable table("T_Reader", env);
    catalog::applyDefinition(table, catalog::marksTable(), dir + "/");
    table.CreateIfNotFound = false;
    table.Open();
    std::vector<Record> records;
    for (table.First(); !table.Eof(); table.Next()) {
        Record record;
        for (int i = 0; i < table.FieldCount(); ++i) {
            const std::string value = table.Fields(i).AsString();
            if (!value.empty()) record[table.Fields(i).FieldName()] = value;
        }
        records.push_back(record);
    }
    table.Close();
    return records;
}

std::vector<Record> recordsOf(const std::vector<Record>& records, const std::string& matter) {
    std::vector<Record> mine;
    for (const Record& record : records) {
        auto it = record.find("MATTER");
        if (it != record.end() && it->second == matter) mine.push_back(record);
    }
    return mine;
}

// Four workstations mark items of the same matter at the same moment, each its own item, forty
// times: every item ends with the last mark its own workstation wrote, in the one record of the
// matter, whoever created it.
TEST(MarksShared, WorkstationsMarkingOneMatterLoseNothing) {
    TempDir dir("marks-shared");
    // Another matter's record first, so that the matter's record is created by the workstations.
    ASSERT_EQ(helper({"set", dir.str(), "Jones v. Jones", "0", "a_a=NONE"}).exitCode, 0);
    const std::vector<std::string> keys = {"a_a", "e_c", "i_food", "l_h"};
    std::vector<Started> writers;
    for (size_t w = 0; w < keys.size(); ++w) {
        std::string line = "exec " + quoted(MARKS_HELPER) + " loop " + quoted(dir.str()) + " " +
                           quoted(kMatter) + " " + keys[w] + " 400 w" + std::to_string(w);
        writers.push_back(start(line));
    }
    for (Started& writer : writers) {
        const ToolRun done = collect(writer);
        EXPECT_EQ(done.exitCode, 0) << done.output;
    }
    const std::vector<Record> all = readMarks(storage::Env::Default(), dir.str());
    const std::vector<Record> mine = recordsOf(all, kMatter);
    ASSERT_EQ(mine.size(), 1u);
    for (size_t w = 0; w < keys.size(); ++w) {
        std::string field = keys[w];
        for (char& c : field) c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(mine[0].at(field), "w" + std::to_string(w) + "-400") << field;
    }
    EXPECT_EQ(recordsOf(all, "Jones v. Jones").at(0).at("A_A"), "NONE");
    const ToolRun check = run("exec " + quoted(DBFTOOL) + " check " + quoted(dir.str()));
    EXPECT_EQ(check.exitCode, 0) << check.output;
}

// A workstation creating the matter's record and then changing it in two more posts is killed
// before each of its writes in turn: afterwards the table opens (mending its index as ever),
// holds the matter's record once (or not yet) with every mark whose post had returned, and takes
// the next post.
TEST(MarksKilled, EveryPostThatReturnedIsThereAndTheRecordIsWhole) {
    TempDir dir("marks-killed");
    const fs::path base = dir.path() / "base";
    fs::create_directories(base);
    ASSERT_EQ(helper({"set", base.string(), "Jones v. Jones", "0", "a_a=NONE"}).exitCode, 0);
    const std::vector<std::string> posts = {"a_d=NONE", "e_c=UNKNOWN", "a_d=INAPPLICABLE"};
    auto fresh = [&] {
        const fs::path work = dir.path() / "run";
        fs::remove_all(work);
        test_support::copyKeepingTimes(base, work);
        return work.string();
    };
    std::vector<std::string> args = {"set", fresh(), kMatter, "0"};
    args.insert(args.end(), posts.begin(), posts.end());
    const ToolRun dry = helper(args);
    ASSERT_EQ(dry.exitCode, 0) << dry.output;
    const long writes = std::stol(lines(dry.output).back().substr(7));
    ASSERT_GE(writes, 3);

    for (long n = 1; n <= writes; ++n) {
        SCOPED_TRACE("killed before write " + std::to_string(n));
        const std::string work = fresh();
        args[1] = work;
        args[3] = std::to_string(n);
        const ToolRun crash = helper(args);
        ASSERT_EQ(crash.signal, SIGKILL) << crash.output;
        size_t returned = 0;
        for (const std::string& line : lines(crash.output)) returned += line.rfind("ok ", 0) == 0;

        // The program's open mends an index update cut short; dbftool then finds nothing wrong.
        std::vector<Record> mine = recordsOf(readMarks(storage::Env::Default(), work), kMatter);
        const ToolRun check = run("exec " + quoted(DBFTOOL) + " check " + quoted(work));
        EXPECT_EQ(check.exitCode, 0) << check.output;
        ASSERT_LE(mine.size(), 1u);
        if (returned > 0) {
            ASSERT_EQ(mine.size(), 1u);
        }
        if (!mine.empty()) {
            // What the returned posts wrote; the post under way may have landed whole, or not.
            const std::string d = mine[0].count("A_D") ? mine[0].at("A_D") : "";
            const std::string c = mine[0].count("E_C") ? mine[0].at("E_C") : "";
            if (returned >= 1) {
                EXPECT_TRUE(d == "NONE" || d == "INAPPLICABLE") << d;
            }
            if (returned >= 2) {
                EXPECT_EQ(c, "UNKNOWN");
            }
            if (returned >= 3) {
                EXPECT_EQ(d, "INAPPLICABLE");
            }
            EXPECT_TRUE(d.empty() || d == "NONE" || d == "INAPPLICABLE") << d;
            EXPECT_TRUE(c.empty() || c == "UNKNOWN") << c;
        }
        const ToolRun later = helper({"set", work, kMatter, "0", "o_other=NONE"});
        EXPECT_EQ(later.exitCode, 0) << later.output;
        mine = recordsOf(readMarks(storage::Env::Default(), work), kMatter);
        ASSERT_EQ(mine.size(), 1u);
        EXPECT_EQ(mine[0].at("O_OTHER"), "NONE");
        EXPECT_EQ(recordsOf(readMarks(storage::Env::Default(), work), "Jones v. Jones").size(), 1u);
    }
}

storage::TDbfTable& openMarksIn(storage::TDbfTable& table) {
    catalog::applyDefinition(table, catalog::marksTable(), "/d/");
    table.Open();
    return table;
}

// Stands on the matter's record in editing, or starts it.
void editOrStart(storage::TDbfTable& table, const std::string& matter) {
    if (table.Locate("matter", {matter}, 0u)) {
        table.Edit();
    } else {
        table.Insert();
        table.FieldByName("matter").setAsString(matter);
    }
}

// The first mark of a matter creates its record: writes failing after 0, 1, 2, ... bytes of it,
// as on a full disk, report the failure ("No space left on device"), leave no record of the
// matter and the other matters' records as they were, and once there is room the same post works
// and is found through the index.
TEST(MarksFullDisk, CreatingAMattersRecordFailingAtAnyByteLeavesNothingBehind) {
    bool succeeded = false;
    for (int64_t budget = 0; budget < 20000 && !succeeded; ++budget) {
        SCOPED_TRACE(std::to_string(budget) + " bytes");
        storage::MemEnv env;
        std::vector<std::string> fatal;
        const storage::FatalHandler previous = storage::setFatalHandler(
            [&](int, const std::string& message) { fatal.push_back(message); });
        {
            storage::TDbfTable table("T_Marks", &env);
            openMarksIn(table);
            for (const char* matter : {"Jones v. Jones", "Roe v. Roe"}) {
                editOrStart(table, matter);
                table.FieldByName("a_a").setAsString("NONE");
                table.Post();
            }
            env.failWritesAfter(budget);
            try {
                editOrStart(table, kMatter);
                table.FieldByName("a_d").setAsString("INAPPLICABLE");
                table.Post();
                succeeded = fatal.empty();
            } catch (const storage::FatalError&) {
            }
            env.failWritesAfter(-1);
            if (!succeeded) {
                ASSERT_EQ(fatal.size(), 1u);
                EXPECT_NE(fatal[0].find("No space left on device"), std::string::npos) << fatal[0];
            }
            table.Close();
        }
        storage::setFatalHandler(previous);
        const std::vector<Record> all = readMarks(&env, "/d");
        EXPECT_EQ(recordsOf(all, "Jones v. Jones").size(), 1u);
        EXPECT_EQ(recordsOf(all, "Roe v. Roe").size(), 1u);
        ASSERT_EQ(recordsOf(all, kMatter).size(), succeeded ? 1u : 0u);
        if (succeeded) continue;
        storage::TDbfTable again("T_Marks", &env);
        openMarksIn(again);
        editOrStart(again, kMatter);
        again.FieldByName("a_d").setAsString("NONE");
        again.Post();
        EXPECT_TRUE(again.Locate("matter", {kMatter}, 0u));
        EXPECT_EQ(again.FieldByName("a_d").AsString(), "NONE");
        again.Close();
    }
    EXPECT_TRUE(succeeded);
}

// Changing a matter's marks rewrites its record in place: on a disk too full for any file to
// grow, the change is written all the same, and a new matter's record is refused.
TEST(MarksFullDisk, ChangingMarksNeedsNoRoomAndANewRecordIsRefused) {
    storage::MemEnv env;
    {
        storage::TDbfTable table("T_Marks", &env);
        openMarksIn(table);
        editOrStart(table, kMatter);
        table.FieldByName("a_a").setAsString("UNKNOWN");
        table.Post();
        table.Close();
    }
    uint64_t largest = 0;
    for (const char* file : {"/d/Marks.dbf", "/d/Marks.MDX"})
        largest = std::max<uint64_t>(largest, env.contents(file).size());
    ASSERT_GT(largest, 0u);
    env.setMaxFileSize(largest);
    std::vector<std::string> fatal;
    const storage::FatalHandler previous = storage::setFatalHandler(
        [&](int, const std::string& message) { fatal.push_back(message); });
    {
        storage::TDbfTable table("T_Marks", &env);
        openMarksIn(table);
        editOrStart(table, kMatter);
        table.FieldByName("a_a").setAsString("NONE");
        table.FieldByName("a_d").setAsString("INAPPLICABLE");
        table.Post();
        EXPECT_TRUE(fatal.empty());
        try {
            editOrStart(table, "Roe v. Roe");
            table.FieldByName("a_a").setAsString("NONE");
            table.Post();
        } catch (const storage::FatalError&) {
        }
        EXPECT_EQ(fatal.size(), 1u);
        env.setMaxFileSize(uint64_t(1) << 30);
        table.Close();
    }
    storage::setFatalHandler(previous);
    const std::vector<Record> all = readMarks(&env, "/d");
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].at("A_A"), "NONE");
    EXPECT_EQ(all[0].at("A_D"), "INAPPLICABLE");
}

}  // namespace
