// The check on opening an index file: the trees are walked only when the file's check record
// (update counter, page count, table records of the last whole walk) no longer holds; damage
// that the record cannot show is met, and mended, by the reads.
#include <gtest/gtest.h>

#include "index_fixture.h"

namespace {

using index_test::createIndexed;
using index_test::field;

constexpr const char* kTable = "/d/Family.dbf";
constexpr const char* kIndex = "/d/Family.MDX";

class RecordedCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        t_ = createIndexed(&env_, kTable, {field("MATTER", 'C', 50)}, {"MYKEY,F,T,matter"});
        for (int i = 0; i < 200; ++i) t_.append({"m" + std::to_string(1000 + i)});
        t_.index.reset();
        t_.table->setIndexHook(nullptr);
    }

    std::string bytes() { return env_.contents(kIndex); }
    static uint32_t u32(const std::string& b, size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(b[at + i]);
        return v;
    }
    static void putU32(std::string* b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) (*b)[at + i] = char(v >> (8 * i));
    }
    // "m1000" of the first leaf made "m1009": keys out of order, which only a walk finds.
    static void keysOutOfOrder(std::string* b) {
        size_t at = size_t(u32(*b, size_t(u32(*b, 544)) * 512)) * 512;  // the root
        while (u32(*b, at + 8 + u32(*b, at) * 56) != 0) at = size_t(u32(*b, at + 8)) * 512;
        ASSERT_EQ(b->substr(at + 12, 5), "m1000");
        (*b)[at + 12 + 4] = '9';
    }

    storage::Status open(storage::DbfFile* table, std::unique_ptr<storage::ProductionIndex>* out) {
        return storage::ProductionIndex::open(table, kIndex, out);
    }
    std::unique_ptr<storage::DbfFile> openTable(storage::Access access, storage::Share share) {
        std::unique_ptr<storage::DbfFile> table;
        EXPECT_TRUE(storage::DbfFile::open(&env_, kTable, access, share, &table).ok());
        return table;
    }

    storage::MemEnv env_;
    index_test::IndexedTable t_;
};

TEST_F(RecordedCheck, BuildsAndOurUpdatesKeepTheRecordSoOpeningDoesNotWalk) {
    const std::string sound = bytes();
    // The record: the table's 200 records, the page count and the counter, after 200 appends of
    // ours.
    EXPECT_EQ(u32(sound, 60), u32(sound, 48));
    EXPECT_EQ(u32(sound, 56), u32(sound, 32));
    EXPECT_EQ(u32(sound, 52), 200u);
    EXPECT_EQ(u32(sound, 48) % 2, 0u);

    std::string damaged = sound;
    keysOutOfOrder(&damaged);
    env_.setContents(kIndex, damaged);
    std::unique_ptr<storage::ProductionIndex> index;
    EXPECT_TRUE(open(t_.table.get(), &index).ok()) << "the trees were walked";
    index.reset();

    // dbftool's repair walks every tree whatever the record says, and rebuilds.
    std::vector<std::string> shown;
    storage::Status s = storage::ProductionIndex::openOrRepair(
        t_.table.get(), [&](const std::string& text) { shown.push_back(text); }, &index);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(shown, std::vector<std::string>{"Indexing /d/Family.MDX..."});
    t_.index = std::move(index);
    EXPECT_TRUE(t_.problems().empty());
}

TEST_F(RecordedCheck, ChangesTheRecordDoesNotCoverAreWalked) {
    struct Case {
        const char* what;
        void (*change)(std::string* b);
    };
    const Case cases[] = {
        {"an update by another program (counter moved on, record not)",
         [](std::string* b) { putU32(b, 48, u32(*b, 48) + 2); }},
        {"an update cut short (odd counter)",
         [](std::string* b) { putU32(b, 48, u32(*b, 48) + 1); }},
        {"another program grew the file (page count)",
         [](std::string* b) {
             putU32(b, 32, u32(*b, 32) + 2);
             b->resize(b->size() + 1024, '\0');
         }},
        {"a file with no record (older versions, other programs' builds)",
         [](std::string* b) { b->replace(52, 12, std::string(12, '\0')); }},
    };
    const std::string sound = bytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string changed = sound;
        keysOutOfOrder(&changed);
        c.change(&changed);
        env_.setContents(kIndex, changed);
        std::unique_ptr<storage::ProductionIndex> index;
        EXPECT_EQ(open(t_.table.get(), &index).code(), 222);
    }
}

