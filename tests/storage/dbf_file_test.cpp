// The table file: creation, opening (good and malformed files), closing, records and locks.
#include <ctime>

#include "storage/index_hook.h"
#include "table_fixture.h"

using namespace storage;

namespace {

int thisYear() {
    std::time_t now = std::time(nullptr);
    return std::localtime(&now)->tm_year + 1900;
}

class RecordingHook : public IndexHook {
  public:
    std::vector<std::string> calls;
    Status result;
    Status recordAppended(uint32_t recno, const uint8_t* record) override {
        calls.push_back("append " + std::to_string(recno) + " " +
                        std::string(reinterpret_cast<const char*>(record), 6));
        return result;
    }
    Status recordRewritten(uint32_t recno, const uint8_t* oldRecord,
                           const uint8_t* newRecord) override {
        calls.push_back("rewrite " + std::to_string(recno) + " " +
                        std::string(reinterpret_cast<const char*>(oldRecord), 6) + "|" +
                        std::string(reinterpret_cast<const char*>(newRecord), 6));
        return result;
    }
};

}  // namespace

using CreateTable = TableTest;

TEST_F(CreateTable, OneCharacterFieldGivesTheTabledHeader) {
    createTable({field("matter", 'C', 50)});
    const std::string bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 66u);
    EXPECT_EQ(byteAt(bytes, 0), 0x03);
    EXPECT_EQ(byteAt(bytes, 1) + 1900, thisYear());
    EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0'));        // no records
    EXPECT_EQ(byteAt(bytes, 8) | byteAt(bytes, 9) << 8, 65);    // header length
    EXPECT_EQ(byteAt(bytes, 10) | byteAt(bytes, 11) << 8, 51);  // record length
    EXPECT_EQ(bytes.substr(12, 20), std::string(20, '\0'));
    EXPECT_EQ(bytes.substr(32, 11), std::string("MATTER\0\0\0\0\0", 11));
    EXPECT_EQ(bytes[43], 'C');
    EXPECT_EQ(byteAt(bytes, 48), 50);
    EXPECT_EQ(byteAt(bytes, 64), 0x0D);
    EXPECT_EQ(byteAt(bytes, 65), 0x1A);
    EXPECT_FALSE(env.fileExists(memoPath));
}

TEST_F(CreateTable, MemoFieldGivesVersion8BAndTheMemoHeader) {
    createTable({field("matter", 'C', 50), field("notes", 'm', 4)});
    const std::string bytes = fileBytes(path);
    EXPECT_EQ(byteAt(bytes, 0), 0x8B);
    EXPECT_EQ(bytes[32 + 32 + 11], 'M');
    EXPECT_EQ(byteAt(bytes, 32 + 32 + 16), 10);  // memo width forced
    const std::string memo = fileBytes(memoPath);
    const std::string expected(
        "\x01\0\0\0"
        "\0\0\0\0"
        "Table\0\0\0"
        "\0\0"
        "\x02\x01"
        "\x00\x02"
        "\0\0",
        24);
    EXPECT_EQ(memo, expected);
}

TEST_F(CreateTable, WidthsAreForcedAndNamesUpperCased) {
    createTable({field(" when ", 'd', 3), field("ok", 'l', 9), field("amt", 'N', 12, 2),
                 field("name", 'c', 5, 3)});
    auto table = openTable();
    ASSERT_TRUE(table);
    const auto& f = table->fields();
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].name, "WHEN");
    EXPECT_EQ(f[0].type, 'D');
    EXPECT_EQ(f[0].width, 8);
    EXPECT_EQ(f[1].width, 1);
    EXPECT_EQ(f[2].decimals, 2);
    EXPECT_EQ(f[3].decimals, 0);  // kept for N and F only
    EXPECT_EQ(f[3].offset, 1u + 8 + 1 + 12);
    EXPECT_EQ(table->recordLength(), 1 + 8 + 1 + 12 + 5);
    EXPECT_EQ(table->fieldIndex("Amt"), 2);
    EXPECT_EQ(table->fieldIndex("amount"), -1);
}

