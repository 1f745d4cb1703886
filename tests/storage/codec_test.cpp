// Field encodings and the code page 437 conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "storage/codepage.h"
#include "storage/record.h"

using namespace storage;

namespace {

// A record holding one field at offset 1, after the deletion flag.
struct OneField {
    FieldDescriptor field;
    std::vector<uint8_t> record;
    OneField(char type, int width, int decimals = 0)
        : field{"F", type, static_cast<uint8_t>(width), static_cast<uint8_t>(decimals), 1},
          record(width + 2, ' ') {
        record.back() = '#';  // a neighbour that no write may touch
    }
    std::string stored() const { return std::string(record.begin() + 1, record.end() - 1); }
    void store(const std::string& bytes) {
        std::copy(bytes.begin(), bytes.end(), record.begin() + 1);
    }
    bool neighbourIntact() const { return record.back() == '#' && record.front() == ' '; }
};

std::string toOem(const std::string& utf8) {
    std::string out;
    utf8ToOem(utf8, &out);
    return out;
}

std::string toUtf8(const std::string& oem) {
    std::string out;
    oemToUtf8(reinterpret_cast<const uint8_t*>(oem.data()), oem.size(), &out);
    return out;
}

}  // namespace

TEST(CodePage, EveryByteRoundTripsAndKnownCharactersMapAsInCodePage437) {
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 0x14 || byte == 0x15) continue;
        const std::string oem(1, static_cast<char>(byte));
        EXPECT_EQ(toOem(toUtf8(oem)), oem) << "byte " << byte;
    }
    EXPECT_EQ(toOem("Café Ñ ½ ü Ç ß ░"), "Caf\x82 \xA5 \xAB \x81 \x80 \xE1 \xB0");
    EXPECT_EQ(toUtf8("\x82\xFF\x9E"), "é\u00A0₧");
    // 0x14 and 0x15 are the pilcrow and the section sign; other control bytes stay themselves.
    EXPECT_EQ(toUtf8("\x14\x15\x01\x7F"), "¶§\x01\x7F");
    EXPECT_EQ(toOem("¶§"), "\x14\x15");
}

TEST(CodePage, CharactersWithoutAByteAndMalformedUtf8BecomeQuestionMarks) {
    EXPECT_EQ(toOem("€ 😀 中"), "? ? ?");
    EXPECT_EQ(toOem(std::string("a\xC3") + "b\xFF\x80"), "a?b??");
    EXPECT_EQ(toOem("\xED\xA0\x80"), "???");  // an encoded surrogate
    EXPECT_EQ(toOem("\xC0\xAF"), "??");       // an overlong form
    // The control characters 0x14 and 0x15 have no byte of their own here.
    EXPECT_EQ(toOem("\x14"), "?");
}

TEST(FieldCodec, NumbersAreRightAlignedWithTheirDecimalsOrStarFilled) {
    OneField n('N', 10, 2);
    EXPECT_TRUE(setNumber(n.field, n.record.data(), 1234.5));
    EXPECT_EQ(n.stored(), "   1234.50");
    EXPECT_DOUBLE_EQ(getNumber(n.field, n.record.data()), 1234.5);
    EXPECT_FALSE(setNumber(n.field, n.record.data(), 123456789.99));
    EXPECT_EQ(n.stored(), "**********");
    EXPECT_EQ(getNumber(n.field, n.record.data()), 0);
    EXPECT_TRUE(setNumber(n.field, n.record.data(), -0.001));
    EXPECT_EQ(n.stored(), "      0.00");
    EXPECT_TRUE(setNumber(n.field, n.record.data(), -12.5));
    EXPECT_EQ(n.stored(), "    -12.50");
    EXPECT_FALSE(setNumber(n.field, n.record.data(), std::nan("")));
    EXPECT_EQ(n.stored(), "**********");
    EXPECT_TRUE(n.neighbourIntact());

    OneField i('N', 5);
    EXPECT_TRUE(setInteger(i.field, i.record.data(), 42));
    EXPECT_EQ(i.stored(), "   42");
    EXPECT_EQ(getInteger(i.field, i.record.data()), 42);
    EXPECT_FALSE(setInteger(i.field, i.record.data(), 123456));
    EXPECT_EQ(i.stored(), "*****");
    EXPECT_TRUE(setInteger(i.field, i.record.data(), -9999));
    EXPECT_EQ(getInteger(i.field, i.record.data()), -9999);
    EXPECT_TRUE(setNumber(i.field, i.record.data(), 2.6));
    EXPECT_EQ(i.stored(), "    3");
    EXPECT_TRUE(i.neighbourIntact());
}

TEST(FieldCodec, BlankAndForeignNumbersRead) {
    OneField n('N', 8, 2);
    EXPECT_EQ(getNumber(n.field, n.record.data()), 0);
    EXPECT_EQ(getInteger(n.field, n.record.data()), 0);
    n.store("   +1.25");
    EXPECT_DOUBLE_EQ(getNumber(n.field, n.record.data()), 1.25);
    n.store("  12.5  ");
    EXPECT_DOUBLE_EQ(getNumber(n.field, n.record.data()), 12.5);
    EXPECT_EQ(getInteger(n.field, n.record.data()), 13);
}

