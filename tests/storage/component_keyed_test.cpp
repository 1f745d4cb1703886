// A filter routine installed with its key on a table whose production index holds a tag on the
// key's field: the routine sees only the records the tag lists under the value (and those the
// index does not cover), and passes exactly what it passes on a walk of every record, whoever
// wrote the table.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "component_fixture.h"
#include "storage/coding.h"
#include "storage/dbf_file.h"
#include "storage/production_index.h"

namespace {

constexpr const char* kMatterTag[] = {"MATTER,F,F,matter", ""};

// The matter filter as the forms install it, counting the candidates it is asked about.
struct Owner {
    std::string matter;
    storage::TDbfTable* table = nullptr;
    int calls = 0;
};

bool passesMatter(void* context) {
    auto* owner = static_cast<Owner*>(context);
    ++owner->calls;
    return owner->table->FieldByName("matter").AsString() == owner->matter;
}

storage::FilterKey matterKey() {
    return {"matter", [](void* context) { return static_cast<Owner*>(context)->matter; }};
}

// The matters of 60 records: three rounds of this list, so that each matter's records lie apart.
const std::vector<std::string> kRound = {"Smith",  "Jones", "smith", "Smith v. Smithson",
                                         "",       "Smith", "Brown", "Jones",
                                         "Smith",  "Adams", "Smith", "Jones",
                                         "Zimmer", "Smith", "Jones", "Smith",
                                         "Brown",  "Jones", "Smith", "Adams"};

class KeyedFilterTest : public ComponentTest {
  protected:
    void SetUp() override {
        ComponentTest::SetUp();
        auto writer = keyed();
        writer->Open();
        for (int round = 0; round < 3; ++round)
            for (const std::string& matter : kRound) add(*writer, matter, "(a) Housing");
        writer->Close();
    }

    // The component as the forms declare a matter-filtered table.
    std::unique_ptr<storage::TDbfTable> keyed(bool readOnly = false) {
        auto t = table("Expenses.dbf", {"RAW,F,F,recno()", ""});
        t->LookupTags.assign(std::begin(kMatterTag), std::end(kMatterTag));
        t->ReadOnly = readOnly;
        return t;
    }

    // Installs the routine for `matter` on `t`, with its key unless `withKey` is false.
    void filter(storage::TDbfTable& t, Owner& owner, const std::string& matter,
                bool withKey = true) {
        owner.matter = matter;
        owner.table = &t;
        t.SetFilterToCB(passesMatter, &owner, withKey ? matterKey() : storage::FilterKey{});
    }

    // The record numbers the routine passes, from First, and from Last backwards reversed.
    static std::vector<uint32_t> forwards(storage::TDbfTable& t) {
        std::vector<uint32_t> recnos;
        for (t.First(); !t.Eof(); t.Next()) recnos.push_back(t.RecNo());
        return recnos;
    }
    static std::vector<uint32_t> backwards(storage::TDbfTable& t) {
        std::vector<uint32_t> recnos;
        for (t.Last(); !t.Bof(); t.Prior()) recnos.insert(recnos.begin(), t.RecNo());
        return recnos;
    }

    // What a walk of every record passes for `matter`.
    std::vector<uint32_t> scanned(const std::string& matter) {
        auto t = table("Expenses.dbf");
        t->ReadOnly = true;
        t->Open();
        Owner owner;
        filter(*t, owner, matter, false);
        std::vector<uint32_t> recnos = forwards(*t);
        t->Close();
        return recnos;
    }

    // The update counter of the index file: a rebuild changes it.
    uint32_t indexCounter() {
        std::ifstream in(path("Expenses.MDX"), std::ios::binary);
        uint8_t bytes[52] = {};
        in.read(reinterpret_cast<char*>(bytes), sizeof bytes);
        return storage::getU32(bytes + 48);
    }

