// dbftool on damaged files: reindex from given tag definitions or past a wrong page count,
// check's findings (tags in use 0, a memo block of two records), count's exit status, and dump
// naming the record whose memo is bad.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

using test_support::ToolRun;

ToolRun tool(const std::vector<std::string>& args, const char* program = DBFTOOL) {
    return test_support::runProgram(program, args);
}

size_t lineCount(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Overwrites bytes of a file in place.
void patch(const std::string& path, long offset, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(offset);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class DbftoolRepairs : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("dbftool-repairs-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // General.dbf with 30 matters and the tag MYKEY.
    std::string general() {
        const std::string table = file("General.dbf");
        EXPECT_EQ(tool({"make", table, "30"}, RELIABILITY_HELPER).exitCode, 0);
        return table;
    }

  private:
    fs::path dir_;
};

TEST_F(DbftoolRepairs, ReindexRebuildsFromGivenTagsWhenTheTagTableIsUnreadable) {
    const std::string table = general();
    patch(file("General.MDX"), 512, std::string(1536, '\0'));  // the whole tag table
    ToolRun plain = tool({"reindex", table});
    EXPECT_EQ(plain.exitCode, 2);
    EXPECT_NE(plain.output.find("--tag"), std::string::npos) << plain.output;
    ToolRun given = tool({"reindex", table, "--tag", "MYKEY,F,T,matter"});
    EXPECT_EQ(given.exitCode, 0) << given.output;
    EXPECT_EQ(lineCount(tool({"keys", table}).output), 30u);
    EXPECT_EQ(tool({"seek", table, "seed-029"}).output, "30\n");
    EXPECT_EQ(tool({"check", table}).exitCode, 0);
}

TEST_F(DbftoolRepairs, ReindexAndAppendCopeWithAPageCountPastTheEnd) {
    const std::string table = general();
    // As a split cut short leaves it: the header counts pages the file does not have.
    patch(file("General.MDX"), 32, std::string("\x00\x10\x00\x00", 4));
    EXPECT_EQ(tool({"check", table}).exitCode, 1);
    ToolRun append = tool({"append", table, "MATTER=after"});
    EXPECT_EQ(append.exitCode, 0) << append.output;
    EXPECT_EQ(tool({"seek", table, "after"}).output, "31\n");
    patch(file("General.MDX"), 32, std::string("\x00\x10\x00\x00", 4));
    ToolRun reindex = tool({"reindex", table});
    EXPECT_EQ(reindex.exitCode, 0) << reindex.output;
    EXPECT_EQ(lineCount(tool({"keys", table}).output), 31u);
    EXPECT_EQ(tool({"check", table}).exitCode, 0);
}

TEST_F(DbftoolRepairs, CheckReportsTagEntriesBehindAZeroTagCount) {
    const std::string table = general();
    ASSERT_EQ(tool({"check", table}).exitCode, 0);
    patch(file("General.MDX"), 28, std::string(2, '\0'));
    ToolRun check = tool({"check", table});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.output.find("the count of tags in use is 0"), std::string::npos)
        << check.output;
}

TEST_F(DbftoolRepairs, CheckReportsTwoRecordsSharingAMemoBlockAndDumpNamesABadMemosRecord) {
    const std::string table = file("Notes.dbf");
    ASSERT_EQ(tool({"create", table, "name,C,10,0", "notes,M,10,0"}).exitCode, 0);
    ASSERT_EQ(tool({"append", table, "name=a", "notes=first text"}).exitCode, 0);
    ASSERT_EQ(tool({"append", table, "name=b", "notes=second text"}).exitCode, 0);
    ASSERT_EQ(tool({"check", table}).exitCode, 0);
    // Header 32 + 2 x 32 + 1 = 97; record 2 at 97 + 21; its memo pointer after the flag and name.
    std::ifstream in(table, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string firstPointer = bytes.substr(97 + 11, 10);
    patch(table, 97 + 21 + 11, firstPointer);
    ToolRun check = tool({"check", table});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.output.find("record #2 field NOTES points at memo block"), std::string::npos)
        << check.output;

    patch(table, 97 + 21 + 11, "      9999");
    ToolRun dump = tool({"dump", table});
    EXPECT_EQ(dump.exitCode, 2);
    EXPECT_NE(dump.output.find("record #2, field NOTES"), std::string::npos) << dump.output;
}

TEST_F(DbftoolRepairs, CheckReportsTwoLiveRecordsOfOneKeyInAUniqueTag) {
    const std::string table = general();
    // dbftool's own append adds what it is given, as another program might.
    ASSERT_EQ(tool({"append", table, "MATTER=seed-005"}).exitCode, 0);
    ToolRun check = tool({"check", table});
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.output.find("tag MYKEY: records 6 and 31 are both live with the key "
                                "\"seed-005\"; the unique tag lists only one of them"),
              std::string::npos)
        << check.output;
    // Once one of them is deleted (record 31: header 65 + 30 records of 51 bytes) the tag
    // misses nothing.
    patch(table, 65 + 30 * 51, "*");
    check = tool({"check", table});
    EXPECT_EQ(check.exitCode, 0) << check.output;
}

TEST_F(DbftoolRepairs, CountExitsWithTheDocumentedStatusOnFileErrors) {
    const std::string table = file("Short.dbf");
    std::ofstream(table) << "0123456789";
    ToolRun count = tool({"count", table, "--where", "matter=x"});
    EXPECT_EQ(count.exitCode, 2);  // not 210, the error number
    EXPECT_NE(count.output.find("Error # 210"), std::string::npos) << count.output;
    ToolRun missing = tool({"count", file("None.dbf"), "--where", "matter=x"});
    EXPECT_EQ(missing.exitCode, 2);
}

}  // namespace
