// The Child Support Standards Act: the percentages, the cap and each choice above it, the
// pro-rata share and both low-income rules. Amounts worked by hand.

#include "guidelines/child_support.h"

#include <gtest/gtest.h>

namespace guidelines {
namespace {

ChildSupportAmounts childSupport(int children, Cents noncustodial, Cents custodial,
                                 AboveCap aboveCap = {},
                                 std::optional<Cents> cap = dollars(183000)) {
    ChildSupportInputs in;
    in.children = children;
    in.noncustodialIncome = noncustodial;
    in.custodialIncome = custodial;
    in.cap = cap;
    in.aboveCap = aboveCap;
    in.povertyGuideline = dollars(15650);
    in.selfSupportReserve = dollars(21128);
    return computeChildSupport(in);
}

TEST(ChildSupport, EachNumberOfChildren) {
    // Combined 100,000; the non-custodial parent has 60% of it.
    struct Case {
        int children;
        int percentage;
        Cents basic, annual, monthly, weekly;
    };
    const Case cases[] = {
        {1, 17, dollars(17000), dollars(10200), dollars(850), 19615},  // 196.1538
        {2, 25, dollars(25000), dollars(15000), dollars(1250), 28846},
        {3, 29, dollars(29000), dollars(17400), dollars(1450), 33462},
        {4, 31, dollars(31000), dollars(18600), dollars(1550), 35769},
        {5, 35, dollars(35000), dollars(21000), dollars(1750), 40385},
        {7, 35, dollars(35000), dollars(21000), dollars(1750), 40385},
    };
    for (const Case& c : cases) {
        const ChildSupportAmounts cs = childSupport(c.children, dollars(60000), dollars(40000));
        EXPECT_EQ(cs.combinedIncome, dollars(100000));
        EXPECT_EQ(cs.percentage, c.percentage) << c.children;
        EXPECT_EQ(cs.basicObligation, c.basic) << c.children;
        EXPECT_DOUBLE_EQ(cs.noncustodialShare, 0.6);
        EXPECT_EQ(cs.annual, c.annual) << c.children;
        EXPECT_EQ(cs.monthly, c.monthly) << c.children;
        EXPECT_EQ(cs.weekly, c.weekly) << c.children;
        EXPECT_EQ(cs.lowIncome, LowIncomeRule::None);
    }
}

TEST(ChildSupport, TheShareIsAppliedUnrounded) {
    // 17% of 99,999 = 16,999.83; × 55,555 / 99,999 = 9,444.3500..., not 16,999.83 × 0.5556.
    const ChildSupportAmounts cs = childSupport(1, dollars(55555), dollars(44444));
    EXPECT_EQ(cs.basicObligation, 1699983);
    EXPECT_EQ(cs.proRataShare, 944435);
    EXPECT_EQ(cs.annual, 944435);
    EXPECT_EQ(cs.monthly, 78703);  // 787.029
}

TEST(ChildSupport, CombinedIncomeAboveTheCap) {
    // Combined 250,000 over a cap of 183,000; the non-custodial parent has 60%.
    ChildSupportAmounts cs = childSupport(1, dollars(150000), dollars(100000));
    EXPECT_EQ(cs.incomeUpToCap, dollars(183000));
    EXPECT_EQ(cs.incomeAboveCap, dollars(67000));
    EXPECT_EQ(cs.countedAboveCap, 0);
    EXPECT_EQ(cs.basicObligation, dollars(31110));
    EXPECT_EQ(cs.annual, dollars(18666));
    EXPECT_EQ(cs.monthly, dollars(1555) + 50);

    cs = childSupport(1, dollars(150000), dollars(100000), {AboveCap::Kind::Percentage, 0});
    EXPECT_EQ(cs.countedAboveCap, dollars(67000));
    EXPECT_EQ(cs.basicObligation, dollars(42500));
    EXPECT_EQ(cs.annual, dollars(25500));
    EXPECT_EQ(cs.monthly, dollars(2125));

    cs = childSupport(1, dollars(150000), dollars(100000), {AboveCap::Kind::UpTo, dollars(200000)});
    EXPECT_EQ(cs.countedAboveCap, dollars(17000));
    EXPECT_EQ(cs.incomeCounted, dollars(200000));
    EXPECT_EQ(cs.basicObligation, dollars(34000));
    EXPECT_EQ(cs.annual, dollars(20400));
    EXPECT_EQ(cs.monthly, dollars(1700));

    // An amount above the combined income counts all of it.
    cs = childSupport(1, dollars(150000), dollars(100000), {AboveCap::Kind::UpTo, dollars(300000)});
    EXPECT_EQ(cs.countedAboveCap, dollars(67000));
    EXPECT_EQ(cs.annual, dollars(25500));

    // No cap: the percentage on everything.
    cs = childSupport(1, dollars(150000), dollars(100000), {}, std::nullopt);
    EXPECT_EQ(cs.incomeUpToCap, dollars(250000));
    EXPECT_EQ(cs.incomeAboveCap, 0);
    EXPECT_EQ(cs.annual, dollars(25500));
}

TEST(ChildSupport, BelowThePovertyGuidelineTheObligationIsTwentyFiveDollarsAMonth) {
    // 17% of 46,000 = 7,820; 16,000 / 46,000 of it = 2,720 leaves 13,280, below 15,650.
    const ChildSupportAmounts cs = childSupport(1, dollars(16000), dollars(30000));
    EXPECT_EQ(cs.proRataShare, dollars(2720));
    EXPECT_EQ(cs.lowIncome, LowIncomeRule::Poverty);
    EXPECT_EQ(cs.annual, dollars(300));
    EXPECT_EQ(cs.monthly, dollars(25));
    // A parent without income pays the same.
    EXPECT_EQ(childSupport(2, 0, dollars(30000)).annual, dollars(300));
}

TEST(ChildSupport, BelowTheSelfSupportReserveTheIncomeLessTheReserve) {
    // 17% of 54,000 = 9,180; 24/54 of it = 4,080 leaves 19,920: above the poverty guideline,
    // below the reserve. 24,000 - 21,128 = 2,872 is more than 600.
    ChildSupportAmounts cs = childSupport(1, dollars(24000), dollars(30000));
    EXPECT_EQ(cs.proRataShare, dollars(4080));
    EXPECT_EQ(cs.lowIncome, LowIncomeRule::SelfSupportReserve);
    EXPECT_EQ(cs.annual, dollars(2872));
    EXPECT_EQ(cs.monthly, 23933);
    // 17% of 51,500 = 8,755; 215/515 of it = 3,655 leaves 17,845. 21,500 - 21,128 = 372 is
    // less than $50 a month.
    cs = childSupport(1, dollars(21500), dollars(30000));
    EXPECT_EQ(cs.proRataShare, dollars(3655));
    EXPECT_EQ(cs.lowIncome, LowIncomeRule::SelfSupportReserve);
    EXPECT_EQ(cs.annual, dollars(600));
    EXPECT_EQ(cs.monthly, dollars(50));
    // Left with exactly the reserve: no rule. A custodial parent without income: the
    // non-custodial parent owes 17% of 25,455.42 = 4,327.42, leaving 21,128.00.
    cs = childSupport(1, 2545542, 0);
    EXPECT_EQ(cs.proRataShare, 432742);
    EXPECT_EQ(cs.lowIncome, LowIncomeRule::None);
    EXPECT_EQ(cs.annual, 432742);
    // Left with exactly the poverty guideline: 17% of 18,855.42 = 3,205.42 leaves 15,650.00,
    // not below it, so the reserve rule: $50 a month.
    cs = childSupport(1, 1885542, 0);
    EXPECT_EQ(cs.proRataShare, 320542);
    EXPECT_EQ(cs.lowIncome, LowIncomeRule::SelfSupportReserve);
    EXPECT_EQ(cs.annual, dollars(600));
}

}  // namespace
}  // namespace guidelines