    // Writes as a program that knows nothing of indexes: the record's matter in place, or a new
    // record at the end with the header's count raised.
    void rawRewrite(uint32_t recno, const std::string& matter) {
        std::fstream file(path("Expenses.dbf"), std::ios::in | std::ios::out | std::ios::binary);
        uint8_t header[12];
        file.read(reinterpret_cast<char*>(header), sizeof header);
        const uint16_t headerLength = storage::getU16(header + 8);
        const uint16_t recordLength = storage::getU16(header + 10);
        std::string text = matter;
        text.resize(50, ' ');
        file.seekp(headerLength + std::streamoff(recno - 1) * recordLength + 1);
        file.write(text.data(), std::streamsize(text.size()));
    }
    void rawAppend(const std::string& matter) {
        std::fstream file(path("Expenses.dbf"), std::ios::in | std::ios::out | std::ios::binary);
        uint8_t header[12];
        file.read(reinterpret_cast<char*>(header), sizeof header);
        const uint32_t count = storage::getU32(header + 4);
        const uint16_t headerLength = storage::getU16(header + 8);
        const uint16_t recordLength = storage::getU16(header + 10);
        std::string record(recordLength, ' ');
        std::memcpy(record.data() + 1, matter.data(), matter.size());
        record += '\x1a';
        file.seekp(headerLength + std::streamoff(count) * recordLength);
        file.write(record.data(), std::streamsize(record.size()));
        uint8_t raised[4];
        storage::putU32(raised, count + 1);
        file.seekp(4);
        file.write(reinterpret_cast<char*>(raised), 4);
    }
};

// "Smith" holds records 1, 6, 9, 11, 14, 16 and 19 of each round of 20.
std::vector<uint32_t> smithRecords(int rounds) {
    std::vector<uint32_t> recnos;
    for (int round = 0; round < rounds; ++round)
        for (uint32_t r : {1, 6, 9, 11, 14, 16, 19}) recnos.push_back(uint32_t(round * 20) + r);
    return recnos;
}

TEST_F(KeyedFilterTest, TheRoutineSeesTheMattersRecordsOnlyAndPassesWhatAScanPasses) {
    auto t = keyed();
    t->Open();
    Owner owner;
    filter(*t, owner, "Smith");
    owner.calls = 0;
    EXPECT_EQ(forwards(*t), smithRecords(3));
    // The candidates: the 21 records of "Smith" and the 3 of "Smith v. Smithson", which begins
    // with it; the 54 others are never read.
    EXPECT_EQ(owner.calls, 24);
    EXPECT_EQ(backwards(*t), smithRecords(3));
    EXPECT_EQ(t->GetFilteredCount(), 21u);
    EXPECT_EQ(scanned("Smith"), smithRecords(3));

    // Letter case counts; a matter with trailing blanks, an empty one and an unknown one.
    for (const std::string matter :
         {"smith", "Smith v. Smithson", "Jones", "", "Smith ", "Nobody"}) {
        filter(*t, owner, matter);
        EXPECT_EQ(forwards(*t), scanned(matter)) << "'" << matter << "'";
        EXPECT_EQ(backwards(*t), scanned(matter)) << "'" << matter << "'";
    }
    EXPECT_EQ(scanned("smith").size(), 3u);
    EXPECT_EQ(scanned("").size(), 3u);
    EXPECT_TRUE(scanned("Smith ").empty());

    // The routine reads the current matter afresh: a new matter gives its records at once.
    filter(*t, owner, "Smith");
    owner.matter = "Brown";
    EXPECT_EQ(forwards(*t), (std::vector<uint32_t>{7, 17, 27, 37, 47, 57}));
}

TEST_F(KeyedFilterTest, AnotherWorkstationsWritesAreSeenAtTheNextWalk) {
    auto mine = keyed();
    mine->Open();
    Owner owner;
    filter(*mine, owner, "Adams");
    EXPECT_EQ(forwards(*mine), (std::vector<uint32_t>{10, 20, 30, 40, 50, 60}));

    auto theirs = keyed();
    theirs->Open();
    add(*theirs, "Adams", "(b) Utilities");  // record 61
    ASSERT_TRUE(theirs->Locate("matter", {"Zimmer"}, 0));
    theirs->Edit();
    theirs->FieldByName("matter").setAsString("Adams");  // record 13 joins
    theirs->Post();
    ASSERT_TRUE(theirs->Locate("matter", {"Adams"}, 0));
    theirs->Delete();  // record 10 goes (deleted records are hidden)
    ASSERT_TRUE(theirs->Locate("matter", {"Adams"}, 0));
    theirs->Edit();
    theirs->FieldByName("matter").setAsString("Jones");  // record 13 leaves again
    theirs->Post();
    ASSERT_TRUE(theirs->Locate("matter", {"Adams"}, 0));
    theirs->Edit();
    theirs->FieldByName("amt").setAsFloat(12.5);  // a change that moves no key
    theirs->Post();

    EXPECT_EQ(forwards(*mine), (std::vector<uint32_t>{20, 30, 40, 50, 60, 61}));
    EXPECT_EQ(mine->GetFilteredCount(), 6u);
    theirs->Close();
    mine->Close();
    EXPECT_EQ(scanned("Adams"), (std::vector<uint32_t>{20, 30, 40, 50, 60, 61}));
}

TEST_F(KeyedFilterTest, OwnWritesKeepTheIndexCoveringTheTable) {
    {
        auto t = keyed();
        t->Open();
        add(*t, "Smith");
        ASSERT_TRUE(t->Locate("matter", {"Jones"}, 0));
        t->Edit();
        t->FieldByName("amt").setAsFloat(3);
        t->Post();
        t->Delete();
        t->Close();  // writes the header
    }
    const uint32_t counter = indexCounter();
    auto t = keyed();
    t->Open();
    Owner owner;
    filter(*t, owner, "Smith");
    owner.calls = 0;
    std::vector<uint32_t> expected = smithRecords(3);
    expected.push_back(61);
    EXPECT_EQ(forwards(*t), expected);
    EXPECT_EQ(owner.calls, 25);
    EXPECT_EQ(indexCounter(), counter) << "the index was rebuilt";
}

TEST_F(KeyedFilterTest, RecordsAppendedByAnotherProgramAreFound) {
    rawAppend("Smith");
    rawAppend("Jones");
    std::vector<uint32_t> expected = smithRecords(3);
    expected.push_back(61);
    const uint32_t counter = indexCounter();
    auto t = keyed();
    t->Open();
    Owner owner;
    filter(*t, owner, "Smith");
    // The table changed behind its index, which cannot tell appends from rewrites: the index is
    // rebuilt, and covers the table again.
    EXPECT_EQ(forwards(*t), expected);
    EXPECT_NE(indexCounter(), counter);

    // Appended while this workstation has the table open: found at the next walk.
    rawAppend("Smith");
    expected.push_back(63);
    EXPECT_EQ(forwards(*t), expected);
    EXPECT_EQ(t->GetFilteredCount(), 23u);
    owner.calls = 0;
    EXPECT_EQ(backwards(*t), expected);
    EXPECT_EQ(owner.calls, 3 + 23);
    t->Close();
    EXPECT_EQ(scanned("Smith"), expected);
}

TEST_F(KeyedFilterTest, ARewriteBehindTheIndexIsSeenAndTheIndexRebuilt) {
    rawRewrite(2, "Smith");    // a Jones record joins
    rawRewrite(61 - 60, "X");  // record 1 leaves
    std::vector<uint32_t> expected = smithRecords(3);
    expected.erase(expected.begin());
    expected.insert(expected.begin(), 2);
    EXPECT_EQ(scanned("Smith"), expected);

    // Read only, the index cannot be mended: every record is read.
    auto reader = keyed(true);
    reader->Open();
    Owner owner;
    filter(*reader, owner, "Smith");
    owner.calls = 0;
    EXPECT_EQ(forwards(*reader), expected);
    EXPECT_EQ(owner.calls, 60);
    reader->Close();

    // Writable, it is rebuilt once; the next opening reads the matter's records only.
    const uint32_t counter = indexCounter();
    auto t = keyed();
    t->Open();
    filter(*t, owner, "Smith");
    EXPECT_EQ(forwards(*t), expected);
    t->Close();
    const uint32_t rebuilt = indexCounter();
    EXPECT_NE(rebuilt, counter);
    t->Open();
    filter(*t, owner, "Smith");
    owner.calls = 0;
    EXPECT_EQ(forwards(*t), expected);
    EXPECT_EQ(owner.calls, 24);
    EXPECT_EQ(indexCounter(), rebuilt);
}

TEST_F(KeyedFilterTest, AMissingOrDamagedIndexIsRebuiltWithTheTag) {
    std::filesystem::remove(path("Expenses.MDX"));
    auto t = keyed();
    t->Open();
    Owner owner;
    filter(*t, owner, "Smith");
    EXPECT_EQ(forwards(*t), smithRecords(3));
    t->Close();
    ASSERT_TRUE(exists("Expenses.MDX"));

    // A leaf's keys overwritten in place: the opening does not walk the trees (its check record
    // holds), the lookup meets the damage and the file is rebuilt.
    {
        std::fstream mdx(path("Expenses.MDX"), std::ios::in | std::ios::out | std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(mdx)), std::istreambuf_iterator<char>());
        const std::string key = std::string("Smith") + std::string(45, ' ');
        const size_t at = bytes.find(key);
        ASSERT_NE(at, std::string::npos);
        mdx.seekp(std::streamoff(at));
        mdx.write("\xff\xff\xff\xff", 4);
    }
    t->Open();
    filter(*t, owner, "Smith");
    EXPECT_EQ(forwards(*t), smithRecords(3));
    EXPECT_TRUE(fatal.empty());
}

