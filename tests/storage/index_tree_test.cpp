// Tags as B-trees: order under many inserts and removals against a plain model, and damage.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "index_fixture.h"
#include "storage/mdx_check.h"

namespace {

using index_test::createIndexed;
using index_test::field;
using Entries = std::vector<std::pair<std::string, uint32_t>>;

struct Variant {
    const char* tagLine;
    bool descending;
    bool unique;
};

class TagOrder : public ::testing::TestWithParam<Variant> {};

// The model: entries in tag order; a unique tag keeps the first record of each key.
Entries modelOf(const std::map<uint32_t, std::string>& records, const Variant& v) {
    Entries all;
    for (const auto& [recno, key] : records) all.emplace_back(key, recno);
    std::stable_sort(all.begin(), all.end(), [&](const auto& a, const auto& b) {
        return v.descending ? a.first > b.first : a.first < b.first;
    });
    if (!v.unique) return all;
    Entries first;
    for (const auto& e : all)
        if (first.empty() || first.back().first != e.first) first.push_back(e);
    return first;
}

TEST_P(TagOrder, AppendsAndRewritesKeepTheTagInOrder) {
    const Variant v = GetParam();
    storage::MemEnv env;
    auto t = createIndexed(&env, "/d/T.dbf", {field("NAME", 'C', 30)}, {v.tagLine},
                           storage::Share::Exclusive);
    ASSERT_TRUE(t.index);
    std::mt19937 random(7);
    std::map<uint32_t, std::string> records;
    auto randomKey = [&] { return "k" + std::to_string(random() % 400); };
    // Enough keys for a tree of three levels (19 keys per node).
    for (uint32_t recno = 1; recno <= 1500; ++recno) {
        records[recno] = randomKey();
        t.append({records[recno]});
    }
    ASSERT_EQ(t.entries(), modelOf(records, v));
    EXPECT_TRUE(storage::checkAllTags(t.index->file(), 1500).ok());

    // Unique tags: a key moved away is not replaced by a later record of it (dBASE keeps only
    // what it indexed), so check those against the keys they hold instead.
    for (int i = 0; i < 600; ++i) {
        const uint32_t recno = 1 + random() % 1500;
        records[recno] = i % 50 == 0 ? records[recno] : randomKey();
        t.rewrite(recno, "NAME", records[recno]);
    }
    storage::Status s = storage::checkAllTags(t.index->file(), 1500);
    EXPECT_TRUE(s.ok()) << s.message();
    const Entries got = t.entries();
    if (!v.unique) {
        EXPECT_EQ(got, modelOf(records, v));
        EXPECT_TRUE(t.problems().empty());
    } else {
        for (const auto& [key, recno] : got) EXPECT_EQ(records[recno], key);
    }

    // Rebuilding gives exactly the model, and reads back the same through a fresh open. (A
    // unique tag of repeated keys misses records, which the check reports as such.)
    ASSERT_TRUE(t.index->rebuild(nullptr).ok());
    EXPECT_EQ(t.entries(), modelOf(records, v));
    EXPECT_TRUE(t.damage().empty());
    EXPECT_EQ(t.problems().empty(), !v.unique);
}

TEST_P(TagOrder, EmptiedTagShrinksToAnEmptyRoot) {
    const Variant v = GetParam();
    storage::MemEnv env;
    auto t = createIndexed(&env, "/d/T.dbf", {field("NAME", 'C', 30)}, {v.tagLine},
                           storage::Share::Exclusive);
    for (int i = 0; i < 300; ++i) t.append({"a" + std::to_string(i)});
    // Move every key past the others and back, one record at a time.
    for (uint32_t r = 1; r <= 300; ++r) t.rewrite(r, "NAME", "z" + std::to_string(r));
    for (uint32_t r = 1; r <= 300; ++r) t.rewrite(r, "NAME", "a" + std::to_string(r - 1));
    std::map<uint32_t, std::string> records;
    for (uint32_t r = 1; r <= 300; ++r) records[r] = "a" + std::to_string(r - 1);
    EXPECT_EQ(t.entries(), modelOf(records, v));
    EXPECT_TRUE(storage::checkAllTags(t.index->file(), 300).ok());
}

INSTANTIATE_TEST_SUITE_P(Variants, TagOrder,
                         ::testing::Values(Variant{"UP,F,F,name", false, false},
                                           Variant{"DOWN,T,F,name", true, false},
                                           Variant{"ONCE,F,T,name", false, true},
                                           Variant{"DOWNONCE,T,T,NAME", true, true}));

TEST(TagSeek, FindExactAndFindByPrefix) {
    storage::MemEnv env;
    auto t =
        createIndexed(&env, "/d/General.dbf", {field("MATTER", 'C', 50)}, {"MYKEY,F,T,matter"});
    for (const char* name : {"Smith v. Smith", "Jones v. Jones", "Smith", "smith v. smith"})
        t.append({name});
    auto cursor = t.index->cursor(0);
    bool found = false;
    ASSERT_TRUE(t.index->seek(cursor.get(), "Smith", true, &found).ok());
    ASSERT_TRUE(found);
    EXPECT_EQ(cursor->recno(), 3u);
    ASSERT_TRUE(t.index->seek(cursor.get(), "Smith v. Smith", true, &found).ok());
    EXPECT_TRUE(found && cursor->recno() == 1u);
    ASSERT_TRUE(t.index->seek(cursor.get(), "SMITH V. SMITH", true, &found).ok());
    EXPECT_FALSE(found);  // letter case counts
    ASSERT_TRUE(t.index->seek(cursor.get(), "Smith v", false, &found).ok());
    EXPECT_TRUE(found && cursor->recno() == 1u);
    ASSERT_TRUE(t.index->seek(cursor.get(), "Smit", true, &found).ok());
    EXPECT_FALSE(found);
    ASSERT_TRUE(t.index->seek(cursor.get(), std::string(51, 'x'), true, &found).ok());
    EXPECT_FALSE(found);
    ASSERT_TRUE(t.index->seek(cursor.get(), "Smit", false, &found).ok());
    ASSERT_TRUE(found);
    EXPECT_EQ(cursor->recno(), 3u);  // "Smith" sorts before "Smith v. Smith"
    ASSERT_TRUE(cursor->next(&found).ok());
    EXPECT_TRUE(found && cursor->recno() == 1u);
    ASSERT_TRUE(cursor->next(&found).ok());
    EXPECT_TRUE(found && cursor->recno() == 4u);
    ASSERT_TRUE(cursor->next(&found).ok());
    EXPECT_FALSE(found);

    auto numbers =
        createIndexed(&env, "/d/Expenses.dbf", {field("AMT", 'N', 12, 2)}, {"RAW,F,F,recno()"});
    for (int i = 0; i < 500; ++i) numbers.append({"1"});
    auto byRecno = numbers.index->cursor(0);
    ASSERT_TRUE(numbers.index->seek(byRecno.get(), "321", true, &found).ok());
    EXPECT_TRUE(found && byRecno->recno() == 321u);
    ASSERT_TRUE(numbers.index->seek(byRecno.get(), "501", true, &found).ok());
    EXPECT_FALSE(found);
    ASSERT_TRUE(byRecno->last(&found).ok());
    EXPECT_TRUE(found && byRecno->recno() == 500u);
}

// Damage: each kind is found as 222 by the check, and opening rebuilds the file.
class Damage : public ::testing::Test {
  protected:
    void SetUp() override {
        t_ =
            createIndexed(&env_, "/d/Family.dbf", {field("MATTER", 'C', 50)}, {"MYKEY,F,T,matter"});
        for (int i = 0; i < records(); ++i) t_.append({"m" + std::to_string(1000 + i)});
        t_.index.reset();
        t_.table->setIndexHook(nullptr);
        bytes_ = env_.contents("/d/Family.MDX");
    }

