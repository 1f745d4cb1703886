// A missing table opened by several workstations at once: exactly one creates it, the others open
// the finished file; the table file never shows up half written or without its memo file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "child_process.h"
#include "storage/dbf_file.h"
#include "storage/dbf_table.h"
#include "storage/mem_env.h"
#include "storage/record.h"
#include "tool_run.h"

using namespace storage;

namespace {

const std::vector<FieldDescriptor> kOtherFields = {
    {"MATTER", 'C', 30, 0}, {"NOTES", 'M', 10, 0}, {"EXTRA", 'C', 5, 0}};

}  // namespace

TEST(CreateRaceTest, FourProcessesOpeningOneMissingTableAllAppend) {
    constexpr int kProcesses = 4;
    const std::filesystem::path base =
        std::filesystem::temp_directory_path() /
        ("create_race_" + std::to_string(test_support::ChildProcess::currentProcessId()));
    for (int round = 1; round <= 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::filesystem::path dir = base / std::to_string(round);
        std::filesystem::remove_all(dir);
        ASSERT_TRUE(std::filesystem::create_directories(dir));
        const std::string table = (dir / "Matters.dbf").string();
        const std::string go = (dir / "go").string();

        std::vector<test_support::ChildProcess> children;
        for (int id = 1; id <= kProcesses; ++id)
            children.emplace_back(CREATE_RACE_HELPER,
                                  std::vector<std::string>{table, go, std::to_string(id)});
        std::ofstream(go).put('x');
        for (auto& child : children) {
            ASSERT_TRUE(child.started());
            EXPECT_EQ(child.wait(), 0);
        }

        std::unique_ptr<DbfFile> file;
        ASSERT_TRUE(
            DbfFile::open(Env::Default(), table, Access::ReadOnly, Share::Exclusive, &file).ok());
        ASSERT_EQ(file->recordCount(), 4u);
        std::set<std::string> matters, notes;
        std::vector<uint8_t> record(file->recordLength());
        for (uint32_t n = 1; n <= 4; ++n) {
            ASSERT_TRUE(file->readRecord(n, record.data()).ok());
            matters.insert(getText(file->fields()[0], record.data()));
            std::string memo;
            ASSERT_TRUE(file->readMemo(record.data(), 3, &memo).ok());
            notes.insert(memo);
        }
        file.reset();
        EXPECT_EQ(matters, (std::set<std::string>{"M1", "M2", "M3", "M4"}));
        EXPECT_EQ(notes, (std::set<std::string>{"notes of matter 1", "notes of matter 2",
                                                "notes of matter 3", "notes of matter 4"}));

        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.insert(entry.path().filename().string());
        // No private file of a losing creator is left behind.
        EXPECT_EQ(names, (std::set<std::string>{"Matters.@S@", "Matters.MDX", "Matters.dbf",
                                                "Matters.dbt", "go"}));
        const test_support::ToolRun check = test_support::runProgram(DBFTOOL, {"check", table});
        EXPECT_EQ(check.exitCode, 0) << check.output;
    }
    std::filesystem::remove_all(base);
}

class CreateNewTest : public ::testing::Test {
  protected:
    MemEnv env;
    const std::vector<FieldDescriptor> fields = {{"MATTER", 'C', 30, 0}, {"NOTES", 'M', 10, 0}};
};

TEST_F(CreateNewTest, TableAppearingMeanwhileIsOpenedAsFound) {
    // Another workstation finishes the table between the existence check and the create: once
    // at the memo file, once (no memo) at the table file itself.
    env.beforeNextCreate([this](const std::string&) {
        ASSERT_TRUE(DbfFile::create(&env, "/data/Matters.dbf", kOtherFields).ok());
    });
    TDbfTable t("T_Matters", &env);
    t.DbfFields = std::vector<std::string>{"matter,C,30,0", "notes,M,10,0"};
    t.IndexList = {"MYKEY,F,T,matter", ""};
    t.setDbfFileName("/data/Matters.dbf");
    t.Open();
    ASSERT_EQ(t.tableFile()->fields().size(), 3u);
    EXPECT_EQ(t.tableFile()->fields()[2].name, "EXTRA");
    t.Close();

    env.beforeNextCreate([this](const std::string&) {
        ASSERT_TRUE(DbfFile::create(&env, "/data/Plain.dbf", {{"OTHER", 'N', 4, 0}}).ok());
    });
    Status s = DbfFile::createNew(&env, "/data/Plain.dbf", {{"MATTER", 'C', 30, 0}});
    EXPECT_EQ(s.code(), 80);
    const std::string plain = env.contents("/data/Plain.dbf");
    ASSERT_GE(plain.size(), 33u);
    EXPECT_EQ(plain.substr(32, 5), std::string("OTHER"));
    std::vector<std::string> names;
    ASSERT_TRUE(env.listFiles("/data", &names).ok());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Matters.@S@", "Matters.MDX", "Matters.dbf",
                                               "Matters.dbt", "Plain.dbf"}));
}

TEST_F(CreateNewTest, MemoFileWithoutTableIsReplacedAfterWaiting) {
    env.setContents("/data/Matters.dbt", std::string(600, 'x'));
    ASSERT_TRUE(DbfFile::createNew(&env, "/data/Matters.dbf", fields).ok());
    EXPECT_EQ(env.sleeps(), 100);
    const std::string memo = env.contents("/data/Matters.dbt");
    ASSERT_EQ(memo.size(), 24u);
    EXPECT_EQ(memo.substr(0, 4), std::string("\x01\x00\x00\x00", 4));
    std::unique_ptr<DbfFile> file;
    EXPECT_TRUE(
        DbfFile::open(&env, "/data/Matters.dbf", Access::ReadWrite, Share::Shared, &file).ok());
}

TEST_F(CreateNewTest, FailedWriteLeavesNothingBehind) {
    env.failWritesAfter(30);
    Status s = DbfFile::createNew(&env, "/data/Matters.dbf", fields);
    EXPECT_EQ(s.code(), 101);
    EXPECT_EQ(s.context(), "Error writing /data/Matters.dbf. [CreateDbf]");
    std::vector<std::string> names;
    env.listFiles("/data", &names);
    EXPECT_TRUE(names.empty());
}