TEST_F(CreateTable, InvalidDefinitionsGiveError211AndCreateNothing) {
    const std::vector<std::vector<FieldDescriptor>> invalid = {
        {},
        {field("", 'C', 10)},
        {field("   ", 'C', 10)},
        {field("toolongname", 'C', 10)},
        {field("a", 'C', 0)},
        {field("a", 'N', 0)},
        {field("a", 'F', 0)},
        {field("a", 'X', 10)},
        {field("a", 'C', 10), field("b", '?', 1)},
        std::vector<FieldDescriptor>(256, field("a", 'L', 1)),
    };
    for (const auto& fields : invalid) {
        const Status s = DbfFile::create(&env, path, fields);
        EXPECT_EQ(s.code(), 211);
        EXPECT_EQ(s.context(), "Invalid dBASE field definition [CreateDBF]");
        EXPECT_FALSE(env.fileExists(path));
    }
}

TEST_F(CreateTable, WriteFailuresAreReported) {
    env.failWritesAfter(40);
    Status s = DbfFile::create(&env, path, {field("matter", 'C', 50)});
    EXPECT_EQ(s.code(), 101);
    EXPECT_EQ(s.context(), "Error writing /data/Table.dbf. [CreateDbf]");

    env.failWritesAfter(98 + 10);  // the table fits, the memo header does not
    s = DbfFile::create(&env, path, {field("matter", 'C', 50), field("notes", 'M', 10)});
    EXPECT_EQ(s.code(), 101);
    EXPECT_EQ(s.context(), "Cannot create memo file /data/Table.dbt [CreateDbf()]");
    // No table is left behind that could not be opened without its memo file.
    EXPECT_FALSE(env.fileExists(path));
}

// Each case breaks a valid two-record table; opening must fail with the code and reason given
// and leave every byte as it was.
class MalformedTable : public TableTest {
  protected:
    void SetUp() override {
        createTable({field("name", 'C', 10), field("amt", 'N', 8, 2)});
        auto table = openTable();
        appendText(*table, "first");
        appendText(*table, "second");
        ASSERT_TRUE(table->close().ok());
    }
    void expectOpenFails(int code, const std::string& reason) {
        const std::string before = fileBytes(path);
        for (Share share : {Share::Shared, Share::Exclusive}) {
            std::unique_ptr<DbfFile> table;
            const Status s = tryOpen(&table, share);
            EXPECT_EQ(s.code(), code) << s.message();
            EXPECT_NE(s.context().find(reason), std::string::npos) << s.context();
            EXPECT_EQ(s.context().rfind(path, 0), 0u) << s.context();
            EXPECT_FALSE(table);
        }
        EXPECT_EQ(fileBytes(path), before);
    }
};

TEST_F(MalformedTable, FileShorterThanItsPrologHasTheExactText) {
    cutFile(path, 10);
    std::unique_ptr<DbfFile> table;
    const Status s = tryOpen(&table);
    EXPECT_EQ(s.code(), 210);
    EXPECT_EQ(s.message(),
              "Error # 210 (Not a dBASE data file)\n/data/Table.dbf is not a dBASE database. "
              "(Prolog is less than 32 bytes) [USE/OpenDBF]");
}

TEST_F(MalformedTable, UnknownVersionByteHasTheExactText) {
    flipByte(path, 0, 0x30);
    std::unique_ptr<DbfFile> table;
    const Status s = tryOpen(&table);
    EXPECT_EQ(s.code(), 210);
    EXPECT_EQ(s.context(),
              "/data/Table.dbf is not a dBASE database.(Invalid version byte)+ [USE/OpenDBF]");
}

TEST_F(MalformedTable, EveryAcceptedVersionByteOpens) {
    for (uint8_t version : {0x02, 0x03, 0x04, 0x83, 0x8B, 0x8C, 0xF5}) {
        flipByte(path, 0, version);
        auto table = openTable();
        ASSERT_TRUE(table) << int(version);
        EXPECT_EQ(table->recordCount(), 2u);
        EXPECT_FALSE(table->hasMemo());  // no memo field, so no memo file is needed
    }
}

TEST_F(MalformedTable, HeaderLengthPastTheEnd) {
    putU16(path, 8, 60000);
    expectOpenFails(213, "Header length is past the end of the file");
}

TEST_F(MalformedTable, HeaderLengthTooSmallForItsDescriptors) {
    putU16(path, 8, 64);  // room for the first descriptor, not for the second and terminator
    expectOpenFails(210, "Header length is too small for its field descriptors");
    putU16(path, 8, 40);
    expectOpenFails(210, "Header length is too small for its field descriptors");
}

TEST_F(MalformedTable, NoFieldsIsOutOfRange) {
    flipByte(path, 32, 0x0D);
    expectOpenFails(210, "Number of fields is out of range");
}

