// Memo text through the table: layout, rewriting, malformed memo files, space and locks.
#include "storage/memo_file.h"

#include "storage/codepage.h"
#include "table_fixture.h"

using namespace storage;

namespace {

std::string text(size_t length, const std::string& seed) {
    std::string out;
    while (out.size() < length) out += seed;
    out.resize(length);
    return out;
}

uint32_t u32(const std::string& bytes, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes.at(offset + i));
    return v;
}

}  // namespace

class MemoTest : public TableTest {
  protected:
    void SetUp() override {
        createTable({field("name", 'C', 10), field("notes", 'M', 10)});
        table = openTable();
        ASSERT_TRUE(table);
        record.resize(table->recordLength());
    }
    // Appends a record whose memo holds `memo`; returns its memo block.
    uint32_t appendMemo(const std::string& memo) {
        table->blankRecord(record.data());
        Status s = table->writeMemo(record.data(), 1, memo);
        EXPECT_TRUE(s.ok()) << s.message();
        EXPECT_TRUE(table->lockAppend());
        EXPECT_TRUE(table->appendRecord(record.data()).ok());
        table->unlockAppend();
        return getMemoBlock(table->fields()[1], record.data());
    }
    // Rewrites the memo of record `recno`; returns the status and leaves the record written.
    Status rewriteMemo(uint32_t recno, const std::string& memo) {
        EXPECT_TRUE(table->readRecord(recno, record.data()).ok());
        Status s = table->writeMemo(record.data(), 1, memo);
        if (!s.ok()) return s;
        EXPECT_TRUE(table->lockRecord(recno));
        return table->writeRecord(recno, record.data());
    }
    std::string memoOf(uint32_t recno) {
        std::string out;
        EXPECT_TRUE(table->readRecord(recno, record.data()).ok());
        const Status s = table->readMemo(record.data(), 1, &out);
        EXPECT_TRUE(s.ok()) << s.message();
        return out;
    }
    Status readMemoOf(uint32_t recno) {
        std::string out;
        EXPECT_TRUE(table->readRecord(recno, record.data()).ok());
        return table->readMemo(record.data(), 1, &out);
    }

    std::unique_ptr<DbfFile> table;
    std::vector<uint8_t> record;
};

TEST_F(MemoTest, MultiBlockTextRoundTripsInTheDbase4Layout) {
    const std::string memo = "Café " + text(1295, "facade\r\n");  // 1300 stored bytes
    EXPECT_EQ(appendMemo(memo), 1u);
    EXPECT_EQ(memoOf(1), memo);
    const std::string bytes = fileBytes(memoPath);
    EXPECT_EQ(bytes.substr(512, 4), std::string("\xFF\xFF\x08\x00", 4));
    EXPECT_EQ(u32(bytes, 516), 8u + 1300);
    EXPECT_EQ(bytes.substr(520, 4), "Caf\x82");
    EXPECT_EQ(u32(bytes, 0), 4u);  // 1309 bytes take three blocks: 1, 2, 3
    EXPECT_EQ(appendMemo("second"), 4u);
    EXPECT_EQ(u32(fileBytes(memoPath), 0), 5u);
    EXPECT_EQ(appendMemo(""), 0u);
    EXPECT_TRUE(isBlank(table->fields()[1], record.data()));
    EXPECT_EQ(memoOf(3), "");
}

TEST_F(MemoTest, RewritesStayInPlaceWhenTheyFitAndNeverTouchOtherMemos) {
    appendMemo(text(700, "a"));  // blocks 1-2
    appendMemo(text(100, "b"));  // block 3
    ASSERT_TRUE(rewriteMemo(1, text(900, "c")).ok());
    EXPECT_EQ(getMemoBlock(table->fields()[1], record.data()), 1u);  // 908 bytes fit in two
    ASSERT_TRUE(rewriteMemo(1, text(1100, "d")).ok());
    EXPECT_EQ(getMemoBlock(table->fields()[1], record.data()), 4u);  // moved past block 3
    EXPECT_EQ(memoOf(1), text(1100, "d"));
    EXPECT_EQ(memoOf(2), text(100, "b"));
    // The released blocks 1-2 are not handed to new text.
    EXPECT_EQ(appendMemo("e"), 7u);
    ASSERT_TRUE(rewriteMemo(2, text(400, "f")).ok());
    EXPECT_EQ(getMemoBlock(table->fields()[1], record.data()), 3u);
    EXPECT_EQ(memoOf(1), text(1100, "d"));
}

TEST_F(MemoTest, AWrongNextFreeBlockNeverOverwritesText) {
    appendMemo(text(600, "a"));  // blocks 1-2
    putU32(memoPath, 0, 1);      // the header claims block 1 is free
    EXPECT_EQ(appendMemo("b"), 3u);
    EXPECT_EQ(memoOf(1), text(600, "a"));
}

