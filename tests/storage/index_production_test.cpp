// The production index with its table: the semaphore, and several processes at once.
#include <gtest/gtest.h>

#include <filesystem>

#include "child_process.h"
#include "index_fixture.h"
#include "storage/index_semaphore.h"

namespace {

using index_test::createIndexed;
using index_test::field;

TEST(IndexList, PairsOfLines) {
    std::vector<storage::IndexListEntry> tags;
    ASSERT_TRUE(
        storage::parseIndexList({"MYKEY,F,T,matter", "", "RAW,T,F, recno() ", ""}, &tags).ok());
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].name, "MYKEY");
    EXPECT_FALSE(tags[0].descending);
    EXPECT_TRUE(tags[0].unique);
    EXPECT_EQ(tags[0].expression, "matter");
    EXPECT_TRUE(tags[1].descending);
    EXPECT_FALSE(tags[1].unique);
    EXPECT_EQ(tags[1].expression, "recno()");
    // An expression may hold commas; a line of another shape is refused.
    ASSERT_TRUE(storage::parseIndexList({"K,F,F,etype + expense"}, &tags).ok());
    EXPECT_EQ(tags[0].expression, "etype + expense");
    for (const char* bad :
         {"MYKEY,F,T", "MYKEY,FT,matter", ",F,T,matter", "ELEVENCHARS,F,F,x", "K,F,F,"})
        EXPECT_EQ(storage::parseIndexList({bad, ""}, &tags).code(), 220) << bad;
}

TEST(IndexSemaphore, LockedElsewhereGivesTheTimeoutError) {
    storage::MemEnv env;
    storage::IndexSemaphore mine(&env, "/d/General.dbf"), theirs(&env, "/d/General.dbf");
    EXPECT_EQ(mine.path(), "/d/General.@S@");
    ASSERT_TRUE(theirs.lock("Append").ok());
    EXPECT_TRUE(env.fileExists("/d/General.@S@"));
    const int sleepsBefore = env.sleeps();
    storage::Status s = mine.lock("Append");
    EXPECT_EQ(s.code(), 1202);
    EXPECT_EQ(s.context(),
              "10 second timeout: Cannot lock index semaphore file: /d/General.@S@ Append\r\n"
              "Possible cause: Network lock limit exceeded\r\n Lock result code: 33");
    EXPECT_EQ(env.sleeps() - sleepsBefore, 1000);  // 1001 attempts
    ASSERT_TRUE(theirs.unlock().ok());
    ASSERT_TRUE(mine.lock("Append").ok());
    ASSERT_TRUE(mine.lock("nested").ok());
    ASSERT_TRUE(mine.unlock().ok());
    EXPECT_FALSE(theirs.lock("Append").ok());  // still held by the outer lock
    ASSERT_TRUE(mine.unlock().ok());
    s = mine.unlock();
    EXPECT_EQ(s.code(), 1202);
    EXPECT_EQ(s.context().rfind("Cannot unlock index semaphore file: /d/General.@S@", 0), 0u);
    EXPECT_NE(s.context().find("Possible cause: Other user's program has terminated abnormally."),
              std::string::npos);
}

TEST(ProductionIndex, AWriteWhileTheSemaphoreIsHeldFailsAndChangesNothing) {
    storage::MemEnv env;
    auto t =
        createIndexed(&env, "/d/General.dbf", {field("MATTER", 'C', 50)}, {"MYKEY,F,T,matter"});
    t.append({"a"});
    storage::IndexSemaphore other(&env, "/d/General.dbf");
    ASSERT_TRUE(other.lock("Index").ok());
    std::vector<uint8_t> record(t.table->recordLength());
    t.table->blankRecord(record.data());
    ASSERT_TRUE(t.table->lockAppend());
    storage::Status s = t.table->appendRecord(record.data());
    t.table->unlockAppend();
    EXPECT_EQ(s.code(), 1202);
    ASSERT_TRUE(other.unlock().ok());
    // The semaphore is taken before the record is written: the failed append left nothing.
    EXPECT_EQ(t.table->recordCount(), 1u);
    EXPECT_EQ(t.entries().size(), 1u);
    EXPECT_TRUE(t.problems().empty());
}

TEST(ProductionIndex, TwoObjectsOnOneTableSeeEachOthersChanges) {
    storage::MemEnv env;
    auto first =
        createIndexed(&env, "/d/Family.dbf", {field("MATTER", 'C', 50)}, {"MYKEY,F,F,matter"});
    auto second =
        createIndexed(&env, "/d/Family.dbf", {field("MATTER", 'C', 50)}, {"MYKEY,F,F,MATTER"});
    // The second open created the table anew; reopen the first on the same file.
    first.index.reset();
    ASSERT_TRUE(storage::DbfFile::open(&env, "/d/Family.dbf", storage::Access::ReadWrite,
                                       storage::Share::Shared, &first.table)
                    .ok());
    ASSERT_TRUE(
        storage::ProductionIndex::open(first.table.get(), second.index->path(), &first.index).ok());
    first.table->setIndexHook(first.index.get());
    EXPECT_EQ(first.index->tags()[0].expression, "matter");  // as the first builder wrote it
    for (int i = 0; i < 400; ++i) (i % 2 ? first : second).append({"m" + std::to_string(i % 37)});
    EXPECT_EQ(first.entries(), second.entries());
    EXPECT_EQ(first.entries().size(), 400u);
    EXPECT_TRUE(first.problems().empty());
}

// Four processes append to one shared table with a production index at once.
TEST(ProductionIndex, FourProcessesAppendingKeepEveryRecordOnceInOrder) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("index_processes_" + std::to_string(test_support::ChildProcess::currentProcessId()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "Shared.dbf").string();
    {
        auto t = createIndexed(storage::Env::Default(), path, {field("NAME", 'C', 20)},
                               {"NAME,F,F,name"});
        ASSERT_TRUE(t.index);
    }
    constexpr int kProcesses = 4, kEach = 150;
    std::vector<test_support::ChildProcess> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.emplace_back(
            INDEX_HELPER,
            std::vector<std::string>{"append", path, std::to_string(kEach), std::to_string(p)});
        ASSERT_TRUE(children.back().started());
    }
    for (auto& child : children) EXPECT_EQ(child.wait(), 0);
    index_test::IndexedTable t;
    ASSERT_TRUE(storage::DbfFile::open(storage::Env::Default(), path, storage::Access::ReadWrite,
                                       storage::Share::Shared, &t.table)
                    .ok());
    ASSERT_EQ(t.table->recordCount(), uint32_t(kProcesses * kEach));
    ASSERT_TRUE(storage::ProductionIndex::open(
                    t.table.get(), storage::ProductionIndex::pathFor(storage::Env::Default(), path),
                    &t.index)
                    .ok());
    const auto entries = t.entries();
    ASSERT_EQ(entries.size(), size_t(kProcesses * kEach));
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end()));
    std::set<std::string> names;
    for (const auto& e : entries) names.insert(e.first);
    EXPECT_EQ(names.size(), size_t(kProcesses * kEach));
    EXPECT_TRUE(t.problems().empty());
    t.index.reset();
    t.table.reset();
    std::filesystem::remove_all(dir);
}

}  // namespace
