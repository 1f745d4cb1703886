// AsStringEquals against AsString on stored values that trimming and the code page make tricky.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "storage/dataset.h"

namespace {

using storage::FieldText;

// A record of one C(6) field "MATTER" and one N(5) field "AMOUNT", set byte for byte.
class OneRecord : public storage::TDbfPrimDataset {
  public:
    OneRecord() : TDbfPrimDataset("one") {
        setFieldLayout({{"MATTER", 'C', 6, 0, 1}, {"AMOUNT", 'N', 5, 0, 7}}, 12);
        setState(storage::DataSetState::Browse);
    }
    void store(const std::string& matterBytes, const std::string& amountBytes = "     ") {
        std::vector<uint8_t> record(12, ' ');
        std::memcpy(record.data() + 1, matterBytes.data(), 6);
        std::memcpy(record.data() + 7, amountBytes.data(), 5);
        loadCurrent(1, record.data());
    }

  protected:
    void forEachVisible(const std::function<bool(uint32_t)>&) override {}
    std::string readMemo(const uint8_t*, int) override { return {}; }
    WriteOutcome writeCurrent(bool) override { return WriteOutcome::Refused; }
    bool isVisible(uint32_t, const uint8_t*) override { return true; }
    void restorePosition() override {}
};

TEST(FieldText, KeepsTheBytesOnlyWhenTheTextReadsBackTheSame) {
    EXPECT_EQ(*FieldText("Ab\xC3\xA9").oem(), "Ab\x82");
    EXPECT_EQ(*FieldText("\xC2\xB6\xC2\xA7").oem(), "\x14\x15");
    EXPECT_EQ(*FieldText("").oem(), "");
    EXPECT_FALSE(FieldText("\xE2\x82\xAC").oem());  // euro sign
    EXPECT_FALSE(FieldText("a?\x14").oem());        // a bare control byte 0x14
    EXPECT_FALSE(FieldText("\xFF").oem());          // malformed
}

TEST(FieldText, AsStringEqualsAgreesWithAsStringOnTrickyStoredValues) {
    OneRecord set;
    storage::TField& matter = set.FieldByName("matter");
    struct Case {
        std::string stored;   // the field's six bytes
        std::string readsAs;  // AsString, written out
    };
    const std::vector<Case> cases = {
        {"M1    ", "M1"},
        {"M1\t\r\n\0 ", "M1"},
        {std::string("M1\0\0\0\0", 6), "M1"},
        {"  M1  ", "  M1"},
        {"ABCDEF", "ABCDEF"},
        {"\x82t\xE9  ", "\xC3\xA9t\xCE\x98"},
        {"a\x14\x15   ", "a\xC2\xB6\xC2\xA7"},
        {"a\x15\x14\x01  ", "a\xC2\xA7\xC2\xB6"},
        {"      ", ""},
        {"\xFF\xFF\xFF\xFF\xFF\xFF", "\xC2\xA0\xC2\xA0\xC2\xA0\xC2\xA0\xC2\xA0\xC2\xA0"},
    };
    const std::vector<std::string> texts = {"M1",
                                            "m1",
                                            "M1 ",
                                            "  M1",
                                            "M",
                                            "ABCDEF",
                                            "ABCDEFG",
                                            "ABCDE",
                                            "",
                                            "\xC3\xA9t\xCE\x98",
                                            "\xC3\x89t\xCE\x98",
                                            "a\xC2\xB6\xC2\xA7",
                                            "a\xC2\xA7\xC2\xB6",
                                            "a\x14\x15",
                                            "\xC2\xA0\xC2\xA0\xC2\xA0\xC2\xA0\xC2\xA0\xC2\xA0",
                                            "M1\xE2\x82\xAC",
                                            "?"};
    for (const Case& c : cases) {
        set.store(c.stored);
        ASSERT_EQ(matter.AsString(), c.readsAs) << c.stored;
        int matches = 0;
        for (const std::string& text : texts) {
            const bool equal = matter.AsStringEquals(FieldText(text));
            EXPECT_EQ(equal, text == c.readsAs)
                << "stored '" << c.stored << "' text '" << text << "'";
            matches += equal;
        }
        EXPECT_EQ(matches, 1) << c.stored;
    }
}

TEST(FieldText, NumbersCompareAsTheirText) {
    OneRecord set;
    storage::TField& amount = set.FieldByName("AMOUNT");
    set.store("M1    ", "  1.5");
    EXPECT_TRUE(amount.AsStringEquals(FieldText("1.5")));
    EXPECT_FALSE(amount.AsStringEquals(FieldText("  1.5")));
    set.store("M1    ", "     ");
    EXPECT_TRUE(amount.AsStringEquals(FieldText("")));
}

}  // namespace