TEST_F(RecordedCheck, ATableThatLostRecordsIsWalked) {
    // Another program packed the table to 150 records: entries past it are damage.
    std::string table = env_.contents(kTable);
    table.resize(table.size() - 50 * size_t(t_.table->recordLength()) - 1);
    t_.table.reset();
    env_.setContents(kTable, table);
    auto packed = openTable(storage::Access::ReadWrite, storage::Share::Shared);
    ASSERT_EQ(packed->recordCount(), 150u);
    std::unique_ptr<storage::ProductionIndex> index;
    EXPECT_EQ(open(packed.get(), &index).code(), 222);
}

TEST_F(RecordedCheck, OnlyAWritableOpenerRecordsItsWalk) {
    std::string unrecorded = bytes();
    unrecorded.replace(52, 12, std::string(12, '\0'));
    env_.setContents(kIndex, unrecorded);
    std::unique_ptr<storage::ProductionIndex> index;

    auto reader = openTable(storage::Access::ReadOnly, storage::Share::Shared);
    ASSERT_TRUE(open(reader.get(), &index).ok());
    index.reset();
    EXPECT_EQ(bytes(), unrecorded);

    ASSERT_TRUE(open(t_.table.get(), &index).ok());
    index.reset();
    const std::string recorded = bytes();
    EXPECT_EQ(u32(recorded, 60), u32(recorded, 48));
    EXPECT_EQ(u32(recorded, 56), u32(recorded, 32));
    EXPECT_EQ(u32(recorded, 52), 200u);
    EXPECT_EQ(recorded.substr(64), unrecorded.substr(64));
}

TEST_F(RecordedCheck, AnUpdateThatBeganUnrecordedLeavesTheFileUnrecorded) {
    std::string unrecorded = bytes();
    unrecorded.replace(52, 12, std::string(12, '\0'));
    env_.setContents(kIndex, unrecorded);
    // Opened without a walk (as dbftool looks at files), then written through.
    ASSERT_TRUE(
        storage::ProductionIndex::open(t_.table.get(), kIndex, &t_.index, /*strict=*/false).ok());
    t_.table->setIndexHook(t_.index.get());
    t_.append({"m9999"});
    const std::string after = bytes();
    EXPECT_EQ(u32(after, 48), u32(unrecorded, 48) + 2);
    EXPECT_EQ(after.substr(52, 12), std::string(12, '\0'));
}

// Damage that the record cannot show (a disk fault), met by a read: a writable table's index is
// rebuilt under the semaphore and the read answers from the new file; a read-only one reports
// it. Both for shared and exclusive tables.
TEST_F(RecordedCheck, DamageMetByAReadIsRebuiltWhenWritable) {
    std::string damaged = bytes();
    // The root's first child points past the end of the file.
    const size_t root = size_t(u32(damaged, size_t(u32(damaged, 544)) * 512)) * 512;
    ASSERT_NE(u32(damaged, root + 8 + u32(damaged, root) * 56), 0u) << "the root is a leaf";
    putU32(&damaged, root + 8, 1000000);
    t_.table.reset();
    for (storage::Share share : {storage::Share::Shared, storage::Share::Exclusive}) {
        SCOPED_TRACE(share == storage::Share::Shared ? "shared" : "exclusive");
        env_.setContents(kIndex, damaged);

        auto reader = openTable(storage::Access::ReadOnly, share);
        std::unique_ptr<storage::ProductionIndex> index;
        ASSERT_TRUE(open(reader.get(), &index).ok());
        auto cursor = index->cursor(0);
        bool found = false;
        EXPECT_EQ(index->seek(cursor.get(), "m1000", true, &found).code(), 222);
        index.reset();
        reader.reset();
        EXPECT_EQ(bytes(), damaged);

        index_test::IndexedTable writer;
        writer.table = openTable(storage::Access::ReadWrite, share);
        ASSERT_TRUE(open(writer.table.get(), &writer.index).ok());
        cursor = writer.index->cursor(0);
        storage::Status s = writer.index->seek(cursor.get(), "m1000", true, &found);
        ASSERT_TRUE(s.ok()) << s.message();
        EXPECT_TRUE(found && cursor->recno() == 1u);
        EXPECT_EQ(writer.entries().size(), 200u);
        EXPECT_TRUE(writer.problems().empty());
    }
}

}  // namespace