    virtual int records() const { return 200; }

    uint32_t u32(size_t at) const {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(bytes_[at + i]);
        return v;
    }
    void putU32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_[at + i] = char(v >> (8 * i));
    }
    size_t rootOffset() const { return size_t(u32(u32(544) * 512)) * 512; }
    size_t leftmostLeafOffset() const {
        size_t at = rootOffset();
        while (u32(at + 8 + u32(at) * 56) != 0) at = size_t(u32(at + 8)) * 512;
        return at;
    }
    // The first leaf, in key order, that lies past `offset` in the file (0: none).
    size_t leafPast(size_t offset, size_t at = 0) const {
        if (at == 0) at = rootOffset();
        const uint32_t count = u32(at);
        if (u32(at + 8 + count * 56) == 0) return at > offset ? at : 0;
        for (uint32_t i = 0; i <= count; ++i) {
            if (size_t leaf = leafPast(offset, size_t(u32(at + 8 + i * 56)) * 512)) return leaf;
        }
        return 0;
    }

    // Writes the damaged bytes, expects 222 when opened as found, and a rebuild by openOrBuild.
    // The check record is cleared as any other program's change of the file leaves it (its
    // update counter no longer the recorded one), so that opening walks the trees.
    void expectDetectedAndRebuilt() {
        if (bytes_.size() >= 64) bytes_.replace(52, 12, std::string(12, '\0'));
        env_.setContents("/d/Family.MDX", bytes_);
        std::unique_ptr<storage::ProductionIndex> index;
        storage::Status s = storage::ProductionIndex::open(t_.table.get(), "/d/Family.MDX", &index);
        EXPECT_EQ(s.code(), 222) << s.message();
        std::vector<storage::IndexListEntry> tags(1);
        ASSERT_TRUE(storage::parseTagLine("MYKEY,F,T,matter", &tags[0]).ok());
        std::vector<std::string> shown;
        s = storage::ProductionIndex::openOrBuild(
            t_.table.get(), tags, [&](const std::string& text) { shown.push_back(text); }, &index);
        ASSERT_TRUE(s.ok()) << s.message();
        EXPECT_EQ(shown, std::vector<std::string>{"Indexing /d/Family.MDX..."});
        t_.index = std::move(index);
        EXPECT_EQ(t_.entries().size(), size_t(records()));
        EXPECT_TRUE(t_.problems().empty());
    }

