// The maintenance guideline: both formulas, the 40% test, the cap, the floor at zero, the
// self-support reserve, and the advisory duration. Amounts worked by hand.

#include "guidelines/maintenance.h"

#include <gtest/gtest.h>

namespace guidelines {
namespace {

constexpr Cents kReserve2025 = dollars(21128);

MaintenanceAmounts maintenance(Cents payor, Cents payee, bool withChildSupport,
                               std::optional<Cents> cap = dollars(228000)) {
    MaintenanceInputs in;
    in.payorIncome = payor;
    in.payeeIncome = payee;
    in.cap = cap;
    in.withChildSupport = withChildSupport;
    in.selfSupportReserve = kReserve2025;
    return computeMaintenance(in);
}

TEST(Maintenance, WithoutChildSupportTheFirstTestCanWin) {
    // (i) 30% of 100,000 - 20% of 10,000 = 28,000; (ii) 40% of 110,000 - 10,000 = 34,000.
    const MaintenanceAmounts m = maintenance(dollars(100000), dollars(10000), false);
    EXPECT_EQ(m.firstTest, dollars(28000));
    EXPECT_EQ(m.fortyPercentTest, dollars(34000));
    EXPECT_EQ(m.annual, dollars(28000));
    EXPECT_EQ(m.monthly, 233333);  // 2,333.333...
    EXPECT_EQ(m.weekly, 53846);    // 538.4615...
    EXPECT_EQ(m.reserve, ReserveRule::NotReached);
}

TEST(Maintenance, WithoutChildSupportTheFortyPercentTestWins) {
    // (i) 30,000 - 6,000 = 24,000; (ii) 40% of 130,000 - 30,000 = 22,000.
    const MaintenanceAmounts m = maintenance(dollars(100000), dollars(30000), false);
    EXPECT_EQ(m.firstTest, dollars(24000));
    EXPECT_EQ(m.fortyPercentTest, dollars(22000));
    EXPECT_EQ(m.annual, dollars(22000));
    EXPECT_EQ(m.monthly, 183333);
    EXPECT_EQ(m.weekly, 42308);  // 423.0769...
}

TEST(Maintenance, WithChildSupportUsesTwentyAndTwentyFivePercent) {
    // (i) 20% of 100,000 - 25% of 10,000 = 17,500; (ii) 34,000.
    MaintenanceAmounts m = maintenance(dollars(100000), dollars(10000), true);
    EXPECT_EQ(m.payorPercent, 20);
    EXPECT_EQ(m.payeePercent, 25);
    EXPECT_EQ(m.firstTest, dollars(17500));
    EXPECT_EQ(m.annual, dollars(17500));
    EXPECT_EQ(m.monthly, 145833);
    EXPECT_EQ(m.weekly, 33654);  // 336.538...

    // (i) 20,000 - 14,500 = 5,500; (ii) 40% of 158,000 - 58,000 = 5,200: the 40% test wins.
    m = maintenance(dollars(100000), dollars(58000), true);
    EXPECT_EQ(m.firstTest, dollars(5500));
    EXPECT_EQ(m.fortyPercentTest, dollars(5200));
    EXPECT_EQ(m.annual, dollars(5200));
}

TEST(Maintenance, APayeeAtTwoThirdsOfThePayorGetsNothing) {
    // 40% of 150,000 - 60,000 = 0.
    MaintenanceAmounts m = maintenance(dollars(90000), dollars(60000), false);
    EXPECT_EQ(m.fortyPercentTest, 0);
    EXPECT_EQ(m.annual, 0);
    // A dollar less: 40% of 149,999 - 59,999 = 0.60; 0.05 a month, 0.01 a week.
    m = maintenance(dollars(90000), dollars(59999), false);
    EXPECT_EQ(m.annual, 60);
    EXPECT_EQ(m.monthly, 5);
    EXPECT_EQ(m.weekly, 1);
    // More than two thirds: the lower test is negative, the amount zero.
    m = maintenance(dollars(90000), dollars(70000), false);
    EXPECT_EQ(m.fortyPercentTest, dollars(-6000));
    EXPECT_EQ(m.lowerOfTests, dollars(-6000));
    EXPECT_EQ(m.guideline, 0);
    EXPECT_EQ(m.annual, 0);
}

TEST(Maintenance, HalfACentRoundsUp) {
    // 30% of 100,000.05 = 30,000.015.
    const MaintenanceAmounts m = maintenance(10000005, 0, false);
    EXPECT_EQ(m.firstTest, 3000002);
    EXPECT_EQ(m.annual, 3000002);
    EXPECT_EQ(m.monthly, 250000);  // 2,500.0017
    EXPECT_EQ(m.weekly, 57692);    // 576.9235
}

TEST(Maintenance, ThePayorsIncomeCountsUpToTheCap) {
    // Capped at 228,000: (i) 68,400 - 10,000 = 58,400; (ii) 40% of 278,000 - 50,000 = 61,200.
    MaintenanceAmounts m = maintenance(dollars(300000), dollars(50000), false);
    EXPECT_EQ(m.cappedIncome, dollars(228000));
    EXPECT_EQ(m.incomeAboveCap, dollars(72000));
    EXPECT_EQ(m.firstTest, dollars(58400));
    EXPECT_EQ(m.fortyPercentTest, dollars(61200));
    EXPECT_EQ(m.annual, dollars(58400));
    EXPECT_EQ(m.monthly, 486667);
    EXPECT_EQ(m.weekly, 112308);
    // With child support: 45,600 - 12,500 = 33,100.
    m = maintenance(dollars(300000), dollars(50000), true);
    EXPECT_EQ(m.annual, dollars(33100));
    // No cap: (i) 90,000 - 10,000 = 80,000; (ii) 140,000 - 50,000 = 90,000.
    m = maintenance(dollars(300000), dollars(50000), false, std::nullopt);
    EXPECT_EQ(m.cappedIncome, dollars(300000));
    EXPECT_EQ(m.incomeAboveCap, 0);
    EXPECT_EQ(m.annual, dollars(80000));
}

TEST(Maintenance, TheSelfSupportReserveLimitsTheAmount) {
    // (i) 9,000 would leave 21,000, below the reserve of 21,128: 30,000 - 21,128 = 8,872.
    MaintenanceAmounts m = maintenance(dollars(30000), 0, false);
    EXPECT_EQ(m.guideline, dollars(9000));
    EXPECT_EQ(m.reserve, ReserveRule::Reduced);
    EXPECT_EQ(m.annual, dollars(8872));
    EXPECT_EQ(m.monthly, 73933);
    EXPECT_EQ(m.weekly, 17062);
    // (i) 20% of 25,000 - 25% of 4,512 = 3,872 leaves exactly the reserve: not reduced.
    m = maintenance(dollars(25000), dollars(4512), true);
    EXPECT_EQ(m.reserve, ReserveRule::NotReached);
    EXPECT_EQ(m.annual, dollars(3872));
    // A cent less: 3,872.00 would leave 21,127.99, so 24,999.99 - 21,128 = 3,871.99.
    m = maintenance(dollars(25000) - 1, dollars(4512), true);
    EXPECT_EQ(m.guideline, dollars(3872));
    EXPECT_EQ(m.reserve, ReserveRule::Reduced);
    EXPECT_EQ(m.annual, 387199);
    // A payor below the reserve pays nothing.
    m = maintenance(dollars(20000), 0, false);
    EXPECT_EQ(m.guideline, dollars(6000));
    EXPECT_EQ(m.reserve, ReserveRule::IncomeBelow);
    EXPECT_EQ(m.annual, 0);
    EXPECT_EQ(m.monthly, 0);
}

TEST(MaintenanceDuration, EachBandOfTheAdvisorySchedule) {
    struct Case {
        int months;
        int low, high;            // percent
        int lowYears, highYears;  // hundredths
    };
    const Case cases[] = {
        {0, 15, 30, 0, 0},        {120, 15, 30, 150, 300},  // 10 years: 1.50 to 3.00
        {125, 15, 30, 156, 313},                            // 18.75 and 37.5 months
        {180, 15, 30, 225, 450},                            // exactly 15 years
        {181, 30, 40, 453, 603},                            // 452.5 rounds up
        {239, 30, 40, 598, 797},  {240, 30, 40, 600, 800},  // exactly 20 years
        {241, 35, 50, 703, 1004},
    };
    for (const Case& c : cases) {
        const AdvisoryDuration d = advisoryDuration(c.months);
        EXPECT_EQ(d.lowPercent, c.low) << c.months;
        EXPECT_EQ(d.highPercent, c.high) << c.months;
        EXPECT_EQ(d.lowHundredths, c.lowYears) << c.months;
        EXPECT_EQ(d.highHundredths, c.highYears) << c.months;
    }
}

}  // namespace
}  // namespace guidelines