TEST_F(MemoTest, BadPointersAndLengthsAreReported) {
    appendMemo(text(600, "a"));
    const std::string before = fileBytes(memoPath);

    setMemoBlock(table->fields()[1], record.data(), 50);
    std::string out;
    Status s = table->readMemo(record.data(), 1, &out);
    EXPECT_EQ(s.code(), 1003);
    EXPECT_EQ(s.context(),
              "/data/Table.dbt: memo block 50 lies past the end of the file [ReadMemo]");

    setText(table->fields()[1], record.data(), "12ab");
    EXPECT_EQ(table->readMemo(record.data(), 1, &out).code(), 1003);

    putU32(memoPath, 516, 100000);
    EXPECT_EQ(readMemoOf(1).code(), 213);
    putU32(memoPath, 516, 3);
    EXPECT_EQ(readMemoOf(1).code(), 1003);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(fileBytes(memoPath).size(), before.size());

    // A table without memo file has no memo to read.
    EXPECT_EQ(table->readMemo(record.data(), 0, &out).code(), 1019);
}

TEST_F(MemoTest, MissingOrHeaderlessMemoFilesStopTheOpen) {
    table.reset();
    cutFile(memoPath, 20);
    std::unique_ptr<DbfFile> other;
    Status s = tryOpen(&other);
    EXPECT_EQ(s.code(), 213);
    EXPECT_EQ(s.context(), "/data/Table.dbt: the memo file has no header [USE/OpenDBF]");
    ASSERT_TRUE(env.removeFile(memoPath).ok());
    s = tryOpen(&other);
    EXPECT_EQ(s.code(), 2);
    EXPECT_EQ(s.context(), "/data/Table.dbt [USE/OpenDBF]");
}

TEST_F(MemoTest, TooLittleDiskSpaceGives1004AndWritesNothing) {
    const std::string before = fileBytes(memoPath);
    env.setFreeSpace(100);
    table->blankRecord(record.data());
    const Status s = table->writeMemo(record.data(), 1, text(200, "x"));
    EXPECT_EQ(s.code(), 1004);
    EXPECT_EQ(fileBytes(memoPath), before);
    EXPECT_TRUE(isBlank(table->fields()[1], record.data()));
}

TEST_F(MemoTest, AHeldMemoLockIsTriedElevenTimes) {
    std::unique_ptr<File> other;
    ASSERT_TRUE(env.openFile(memoPath, Access::ReadWrite, Share::Shared, &other).ok());
    ASSERT_TRUE(other->tryLock(10, 1));
    table->blankRecord(record.data());
    const Status s = table->writeMemo(record.data(), 1, "text");
    EXPECT_EQ(s.code(), 1017);
    EXPECT_EQ(env.sleeps(), MemoFile::kLockAttempts - 1);
    other->unlock(10, 1);
    EXPECT_TRUE(table->writeMemo(record.data(), 1, "text").ok());
}

TEST_F(MemoTest, FailedMemoWritesLeaveTheHeaderAlone) {
    appendMemo("first");
    const uint32_t nextFree = u32(fileBytes(memoPath), 0);
    env.failWritesAfter(100);
    table->blankRecord(record.data());
    EXPECT_EQ(table->writeMemo(record.data(), 1, text(600, "x")).code(), 1005);
    env.failWritesAfter(-1);
    EXPECT_EQ(u32(fileBytes(memoPath), 0), nextFree);
    EXPECT_TRUE(isBlank(table->fields()[1], record.data()));
    EXPECT_EQ(memoOf(1), "first");
}

// dBASE III tables (version 0x83) keep memos as text ended by 1A 1A, header block of 512 bytes.
TEST_F(TableTest, Dbase3MemosAreReadAndWrittenInTheirOwnLayout) {
    createTable({field("name", 'C', 10), field("notes", 'M', 10)});
    flipByte(path, 0, 0x83);
    std::string memo(512, '\0');
    memo[0] = 3;  // next free block
    memo += text(600, "M\x81ller ") + "\x1A\x1A";
    env.setContents(memoPath, memo);
    auto table = openTable();
    std::vector<uint8_t> record(table->recordLength());
    table->blankRecord(record.data());
    setMemoBlock(table->fields()[1], record.data(), 1);
    std::string out;
    ASSERT_TRUE(table->readMemo(record.data(), 1, &out).ok());
    const std::string stored = text(600, "M\x81ller ");
    std::string expected;
    oemToUtf8(reinterpret_cast<const uint8_t*>(stored.data()), stored.size(), &expected);
    EXPECT_EQ(out, expected);
    EXPECT_EQ(out.substr(0, 8), "Müller ");
    ASSERT_TRUE(table->writeMemo(record.data(), 1, "neu").ok());
    EXPECT_EQ(getMemoBlock(table->fields()[1], record.data()), 3u);
    EXPECT_EQ(fileBytes(memoPath).substr(3 * 512), "neu\x1A\x1A");
    ASSERT_TRUE(table->readMemo(record.data(), 1, &out).ok());
    EXPECT_EQ(out, "neu");
}
