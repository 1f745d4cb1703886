// The bytes of the files we write, and reading a file that dBASE IV wrote.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "index_fixture.h"
#include "storage/mdx_check.h"

namespace {

using index_test::createIndexed;
using index_test::field;

uint16_t u16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(uint8_t(bytes[at]) | (uint8_t(bytes[at + 1]) << 8));
}
uint32_t u32(const std::string& bytes, size_t at) {
    return u16(bytes, at) | (uint32_t(u16(bytes, at + 2)) << 16);
}

TEST(MdxFormat, HeaderTagTableAndTagHeaderBytes) {
    storage::MemEnv env;
    auto t =
        createIndexed(&env, "/d/General.dbf", {field("MATTER", 'C', 50), field("AMT", 'N', 12, 2)},
                      {"MYKEY,F,T,matter", "DOWN,T,F,recno()", "BYAMT,F,F,amt"});
    ASSERT_TRUE(t.index);
    EXPECT_EQ(t.index->path(), "/d/General.MDX");
    EXPECT_TRUE(t.table->productionIndexFlag());
    const std::string mdx = env.contents("/d/General.MDX");
    ASSERT_GE(mdx.size(), 2048u);
    EXPECT_EQ(mdx.size() % 1024, 0u);
    EXPECT_EQ(mdx[0], 2);
    EXPECT_EQ(mdx.substr(4, 8), std::string("General\0", 8));
    EXPECT_EQ(u16(mdx, 20), 2);
    EXPECT_EQ(u16(mdx, 22), 1024);
    EXPECT_EQ(mdx[24], 1);
    EXPECT_EQ(uint8_t(mdx[25]), 48);
    EXPECT_EQ(uint8_t(mdx[26]), 32);
    EXPECT_EQ(u16(mdx, 28), 3);
    EXPECT_EQ(uint8_t(mdx[31]), 0x1B);
    EXPECT_EQ(u32(mdx, 32) * 512, mdx.size());
    EXPECT_EQ(mdx[529], 1);

    struct Expected {
        const char* name;
        uint8_t format;
        char type;
        uint16_t keyLength, maxKeys, numeric, entryLength;
        uint8_t unique;
        const char* expression;
    };
    const Expected expected[] = {{"MYKEY", 0x50, 'C', 50, 18, 0, 56, 1, "matter"},
                                 {"DOWN", 0x18, 'N', 8, 84, 1, 12, 0, "recno()"},
                                 {"BYAMT", 0x10, 'N', 8, 84, 1, 12, 0, "amt"}};
    for (int i = 0; i < 3; ++i) {
        const Expected& e = expected[i];
        const size_t entry = 544 + 32 * i;
        SCOPED_TRACE(e.name);
        EXPECT_EQ(mdx.substr(entry + 4, 11),
                  std::string(e.name) + std::string(11 - strlen(e.name), '\0'));
        EXPECT_EQ(uint8_t(mdx[entry + 15]), e.format);
        EXPECT_EQ(mdx[entry + 19], 2);
        EXPECT_EQ(mdx[entry + 20], e.type);
        const uint32_t page = u32(mdx, entry);
        EXPECT_EQ(page % 2, 0u);
        const std::string header = mdx.substr(size_t(page) * 512, 1024);
        std::string rest = header;  // every byte not set below must be zero
        const uint32_t root = u32(header, 0);
        EXPECT_GT(root, page);
        EXPECT_EQ(uint8_t(header[8]), e.format);
        EXPECT_EQ(header[9], e.type);
        EXPECT_EQ(u16(header, 12), e.keyLength);
        EXPECT_EQ(u16(header, 14), e.maxKeys);
        EXPECT_EQ(u16(header, 14), 1012 / e.entryLength);
        EXPECT_EQ(u16(header, 16), e.numeric);
        EXPECT_EQ(u16(header, 18), e.entryLength);
        EXPECT_EQ(uint8_t(header[23]), e.unique);
        EXPECT_EQ(header.substr(24, strlen(e.expression) + 1),
                  std::string(e.expression) + std::string(1, '\0'));
        for (size_t at : {0, 1, 2, 3, 8, 9, 12, 13, 14, 15, 16, 17, 18, 19, 23}) rest[at] = 0;
        for (size_t at = 24; at < 24 + strlen(e.expression); ++at) rest[at] = 0;
        EXPECT_EQ(rest, std::string(1024, '\0'));
    }
    // The tag names form a binary tree: MYKEY first, DOWN to its left, BYAMT left of DOWN.
    EXPECT_EQ(mdx[544 + 16], 2);
    EXPECT_EQ(mdx[576 + 18], 1);
    EXPECT_EQ(mdx[576 + 16], 3);
    EXPECT_EQ(mdx[608 + 18], 2);
}

