// Several processes on one table: appends under the append lock, and record locks between them.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "child_process.h"
#include "storage/dbf_file.h"
#include "storage/record.h"

using namespace storage;

namespace {

test_support::ChildProcess startHelper(const std::vector<std::string>& args) {
    return test_support::ChildProcess(TABLE_HELPER, args);
}

int waitFor(test_support::ChildProcess child) { return child.wait(); }

std::string patternText(int id, int seq) {
    std::string text;
    for (int i = 0; i < 10; ++i) text += std::to_string(id) + ":" + std::to_string(seq) + ";";
    return text;
}

}  // namespace

class ProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = (std::filesystem::temp_directory_path() /
               ("table_process_test_" +
                std::to_string(test_support::ChildProcess::currentProcessId())))
                  .string();
        std::filesystem::remove_all(dir);
        ASSERT_TRUE(std::filesystem::create_directories(dir));
        path = dir + "/Shared.dbf";
        ASSERT_TRUE(DbfFile::create(Env::Default(), path,
                                    {{"id", 'N', 3, 0}, {"seq", 'N', 6, 0}, {"text", 'C', 120, 0}})
                        .ok());
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string dir;
    std::string path;
};

TEST_F(ProcessTest, FourProcessesAppendingLoseAndTearNoRecord) {
    constexpr int kProcesses = 4;
    constexpr int kEach = 300;
    std::vector<test_support::ChildProcess> children;
    for (int id = 1; id <= kProcesses; ++id)
        children.push_back(
            startHelper({"append", path, std::to_string(id), std::to_string(kEach)}));
    for (auto& child : children) {
        ASSERT_TRUE(child.started());
        EXPECT_EQ(child.wait(), 0);
    }

    std::unique_ptr<DbfFile> table;
    ASSERT_TRUE(
        DbfFile::open(Env::Default(), path, Access::ReadOnly, Share::Exclusive, &table).ok());
    ASSERT_EQ(table->recordCount(), uint32_t(kProcesses * kEach));  // the header agrees
    std::set<std::pair<int, int>> seen;
    std::vector<int> lastSeq(kProcesses + 1, 0);
    std::vector<uint8_t> record(table->recordLength());
    for (uint32_t n = 1; n <= table->recordCount(); ++n) {
        ASSERT_TRUE(table->readRecord(n, record.data()).ok());
        ASSERT_EQ(record[0], ' ') << "record " << n;
        const int id = static_cast<int>(getInteger(table->fields()[0], record.data()));
        const int seq = static_cast<int>(getInteger(table->fields()[1], record.data()));
        ASSERT_TRUE(id >= 1 && id <= kProcesses) << "record " << n;
        EXPECT_EQ(getText(table->fields()[2], record.data()), patternText(id, seq)) << n;
        EXPECT_TRUE(seen.insert({id, seq}).second) << "record " << n << " twice";
        EXPECT_EQ(seq, lastSeq[id] + 1) << "each process's records in its order";
        lastSeq[id] = seq;
    }
    EXPECT_EQ(seen.size(), size_t(kProcesses * kEach));
    const auto size = std::filesystem::file_size(path);
    EXPECT_EQ(size, table->headerLength() + size_t(kProcesses * kEach) * table->recordLength() + 1);
}

TEST_F(ProcessTest, ASecondProcessCannotLockALockedRecord) {
    std::unique_ptr<DbfFile> table;
    ASSERT_TRUE(DbfFile::open(Env::Default(), path, Access::ReadWrite, Share::Shared, &table).ok());
    std::vector<uint8_t> record(table->recordLength());
    table->blankRecord(record.data());
    ASSERT_TRUE(table->lockAppend());
    ASSERT_TRUE(table->appendRecord(record.data()).ok());
    ASSERT_TRUE(table->appendRecord(record.data()).ok());
    table->unlockAppend();

    ASSERT_TRUE(table->lockRecord(1));
    EXPECT_EQ(waitFor(startHelper({"trylock", path, "1"})), 1);
    EXPECT_EQ(waitFor(startHelper({"trylock", path, "2"})), 0);
    table->unlockRecord(1);
    EXPECT_EQ(waitFor(startHelper({"trylock", path, "1"})), 0);
}
