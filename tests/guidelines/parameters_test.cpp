// The dated parameter file: the set in force on a date, values carried forward, the notes, and
// the mistakes an office can make in editing it.

#include "guidelines/parameters.h"

#include <gtest/gtest.h>

#include "guidelines_test_support.h"

namespace guidelines {
namespace {

ParameterSet inForce(const ParameterTable& table, const char* date) {
    Outcome<ParameterSet> set = table.inForce(*CivilDate::parse(date));
    if (const Problem* problem = std::get_if<Problem>(&set)) {
        ADD_FAILURE() << date << ": " << problem->text;
        return {};
    }
    return std::get<ParameterSet>(set);
}

TEST(Parameters, TheShippedFileOnEachSideOfAChange) {
    const ParameterTable& table = shippedParameters();
    ParameterSet set = inForce(table, "2024-02-29");
    EXPECT_EQ(set.effective, (CivilDate{2022, 3, 1}));
    EXPECT_EQ(set.cssaCap.amount, dollars(163000));
    EXPECT_EQ(set.maintenanceCap.amount, dollars(203000));
    // The poverty guideline of 2016, carried forward for want of later values in the file.
    EXPECT_EQ(set.povertyGuideline.amount, dollars(11880));
    EXPECT_EQ(set.povertyGuideline.effective, (CivilDate{2016, 3, 1}));
    EXPECT_EQ(set.selfSupportReserve.amount, dollars(16038));

    set = inForce(table, "2024-03-01");
    EXPECT_EQ(set.effective, (CivilDate{2024, 3, 1}));
    EXPECT_EQ(set.cssaCap.amount, dollars(183000));
    EXPECT_EQ(set.maintenanceCap.amount, dollars(228000));
    EXPECT_EQ(set.povertyGuideline.amount, dollars(15060));
    EXPECT_EQ(set.selfSupportReserve.amount, dollars(20331));

    set = inForce(table, "2026-02-28");
    EXPECT_EQ(set.effective, (CivilDate{2025, 3, 1}));
    EXPECT_EQ(set.cssaCap.amount, dollars(183000));
    EXPECT_EQ(set.cssaCap.effective, (CivilDate{2024, 3, 1}));
    EXPECT_EQ(set.selfSupportReserve.amount, dollars(21128));
    EXPECT_TRUE(set.notes.empty());

    set = inForce(table, "2030-01-01");
    EXPECT_EQ(set.effective, (CivilDate{2026, 3, 1}));
    EXPECT_EQ(set.cssaCap.amount, dollars(193000));
    EXPECT_EQ(set.maintenanceCap.amount, dollars(241000));
    EXPECT_EQ(set.povertyGuideline.amount, dollars(15960));
    EXPECT_EQ(set.selfSupportReserve.amount, dollars(21546));
    ASSERT_EQ(set.notes.size(), 1u);  // the reserve not yet seen as published
    EXPECT_NE(set.notes[0].find("21,546"), std::string::npos) << set.notes[0];
    EXPECT_EQ(set.source, "parameters.ini");
}

TEST(Parameters, ADateBeforeAValueIsGivenIsRefused) {
    const ParameterTable& table = shippedParameters();
    Outcome<ParameterSet> set = table.inForce({2016, 1, 30});
    ASSERT_TRUE(std::holds_alternative<Problem>(set));
    EXPECT_EQ(std::get<Problem>(set).field, "as_of");
    EXPECT_EQ(std::get<Problem>(set).text,
              "2016-01-30 is before the first parameter set (2016-01-31, parameters.ini)");
    // The caps are in force from 2016-01-31, the poverty guideline only from 2016-03-01.
    set = table.inForce({2016, 2, 15});
    ASSERT_TRUE(std::holds_alternative<Problem>(set));
    EXPECT_EQ(std::get<Problem>(set).text,
              "no poverty guideline is in force on 2016-02-15 (the first takes effect "
              "2016-03-01) in parameters.ini");
}

TEST(Parameters, AnOfficeAddsASectionForTheNextValues) {
    const ParameterTable table = parsedParameters(
        "; an office's file\n"
        "[2028-03-01]\r\n"
        "cssa_cap = 205,000\n"
        "note = Taken from the chart\n"
        "note = of 2028.\n"
        "\n"
        "[2024-03-01]\n"
        "cssa_cap = 183000\n"
        "maintenance_cap = 228000.00\n"
        "poverty_guideline = 15060\n"
        "self_support_reserve = 20331\n"
        "# the 2025 values\n"
        "[2025-03-01]\n"
        "poverty_guideline=15650\n"
        "self_support_reserve=21128\n",
        "office.ini");
    const ParameterSet set = inForce(table, "2028-03-01");
    EXPECT_EQ(set.effective, (CivilDate{2028, 3, 1}));
    EXPECT_EQ(set.cssaCap.amount, dollars(205000));
    EXPECT_EQ(set.maintenanceCap.amount, dollars(228000));
    EXPECT_EQ(set.maintenanceCap.effective, (CivilDate{2024, 3, 1}));
    EXPECT_EQ(set.selfSupportReserve.amount, dollars(21128));
    ASSERT_EQ(set.notes.size(), 1u);
    EXPECT_EQ(set.notes[0], "Taken from the chart of 2028.");
    EXPECT_TRUE(inForce(table, "2028-02-29").notes.empty());
}

TEST(Parameters, MistakesNameTheirLine) {
    const struct {
        const char* text;
        const char* problem;
    } cases[] = {
        {"", "f.ini: no [date] section"},
        {"; nothing\n", "f.ini: no [date] section"},
        {"cssa_cap = 1\n", "f.ini: line 1: a value before the first [date] section"},
        {"[2024-3-1]\n",
         "f.ini: line 1: a section is the date its values take effect, "
         "[YYYY-MM-DD]"},
        {"[2024-03-01\n",
         "f.ini: line 1: a section is the date its values take effect, "
         "[YYYY-MM-DD]"},
        {"[2024-03-01]\n\n[2024-03-01]\n", "f.ini: line 3: a second section 2024-03-01"},
        {"[2024-03-01]\ncssa cap = 1\n", "f.ini: line 2: unknown key \"cssa cap\""},
        {"[2024-03-01]\ncssa_cap\n", "f.ini: line 2: expected key = value"},
        {"[2024-03-01]\ncssa_cap = $183,000\n",
         "f.ini: line 2: cssa_cap must be an amount in dollars, such as 183000"},
        {"[2024-03-01]\nself_support_reserve = 0\n",
         "f.ini: line 2: self_support_reserve must be an amount in dollars, such as 183000"},
    };
    for (const auto& c : cases) {
        const Outcome<ParameterTable> parsed = ParameterTable::parse(c.text, "f.ini");
        ASSERT_TRUE(std::holds_alternative<Problem>(parsed)) << c.text;
        EXPECT_EQ(std::get<Problem>(parsed).text, c.problem);
    }
}

}  // namespace
}  // namespace guidelines