    storage::MemEnv env_;
    index_test::IndexedTable t_;
    std::string bytes_;
};

TEST_F(Damage, TruncatedFile) {
    bytes_.resize(bytes_.size() - 1024);
    expectDetectedAndRebuilt();
    bytes_.resize(100);
    expectDetectedAndRebuilt();
}

TEST_F(Damage, RandomBytes) {
    std::mt19937 random(3);
    for (char& c : bytes_) c = char(random());
    expectDetectedAndRebuilt();
}

TEST_F(Damage, PagePastTheEnd) {
    putU32(rootOffset() + 8, 1000000);  // first child of the root
    expectDetectedAndRebuilt();
}

TEST_F(Damage, PagesInACycle) {
    const size_t root = rootOffset();
    putU32(root + 8, u32(u32(544) * 512));  // a child pointing back at the root
    expectDetectedAndRebuilt();
}

TEST_F(Damage, KeysOutOfOrder) {
    const size_t leaf = leftmostLeafOffset();
    bytes_[leaf + 12 + 4] = '9';  // "m1000" becomes "m1009", after its neighbour "m1001"
    expectDetectedAndRebuilt();
}

TEST_F(Damage, SeparatorBelowTheKeysOfItsLeftChild) {
    bytes_.replace(rootOffset() + 12, 5, "m0999");
    expectDetectedAndRebuilt();
}

// The check reads the file in windows of many blocks: damage beyond the first one.
class DamageFarIntoTheFile : public Damage {
  protected:
    int records() const override { return 3000; }
    void SetUp() override {
        Damage::SetUp();
        // Built anew: a packed tree, whose blocks the check reads in file order.
        env_.removeFile("/d/Family.MDX");
        std::vector<storage::IndexListEntry> tags(1);
        ASSERT_TRUE(storage::parseTagLine("MYKEY,F,T,matter", &tags[0]).ok());
        std::unique_ptr<storage::ProductionIndex> index;
        ASSERT_TRUE(
            storage::ProductionIndex::openOrBuild(t_.table.get(), tags, nullptr, &index).ok());
        index.reset();
        bytes_ = env_.contents("/d/Family.MDX");
    }
};

TEST_F(DamageFarIntoTheFile, KeysOutOfOrderInALeafPastTheFirstWindow) {
    std::unique_ptr<storage::ProductionIndex> sound;
    ASSERT_TRUE(storage::ProductionIndex::open(t_.table.get(), "/d/Family.MDX", &sound).ok());
    sound.reset();
    const size_t leaf = leafPast(64 * 1024);
    ASSERT_NE(leaf, 0u);
    ASSERT_EQ(bytes_[leaf + 12], 'm');
    bytes_[leaf + 12 + 1] = '9';  // "m1.." to "m3.." become "m9..", before their neighbours
    expectDetectedAndRebuilt();
}