TEST(FieldCodec, DatesAreEightDigitsOrBlanks) {
    OneField d('D', 8);
    EXPECT_TRUE(setDate(d.field, d.record.data(), Date{2004, 3, 7}));
    EXPECT_EQ(d.stored(), "20040307");
    EXPECT_EQ(getDate(d.field, d.record.data()), (Date{2004, 3, 7}));
    EXPECT_TRUE(setDate(d.field, d.record.data(), std::nullopt));
    EXPECT_EQ(d.stored(), "        ");
    EXPECT_FALSE(getDate(d.field, d.record.data()).has_value());

    // Impossible dates are refused and leave the field as it was.
    EXPECT_TRUE(setDate(d.field, d.record.data(), Date{2000, 2, 29}));
    EXPECT_FALSE(setDate(d.field, d.record.data(), Date{2023, 2, 29}));
    EXPECT_FALSE(setDate(d.field, d.record.data(), Date{10000, 1, 1}));
    EXPECT_FALSE(setDate(d.field, d.record.data(), Date{2004, 13, 1}));
    EXPECT_EQ(d.stored(), "20000229");
    for (const char* garbage : {"2004-3-7", "20041301", "00000000", "2004030 "}) {
        d.store(garbage);
        EXPECT_FALSE(getDate(d.field, d.record.data()).has_value()) << garbage;
    }
    EXPECT_TRUE(d.neighbourIntact());
}

TEST(FieldCodec, TextIsPaddedCutAndReadWithoutTrailingBlanks) {
    OneField c('C', 6);
    setText(c.field, c.record.data(), "Café");
    EXPECT_EQ(c.stored(), "Caf\x82  ");
    EXPECT_EQ(getText(c.field, c.record.data()), "Café");
    setText(c.field, c.record.data(), "Smith v. Smith");
    EXPECT_EQ(c.stored(), "Smith ");
    EXPECT_EQ(getText(c.field, c.record.data()), "Smith");
    // Characters are cut whole: é is one stored byte.
    setText(c.field, c.record.data(), "éééééééé");
    EXPECT_EQ(getText(c.field, c.record.data()), "éééééé");
    c.store(std::string("ab \t\0\x1F", 6));
    EXPECT_EQ(getText(c.field, c.record.data()), "ab");
    c.store("  ab  ");
    EXPECT_EQ(getText(c.field, c.record.data()), "  ab");
    EXPECT_TRUE(textEquals(c.field, c.record.data(), "  ab"));
    EXPECT_FALSE(textEquals(c.field, c.record.data(), "  ab "));
    EXPECT_FALSE(textEquals(c.field, c.record.data(), "  AB"));
    // 0x14 and 0x15 are the pilcrow and the section sign, not control characters to trim.
    setText(c.field, c.record.data(), "DRL §");
    EXPECT_EQ(c.stored(), "DRL \x15 ");
    EXPECT_EQ(getText(c.field, c.record.data()), "DRL §");
    EXPECT_TRUE(textEquals(c.field, c.record.data(), "DRL \x15"));
    setText(c.field, c.record.data(), "¶");
    EXPECT_FALSE(isBlank(c.field, c.record.data()));
    EXPECT_EQ(getText(c.field, c.record.data()), "¶");
    EXPECT_TRUE(c.neighbourIntact());
}

TEST(FieldCodec, LogicalsAndMemoPointers) {
    OneField l('L', 1);
    EXPECT_FALSE(getBool(l.field, l.record.data()));
    setBool(l.field, l.record.data(), true);
    EXPECT_EQ(l.stored(), "T");
    EXPECT_TRUE(getBool(l.field, l.record.data()));
    setBool(l.field, l.record.data(), false);
    EXPECT_EQ(l.stored(), "F");
    l.store("y");
    EXPECT_TRUE(getBool(l.field, l.record.data()));

    OneField m('M', 10);
    EXPECT_EQ(getMemoBlock(m.field, m.record.data()), 0u);
    setMemoBlock(m.field, m.record.data(), 17);
    EXPECT_EQ(m.stored(), "        17");
    EXPECT_EQ(getMemoBlock(m.field, m.record.data()), 17u);
    m.store("0000000005");
    EXPECT_EQ(getMemoBlock(m.field, m.record.data()), 5u);
    m.store("  12x     ");
    EXPECT_EQ(getMemoBlock(m.field, m.record.data()), UINT32_MAX);
    m.store("9999999999");
    EXPECT_EQ(getMemoBlock(m.field, m.record.data()), UINT32_MAX);
    setMemoBlock(m.field, m.record.data(), 0);
    EXPECT_TRUE(isBlank(m.field, m.record.data()));
}