TEST_F(MalformedTable, TooManyFieldsIsOutOfRange) {
    // 256 well-formed descriptors in a header that announces them all.
    std::string bytes(32 + 256 * 32 + 1, '\0');
    bytes[0] = 0x03;
    const uint16_t headerLength = static_cast<uint16_t>(bytes.size());
    bytes[8] = static_cast<char>(headerLength & 0xFF);
    bytes[9] = static_cast<char>(headerLength >> 8);
    bytes[10] = static_cast<char>((1 + 256) & 0xFF);
    bytes[11] = static_cast<char>((1 + 256) >> 8);
    for (int i = 0; i < 256; ++i) {
        bytes[32 + i * 32] = 'A';
        bytes[32 + i * 32 + 11] = 'L';
        bytes[32 + i * 32 + 16] = 1;
    }
    bytes.back() = 0x0D;
    env.setContents(path, bytes + "\x1A");
    expectOpenFails(210, "Number of fields is out of range");
}

TEST_F(MalformedTable, RecordLengthZeroOrNotTheSumOfWidths) {
    putU16(path, 10, 0);
    expectOpenFails(210, "Record length does not match the field descriptors");
    putU16(path, 10, 18);
    expectOpenFails(210, "Record length does not match the field descriptors");
    putU16(path, 10, 20);
    expectOpenFails(210, "Record length does not match the field descriptors");
}

TEST_F(MalformedTable, TruncatedRecordsAreNotRead) {
    const size_t headerLength = 32 + 2 * 32 + 1;
    cutFile(path, headerLength + 19 + 5);  // one record and part of the second
    auto shared = openTable();
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->recordCount(), 1u);
    std::vector<uint8_t> record(19);
    EXPECT_EQ(shared->readRecord(2, record.data()).code(), 212);
    shared.reset();
    // An exclusive table believes its header (2 records) only as far as the file goes.
    auto exclusive = openTable(Share::Exclusive);
    ASSERT_TRUE(exclusive);
    EXPECT_EQ(exclusive->recordCount(), 1u);
    EXPECT_EQ(readText(*exclusive, 1), "first");
}

using TableRecords = TableTest;

TEST_F(TableRecords, AppendRewriteDeleteAndReadBack) {
    createTable({field("name", 'C', 10), field("amt", 'N', 8, 2)});
    auto table = openTable();
    EXPECT_EQ(appendText(*table, "Smith"), 1u);
    EXPECT_EQ(appendText(*table, "Jones"), 2u);
    EXPECT_EQ(table->recordCount(), 2u);

    std::vector<uint8_t> record(table->recordLength());
    ASSERT_TRUE(table->readRecord(2, record.data()).ok());
    setNumber(table->fields()[1], record.data(), 9.99);
    ASSERT_TRUE(table->lockRecord(2));
    ASSERT_TRUE(table->writeRecord(2, record.data()).ok());
    ASSERT_TRUE(table->setDeleted(2, true).ok());
    table->unlockRecord(2);

    ASSERT_TRUE(table->readRecord(2, record.data()).ok());
    EXPECT_TRUE(isDeleted(record.data()));
    EXPECT_DOUBLE_EQ(getNumber(table->fields()[1], record.data()), 9.99);
    EXPECT_EQ(readText(*table, 1), "Smith");
    EXPECT_EQ(table->readRecord(3, record.data()).code(), 212);
    EXPECT_EQ(table->readRecord(0, record.data()).code(), 212);

    std::vector<uint8_t> both(2 * table->recordLength());
    uint32_t got = 0;
    ASSERT_TRUE(table->readRecords(1, 10, both.data(), &got).ok());
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(getText(table->fields()[0], both.data() + table->recordLength()), "Jones");
    ASSERT_TRUE(table->readRecords(3, 10, both.data(), &got).ok());
    EXPECT_EQ(got, 0u);
}