TEST_F(Damage, RecordNumberPastTheTable) {
    putU32(leftmostLeafOffset() + 8, 201);
    expectDetectedAndRebuilt();
}

TEST_F(Damage, NodeStartingInsideAnotherBlock) {
    // A new root over the old one, and beside it an interior node whose only child starts in the
    // second page of the new root's block. Every page number differs, yet writing either node
    // would tear the other.
    const size_t header = size_t(u32(544)) * 512;
    const uint32_t top = u32(32);  // the next free page
    const size_t at = size_t(top) * 512;
    bytes_.resize(at + 4 * 512, '\0');
    putU32(at, 1);
    putU32(at + 8, u32(header));  // child 0: the old root, with the largest key
    bytes_.replace(at + 12, 50, "m1199" + std::string(45, ' '));
    putU32(at + 8 + 56, top + 2);    // the rightmost child
    putU32(at + 1024 + 8, top + 1);  // no key; its only child overlaps the new root's block
    putU32(32, top + 4);
    putU32(header, top);
    expectDetectedAndRebuilt();
}

TEST(DamageAcrossTags, TwoTagsSharingOneTreeAreDetected) {
    // Each tree on its own is sound, but every write through one tag would change the other.
    storage::MemEnv env;
    auto t =
        createIndexed(&env, "/d/T.dbf", {field("NAME", 'C', 20)}, {"A,F,F,name", "B,F,F,name"});
    for (int i = 0; i < 100; ++i) t.append({"k" + std::to_string(i)});
    t.table->setIndexHook(nullptr);
    t.index.reset();
    std::string bytes = env.contents("/d/T.MDX");
    auto u32 = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(bytes[at + i]);
        return v;
    };
    bytes.replace(size_t(u32(576)) * 512, 4, bytes.substr(size_t(u32(544)) * 512, 4));
    bytes.replace(52, 12, std::string(12, '\0'));  // no walk recorded: opening walks the trees
    env.setContents("/d/T.MDX", bytes);
    std::unique_ptr<storage::ProductionIndex> index;
    EXPECT_EQ(storage::ProductionIndex::open(t.table.get(), "/d/T.MDX", &index).code(), 222);
}

TEST_F(Damage, IndexOfAnotherTableIsAVersionMismatch) {
    // A sound file whose tag names a field this table lacks: 223, rebuilt from the list.
    auto other =
        createIndexed(&env_, "/d/Other.dbf", {field("OWNER", 'C', 50)}, {"MYKEY,F,T,owner"});
    other.index.reset();
    env_.setContents("/d/Family.MDX", env_.contents("/d/Other.MDX"));
    std::unique_ptr<storage::ProductionIndex> index;
    EXPECT_EQ(storage::ProductionIndex::open(t_.table.get(), "/d/Family.MDX", &index).code(), 223);
    bytes_ = env_.contents("/d/Family.MDX");
    env_.setContents("/d/Family.MDX", bytes_);
    std::vector<storage::IndexListEntry> tags(1);
    ASSERT_TRUE(storage::parseTagLine("MYKEY,F,T,matter", &tags[0]).ok());
    ASSERT_TRUE(storage::ProductionIndex::openOrBuild(t_.table.get(), tags, nullptr, &index).ok());
    t_.index = std::move(index);
    EXPECT_EQ(t_.entries().size(), 200u);
}

TEST_F(Damage, MissingFileIsBuilt) {
    env_.removeFile("/d/Family.MDX");
    std::unique_ptr<storage::ProductionIndex> index;
    EXPECT_EQ(storage::ProductionIndex::open(t_.table.get(), "/d/Family.MDX", &index).code(), 2);
    std::vector<storage::IndexListEntry> tags(1);
    ASSERT_TRUE(storage::parseTagLine("MYKEY,F,T,matter", &tags[0]).ok());
    ASSERT_TRUE(storage::ProductionIndex::openOrBuild(t_.table.get(), tags, nullptr, &index).ok());
    t_.index = std::move(index);
    EXPECT_EQ(t_.entries().size(), 200u);
    // A second open finds it sound and builds nothing.
    int builds = 0;
    ASSERT_TRUE(storage::ProductionIndex::openOrBuild(
                    t_.table.get(), tags, [&](const std::string&) { ++builds; }, &index)
                    .ok());
    EXPECT_EQ(builds, 0);
}

}  // namespace