TEST(MdxFormat, OneTagIndexIsNamedDummyTag) {
    storage::MemEnv env;
    auto t =
        createIndexed(&env, "/d/Expenses.dbf", {field("MATTER", 'C', 50)}, {"RAW,F,F,recno()"});
    t.append({"b"});
    t.append({"a"});
    std::unique_ptr<storage::ProductionIndex> temp;
    env.setContents("/d/temp.mdx", "an old file of that name");
    std::vector<std::string> shown;
    storage::Status s = storage::ProductionIndex::indexOnOne(
        t.table.get(), "MATTER", "Temp", [&](const std::string& text) { shown.push_back(text); },
        &temp);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(temp->path(), "/d/temp.mdx");  // the existing name, whatever its case
    ASSERT_EQ(temp->tags().size(), 1u);
    EXPECT_EQ(temp->tags()[0].name, "dummy_tag");
    EXPECT_EQ(env.contents("/d/temp.mdx")[24], 0);  // not a production index
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Indexing /d/temp.mdx...");
    index_test::IndexedTable view{nullptr, std::move(temp)};
    const auto entries = view.entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], std::make_pair(std::string("a"), 2u));
    view.index.reset();
    // A name with a path goes there.
    s = storage::ProductionIndex::indexOnOne(t.table.get(), "matter", "/e/other", nullptr, &temp);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(temp->path(), "/e/other.MDX");
}

// The character tag TEST1 of a file written by dBASE IV.
TEST(MdxFormat, ReadsTheTagsOfADbaseSample) {
    const std::filesystem::path dir =
        std::filesystem::path(NETWORTH_SHARED_DIR) / "fixtures" / "dbase-iv-sample";
    if (!std::filesystem::exists(dir / "TEST.MDX")) GTEST_SKIP() << "no sample at " << dir;
    std::ifstream in(dir / "TEST.MDX", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    storage::MemEnv env;
    env.setContents("/s/TEST.MDX", bytes);
    std::unique_ptr<storage::File> file;
    ASSERT_TRUE(
        env.openFile("/s/TEST.MDX", storage::Access::ReadOnly, storage::Share::Shared, &file).ok());
    std::unique_ptr<storage::MdxFile> mdx;
    storage::Status s = storage::MdxFile::open(std::move(file), &mdx);
    ASSERT_TRUE(s.ok()) << s.message();
    ASSERT_EQ(mdx->tags().size(), 2u);
    EXPECT_EQ(mdx->tags()[0].name, "TEST1");
    EXPECT_EQ(mdx->tags()[1].kind, storage::KeyKind::Bcd);
    EXPECT_TRUE(storage::checkAllTags(mdx.get(), 3).ok());

    storage::TagCursor cursor(mdx.get(), 0);
    std::vector<std::pair<std::string, uint32_t>> seen;
    bool found = false;
    for (s = cursor.first(&found); s.ok() && found; s = cursor.next(&found))
        seen.emplace_back(std::string(reinterpret_cast<const char*>(cursor.key()), 5),
                          cursor.recno());
    ASSERT_TRUE(s.ok());
    const std::vector<std::pair<std::string, uint32_t>> expected = {
        {"0test", 3}, {"test1", 1}, {"test2", 2}};
    EXPECT_EQ(seen, expected);

    storage::TagCursor numbers(mdx.get(), 1);
    std::vector<double> values;
    for (s = numbers.last(&found); s.ok() && found; s = numbers.prior(&found))
        values.push_back(storage::decodeBcdKey(numbers.key()));
    EXPECT_EQ(values, (std::vector<double>{20, 15, 10}));
}

}  // namespace