TEST_F(TableRecords, WritesWithoutTheirLocksAreRefused) {
    createTable({field("name", 'C', 10)});
    auto table = openTable();
    appendText(*table, "Smith");
    std::vector<uint8_t> record(table->recordLength());
    table->blankRecord(record.data());

    Status s = table->writeRecord(1, record.data());
    EXPECT_EQ(s.code(), 1200);
    EXPECT_EQ(s.context().rfind("Record #1", 0), 0u) << s.context();
    EXPECT_EQ(table->setDeleted(1, true).code(), 1200);
    s = table->appendRecord(record.data());
    EXPECT_EQ(s.code(), 5);
    EXPECT_EQ(s.context(), "File must be locked to append: /data/Table.dbf [APPEND]");
    EXPECT_EQ(readText(*table, 1), "Smith");
    EXPECT_EQ(table->recordCount(), 1u);

    // Locks released are needed again.
    ASSERT_TRUE(table->lockRecord(1));
    EXPECT_TRUE(table->lockRecord(1));  // held already: not asked again
    table->unlockRecord(1);
    EXPECT_EQ(table->writeRecord(1, record.data()).code(), 1200);
}

TEST_F(TableRecords, LocksOfOneOpenFileShutOutAnother) {
    createTable({field("name", 'C', 10)});
    auto first = openTable();
    auto second = openTable();
    appendText(*first, "one");
    appendText(*first, "two");

    ASSERT_TRUE(first->lockRecord(1));
    EXPECT_FALSE(second->lockRecord(1));
    EXPECT_TRUE(second->lockRecord(2));
    ASSERT_TRUE(first->lockAppend());
    EXPECT_FALSE(second->lockAppend());
    EXPECT_TRUE(second->lockRecord(1) == false);
    first.reset();  // closing releases every lock it held
    EXPECT_TRUE(second->lockRecord(1));
    EXPECT_TRUE(second->lockAppend());
}

TEST_F(TableRecords, ExclusiveTablesNeedNoLocksAndShutOutOthers) {
    createTable({field("name", 'C', 10)});
    auto table = openTable(Share::Exclusive);
    std::vector<uint8_t> record(table->recordLength());
    table->blankRecord(record.data());
    ASSERT_TRUE(table->appendRecord(record.data()).ok());
    ASSERT_TRUE(table->writeRecord(1, record.data()).ok());

    std::unique_ptr<DbfFile> other;
    EXPECT_EQ(tryOpen(&other).code(), 32);
    table.reset();
    auto shared = openTable();
    EXPECT_EQ(tryOpen(&other, Share::Exclusive).code(), 32);
}

