// Cents arithmetic: the rounding every stated amount goes through, and the decimal forms.

#include "guidelines/money.h"

#include <gtest/gtest.h>

#include "guidelines/civil_date.h"

namespace guidelines {
namespace {

TEST(Money, HalfACentRoundsAwayFromZero) {
    EXPECT_EQ(roundDiv(5, 10), 1);
    EXPECT_EQ(roundDiv(4, 10), 0);
    EXPECT_EQ(roundDiv(-5, 10), -1);
    EXPECT_EQ(roundDiv(-4, 10), 0);
    EXPECT_EQ(roundDiv(26, 52), 1);  // a weekly half cent
    EXPECT_EQ(roundDiv(25, 52), 0);
    EXPECT_EQ(percentOf(10000005, 30), 3000002);  // 30% of 100,000.05 is 30,000.015
    EXPECT_EQ(percentOf(-10000005, 30), -3000002);
}

TEST(Money, ProductsOfTwoLargeAmountsDoNotOverflow) {
    // A share of a billion dollars by incomes of a billion dollars each.
    const Cents billion = dollars(1'000'000'000);
    EXPECT_EQ(shareOf(billion, billion, 2 * billion), dollars(500'000'000));
    EXPECT_EQ(shareOf(dollars(100), 1, 3), 3333);
    EXPECT_EQ(shareOf(dollars(100), 5, 0), 0);
}

TEST(Money, DecimalFormsReadAndWrite) {
    EXPECT_EQ(formatDecimal(0), "0.00");
    EXPECT_EQ(formatDecimal(5), "0.05");
    EXPECT_EQ(formatDecimal(-5), "-0.05");
    EXPECT_EQ(formatDecimal(18300050), "183000.50");
    EXPECT_EQ(parseDecimal("183000"), 18300000);
    EXPECT_EQ(parseDecimal("183,000.5"), 18300050);
    EXPECT_EQ(parseDecimal("0.05"), 5);
    for (const char* bad : {"", "-1", "1.234", "1.", ".5", "12a", "+3", ",100"})
        EXPECT_FALSE(parseDecimal(bad).has_value()) << bad;
}

TEST(CivilDate, ReadsRealDatesOnly) {
    EXPECT_EQ(CivilDate::parse("2024-02-29"), (CivilDate{2024, 2, 29}));
    EXPECT_EQ(CivilDate::parse("2000-02-29"), (CivilDate{2000, 2, 29}));
    for (const char* bad : {"2023-02-29", "1900-02-29", "2024-13-01", "2024-04-31", "2024-3-01",
                            "24-03-01", "2024/03/01", "2024-03-01x", ""})
        EXPECT_FALSE(CivilDate::parse(bad).has_value()) << bad;
    EXPECT_EQ((CivilDate{2016, 1, 5}).iso(), "2016-01-05");
}

TEST(CivilDate, WholeMonthsCountOnlyCompletedMonths) {
    const CivilDate married{2005, 6, 15};
    EXPECT_EQ(wholeMonthsBetween(married, {2025, 6, 14}), 239);
    EXPECT_EQ(wholeMonthsBetween(married, {2025, 6, 15}), 240);
    EXPECT_EQ(wholeMonthsBetween({2010, 1, 31}, {2010, 2, 28}), 0);
    EXPECT_EQ(wholeMonthsBetween({2010, 1, 31}, {2010, 3, 31}), 2);
    EXPECT_EQ(wholeMonthsBetween({2025, 6, 14}, married), -239);
}

}  // namespace
}  // namespace guidelines