TEST_F(KeyedFilterTest, AnIndexBuiltWithoutTheTagGainsItAndKeepsItsOrder) {
    auto old = table("Old.dbf", {"RAW,F,F,recno()", ""});
    old->Open();
    for (const char* matter : {"Jones", "Adams", "Jones", "Brown"}) add(*old, matter);
    old->Close();

    auto t = table("Old.dbf", {"RAW,F,F,recno()", ""});
    t->LookupTags.assign(std::begin(kMatterTag), std::end(kMatterTag));
    t->Open();
    std::vector<std::string> all;
    for (t->First(); !t->Eof(); t->Next()) all.push_back(t->FieldByName("matter").AsString());
    EXPECT_EQ(all, (std::vector<std::string>{"Jones", "Adams", "Jones", "Brown"}));
    Owner owner;
    filter(*t, owner, "Jones");
    owner.calls = 0;
    EXPECT_EQ(forwards(*t), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(owner.calls, 2);
    t->Close();

    // The tags in the file: the declared one first, the lookup tag after it.
    std::unique_ptr<storage::DbfFile> file;
    ASSERT_TRUE(storage::DbfFile::open(storage::Env::Default(), path("Old.dbf"),
                                       storage::Access::ReadOnly, storage::Share::Shared, &file)
                    .ok());
    std::unique_ptr<storage::ProductionIndex> index;
    ASSERT_TRUE(storage::ProductionIndex::open(file.get(), path("Old.MDX"), &index).ok());
    ASSERT_EQ(index->tags().size(), 2u);
    EXPECT_EQ(index->tags()[0].name, "RAW");
    EXPECT_EQ(index->tags()[1].name, "MATTER");

    // A table the catalog gives no tags gets an index of the lookup tag alone, and keeps its
    // record order.
    auto plain = table("Plain.dbf");
    plain->LookupTags.assign(std::begin(kMatterTag), std::end(kMatterTag));
    plain->Open();
    for (const char* matter : {"Jones", "Adams", "Jones"}) add(*plain, matter);
    std::vector<std::string> order;
    for (plain->First(); !plain->Eof(); plain->Next())
        order.push_back(plain->FieldByName("matter").AsString());
    EXPECT_EQ(order, (std::vector<std::string>{"Jones", "Adams", "Jones"}));
    plain->Close();
    EXPECT_TRUE(exists("Plain.MDX"));
}

}  // namespace