TEST_F(TableRecords, ReadOnlyTablesRefuseEveryWrite) {
    createTable({field("name", 'C', 10)});
    appendText(*openTable(), "Smith");
    const std::string before = fileBytes(path);
    auto table = openTable(Share::Shared, Access::ReadOnly);
    std::vector<uint8_t> record(table->recordLength());
    table->blankRecord(record.data());
    EXPECT_EQ(table->appendRecord(record.data()).code(), 5);
    table->lockRecord(1);
    EXPECT_EQ(table->writeRecord(1, record.data()).code(), 5);
    EXPECT_EQ(table->setProductionIndexFlag(true).code(), 5);
    EXPECT_TRUE(table->close().ok());
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(TableRecords, SharedAppendsLandAfterTheLastRecordInTheFile) {
    createTable({field("name", 'C', 10)});
    auto first = openTable();
    auto second = openTable();
    EXPECT_EQ(appendText(*first, "a1"), 1u);
    EXPECT_EQ(appendText(*second, "b1"), 2u);
    EXPECT_EQ(appendText(*first, "a2"), 3u);
    EXPECT_EQ(readText(*second, 3), "a2");  // a record past its count is found
    ASSERT_TRUE(second->close().ok());
    // `first` last counted 3 records; closing it later must not cut off a newer one.
    auto third = openTable();
    EXPECT_EQ(appendText(*third, "c1"), 4u);
    ASSERT_TRUE(third->close().ok());
    ASSERT_TRUE(first->close().ok());

    const std::string bytes = fileBytes(path);
    EXPECT_EQ(byteAt(bytes, 4), 4);  // count in the header
    EXPECT_EQ(bytes.size(), 65u + 4 * 11 + 1);
    EXPECT_EQ(byteAt(bytes, bytes.size() - 1), 0x1A);
    auto check = openTable();
    const char* expected[] = {"a1", "b1", "a2", "c1"};
    for (uint32_t n = 1; n <= 4; ++n) EXPECT_EQ(readText(*check, n), expected[n - 1]);
}

TEST_F(TableRecords, CloseRewritesTheHeaderOnlyAfterChanges) {
    createTable({field("name", 'C', 10)});
    flipByte(path, 1, 80);     // an old date of last update
    flipByte(path, 12, 0x55);  // reserved bytes are carried over
    flipByte(path, 29, 0x03);
    const std::string created = fileBytes(path);

    ASSERT_TRUE(openTable()->close().ok());
    EXPECT_EQ(fileBytes(path), created);  // clean: nothing written

    auto table = openTable(Share::Exclusive);
    appendText(*table, "Smith");
    ASSERT_TRUE(table->close().ok());
    std::string bytes = fileBytes(path);
    EXPECT_EQ(byteAt(bytes, 1) + 1900, thisYear());
    EXPECT_EQ(byteAt(bytes, 4), 1);
    EXPECT_EQ(byteAt(bytes, 12), 0x55);
    EXPECT_EQ(byteAt(bytes, 29), 0x03);
    EXPECT_EQ(bytes.size(), 65u + 11 + 1);
    EXPECT_EQ(byteAt(bytes, 65 + 11), 0x1A);

    // A stale header count is put right by the next changed close.
    putU32(path, 4, 7);
    flipByte(path, 1, 80);
    table = openTable();
    ASSERT_TRUE(table->lockRecord(1));
    std::vector<uint8_t> record(table->recordLength());
    ASSERT_TRUE(table->readRecord(1, record.data()).ok());
    ASSERT_TRUE(table->writeRecord(1, record.data()).ok());
    ASSERT_TRUE(table->close().ok());
    bytes = fileBytes(path);
    EXPECT_EQ(byteAt(bytes, 4), 1);
    EXPECT_EQ(byteAt(bytes, 1) + 1900, thisYear());
}

TEST_F(TableRecords, FailedWritesAreReportedNotSwallowed) {
    createTable({field("name", 'C', 10)});
    auto table = openTable();
    env.failWritesAfter(5);
    std::vector<uint8_t> record(table->recordLength());
    table->blankRecord(record.data());
    ASSERT_TRUE(table->lockAppend());
    const Status s = table->appendRecord(record.data());
    EXPECT_EQ(s.code(), 101);
    EXPECT_EQ(s.context(),
              "/data/Table.dbf [Replace/Append/PutDbfRecord]: No space left on device");
    EXPECT_EQ(table->recordCount(), 0u);
    // Nothing of the record is left: the 5 bytes that got through were cut off again (with
    // no byte left to write, even the end-of-file byte could not be put back).
    EXPECT_EQ(fileBytes(path).size(), 65u);
    env.failWritesAfter(-1);
    EXPECT_EQ(appendText(*table, "ok"), 1u);
    env.failWritesAfter(0);
    EXPECT_EQ(table->close().code(), 101);
}

TEST_F(TableRecords, IndexHookSeesEveryAppendAndRewrite) {
    createTable({field("name", 'C', 5)});
    auto table = openTable();
    RecordingHook hook;
    table->setIndexHook(&hook);
    appendText(*table, "Smith");
    std::vector<uint8_t> record(table->recordLength());
    ASSERT_TRUE(table->readRecord(1, record.data()).ok());
    setText(table->fields()[0], record.data(), "Jones");
    ASSERT_TRUE(table->lockRecord(1));
    ASSERT_TRUE(table->writeRecord(1, record.data()).ok());
    ASSERT_TRUE(table->setDeleted(1, true).ok());
    const std::vector<std::string> expected = {"append 1  Smith", "rewrite 1  Smith| Jones",
                                               "rewrite 1  Jones|*Jones"};
    EXPECT_EQ(hook.calls, expected);

    hook.result = Status::Error(222, "[index]");
    EXPECT_EQ(table->writeRecord(1, record.data()).code(), 222);
}

TEST_F(TableRecords, ProductionIndexFlagIsHeaderByte28) {
    createTable({field("name", 'C', 5)});
    auto table = openTable();
    EXPECT_FALSE(table->productionIndexFlag());
    ASSERT_TRUE(table->setProductionIndexFlag(true).ok());
    EXPECT_EQ(byteAt(fileBytes(path), 28), 1);
    ASSERT_TRUE(table->close().ok());
    EXPECT_TRUE(openTable()->productionIndexFlag());
}

TEST_F(TableRecords, MissingFileNamesTheFile) {
    std::unique_ptr<DbfFile> missing;
    const Status s =
        DbfFile::open(&env, "/data/Other.dbf", Access::ReadWrite, Share::Shared, &missing);
    EXPECT_EQ(s.code(), 2);
    EXPECT_EQ(s.context(), "/data/Other.dbf [USE/OpenDBF]");
}
