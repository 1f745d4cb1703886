// A whole case: the order of the steps (maintenance, child support on the adjusted incomes,
// the add-ons), the formula chosen by custody, the parameters picked by date, the overrides,
// the refused cases and the printed lines.

#include "guidelines/worksheet.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "guidelines/worksheet_lines.h"
#include "guidelines_test_support.h"

namespace guidelines {
namespace {

GuidelineCase basicCase(const char* asOf, Cents a, Cents b) {
    GuidelineCase in;
    in.asOf = *CivilDate::parse(asOf);
    in.setIncome(Party::A, a);
    in.setIncome(Party::B, b);
    return in;
}

TEST(Worksheet, MaintenanceComesFirstAndAdjustsTheIncomesForChildSupport) {
    GuidelineCase in = basicCase("2025-06-01", dollars(100000), dollars(10000));
    in.maintenance = MaintenanceKind::Temporary;
    in.children = 1;
    in.custodial = Party::B;
    in.addOns.childCare = dollars(10000);
    const Worksheet sheet = computed(in);

    // A pays maintenance as the non-custodial parent: (i) 20,000 - 2,500 = 17,500.
    ASSERT_TRUE(sheet.maintenance);
    EXPECT_EQ(sheet.maintenance->payor, Party::A);
    EXPECT_TRUE(sheet.maintenance->withChildSupport);
    EXPECT_EQ(sheet.maintenance->amounts.annual, dollars(17500));

    // Child support on 82,500 and 27,500: 17% of 110,000 = 18,700, of which A pays 75%, not
    // the 100/110 of the incomes before maintenance (17,000).
    ASSERT_TRUE(sheet.childSupport);
    const ChildSupportStep& cs = *sheet.childSupport;
    EXPECT_EQ(cs.noncustodial, Party::A);
    EXPECT_EQ(cs.adjustedIncome[0], dollars(82500));
    EXPECT_EQ(cs.adjustedIncome[1], dollars(27500));
    EXPECT_EQ(cs.amounts.basicObligation, dollars(18700));
    EXPECT_DOUBLE_EQ(cs.amounts.noncustodialShare, 0.75);
    EXPECT_EQ(cs.amounts.annual, dollars(14025));
    EXPECT_EQ(cs.amounts.monthly, 116875);
    EXPECT_EQ(cs.amounts.weekly, 26971);
    // The add-ons in the same proportions.
    EXPECT_EQ(cs.addOnShares.childCare, dollars(7500));
}

TEST(Worksheet, ACustodialPayorPaysMaintenanceWithoutTheChildSupportFormula) {
    GuidelineCase in = basicCase("2025-06-01", dollars(100000), dollars(10000));
    in.maintenance = MaintenanceKind::Temporary;
    in.children = 1;
    in.custodial = Party::A;
    const Worksheet sheet = computed(in);
    // (i) 30,000 - 2,000 = 28,000; (ii) 34,000.
    EXPECT_FALSE(sheet.maintenance->withChildSupport);
    EXPECT_EQ(sheet.maintenance->amounts.annual, dollars(28000));
    // B pays child support on 38,000 of 110,000: 18,700 × 38/110 = 6,460.
    EXPECT_EQ(sheet.childSupport->noncustodial, Party::B);
    EXPECT_EQ(sheet.childSupport->adjustedIncome[1], dollars(38000));
    EXPECT_EQ(sheet.childSupport->amounts.annual, dollars(6460));
    EXPECT_EQ(sheet.childSupport->amounts.monthly, 53833);
}

TEST(Worksheet, TheHigherIncomeIsThePayorWhicheverPartyItIs) {
    GuidelineCase in = basicCase("2025-06-01", dollars(30000), dollars(100000));
    in.maintenance = MaintenanceKind::PostDivorce;
    const Worksheet sheet = computed(in);
    // Without children: (i) 30,000 - 6,000 = 24,000; (ii) 52,000 - 30,000 = 22,000.
    EXPECT_EQ(sheet.maintenance->payor, Party::B);
    EXPECT_EQ(sheet.maintenance->amounts.annual, dollars(22000));
    EXPECT_FALSE(sheet.childSupport);
    EXPECT_FALSE(sheet.maintenance->duration);  // no dates given
}

TEST(Worksheet, TheDateOfTheCasePicksTheCaps) {
    // Combined 200,000, 1 child, B pays 60%.
    GuidelineCase in = basicCase("2024-02-29", dollars(80000), dollars(120000));
    in.children = 1;
    in.custodial = Party::A;
    Worksheet sheet = computed(in);
    EXPECT_EQ(sheet.cssaCap, dollars(163000));
    EXPECT_EQ(sheet.childSupport->amounts.basicObligation, dollars(27710));
    EXPECT_EQ(sheet.childSupport->amounts.annual, dollars(16626));
    in.asOf = {2024, 3, 1};
    sheet = computed(in);
    EXPECT_EQ(sheet.cssaCap, dollars(183000));
    EXPECT_EQ(sheet.childSupport->amounts.basicObligation, dollars(31110));
    EXPECT_EQ(sheet.childSupport->amounts.annual, dollars(18666));
}

TEST(Worksheet, TheMattersOwnCapsReplaceTheOnesInForce) {
    // Combined 300,000, B pays 60%.
    GuidelineCase in = basicCase("2025-06-01", dollars(120000), dollars(180000));
    in.children = 1;
    in.custodial = Party::A;
    in.cssaCap = {CapOverride::Kind::Amount, dollars(250000)};
    Worksheet sheet = computed(in);
    EXPECT_EQ(sheet.cssaCap, dollars(250000));
    EXPECT_EQ(sheet.childSupport->amounts.basicObligation, dollars(42500));
    EXPECT_EQ(sheet.childSupport->amounts.annual, dollars(25500));
    in.cssaCap = {CapOverride::Kind::NoCap, 0};
    sheet = computed(in);
    EXPECT_EQ(sheet.cssaCap, std::nullopt);
    EXPECT_EQ(sheet.childSupport->amounts.annual, dollars(30600));

    // Maintenance on 300,000 and 50,000 without a cap: (i) 90,000 - 10,000 = 80,000.
    GuidelineCase m = basicCase("2025-06-01", dollars(300000), dollars(50000));
    m.maintenance = MaintenanceKind::Temporary;
    m.maintenanceCap = {CapOverride::Kind::NoCap, 0};
    EXPECT_EQ(computed(m).maintenance->amounts.annual, dollars(80000));
    m.maintenanceCap = {CapOverride::Kind::Amount, dollars(100000)};
    // (i) 30,000 - 10,000 = 20,000; (ii) 40% of 150,000 - 50,000 = 10,000.
    EXPECT_EQ(computed(m).maintenance->amounts.annual, dollars(10000));
}

TEST(Worksheet, PostDivorceGivesTheAdvisoryDuration) {
    GuidelineCase in = basicCase("2025-06-01", dollars(100000), dollars(10000));
    in.maintenance = MaintenanceKind::PostDivorce;
    in.married = CivilDate{2005, 6, 15};
    in.commenced = CivilDate{2025, 6, 14};
    const Worksheet sheet = computed(in);
    ASSERT_TRUE(sheet.maintenance->duration);
    EXPECT_EQ(sheet.maintenance->duration->marriageMonths, 239);
    EXPECT_EQ(sheet.maintenance->duration->lowHundredths, 598);
    EXPECT_EQ(sheet.maintenance->duration->highHundredths, 797);
    // Temporary maintenance has no duration, whatever the dates.
    in.maintenance = MaintenanceKind::Temporary;
    EXPECT_FALSE(computed(in).maintenance->duration);
}

TEST(Worksheet, MalformedCasesNameTheirField) {
    const auto problemOf = [](auto change) {
        GuidelineCase in = basicCase("2025-06-01", dollars(100000), dollars(10000));
        change(in);
        return refused(in);
    };
    Problem p = problemOf([](GuidelineCase& in) { in.children = 2; });
    EXPECT_EQ(p.field, "custodial");
    p = problemOf([](GuidelineCase& in) { in.setIncome(Party::B, -1); });
    EXPECT_EQ(p.field, "income.b");
    p = problemOf([](GuidelineCase& in) {
        in.party(Party::A).items.push_back({"FICA", dollars(200000), true, ""});
    });
    EXPECT_EQ(p.field, "income.a");
    EXPECT_EQ(p.text, "the deductions exceed the income");
    p = problemOf([](GuidelineCase& in) { in.children = -1; });
    EXPECT_EQ(p.field, "children");
    p = problemOf([](GuidelineCase& in) { in.addOns.education = dollars(100); });
    EXPECT_EQ(p.field, "addons.education");
    p = problemOf([](GuidelineCase& in) {
        in.children = 1;
        in.custodial = Party::B;
        in.addOns.healthInsurance = -5;
    });
    EXPECT_EQ(p.field, "addons.health_insurance");
    p = problemOf([](GuidelineCase& in) {
        in.children = 1;
        in.custodial = Party::B;
        in.aboveCap = {AboveCap::Kind::UpTo, dollars(150000)};
    });
    EXPECT_EQ(p.field, "above_cap");
    EXPECT_EQ(p.text, "150000.00 is below the child support cap of 183000.00");
    p = problemOf([](GuidelineCase& in) { in.cssaCap = {CapOverride::Kind::Amount, 0}; });
    EXPECT_EQ(p.field, "cssa_cap");
    p = problemOf([](GuidelineCase& in) {
        in.married = CivilDate{2010, 5, 1};
        in.commenced = CivilDate{2010, 4, 30};
    });
    EXPECT_EQ(p.field, "commenced");
    p = problemOf([](GuidelineCase& in) {
        in.maintenance = MaintenanceKind::PostDivorce;
        in.commenced = CivilDate{2016, 1, 24};
    });
    EXPECT_EQ(p.field, "commenced");
    p = problemOf([](GuidelineCase& in) { in.asOf = {2015, 12, 31}; });
    EXPECT_EQ(p.field, "as_of");
}

const WorksheetLine* findLine(const std::vector<WorksheetLine>& lines, const std::string& label) {
    const auto found = std::find_if(lines.begin(), lines.end(),
                                    [&](const WorksheetLine& l) { return l.label == label; });
    return found == lines.end() ? nullptr : &*found;
}

TEST(WorksheetLines, EveryStepInTheOrderComputedWithItsStatute) {
    GuidelineCase in = basicCase("2025-06-01", dollars(300000), dollars(10000));
    in.party(Party::A).name = "Husband";
    in.party(Party::B).name = "Wife";
    in.maintenance = MaintenanceKind::PostDivorce;
    in.children = 1;
    in.custodial = Party::B;
    in.married = CivilDate{2005, 6, 15};
    in.commenced = CivilDate{2025, 6, 14};
    in.notes.push_back("The Medicare figure includes the Additional Medicare Tax.");
    const Worksheet sheet = computed(in);
    const std::vector<WorksheetLine> lines = worksheetLines(sheet);

    std::vector<std::string> sections;
    for (const WorksheetLine& line : lines) {
        if (sections.empty() || sections.back() != line.section) sections.push_back(line.section);
    }
    EXPECT_EQ(sections,
              (std::vector<std::string>{
                  "Parameters", "Inputs", "Post-divorce maintenance (DRL § 236(B)(6))",
                  "Child support (DRL § 240(1-b), FCA § 413)", "Add-ons, shared pro rata"}));

    const WorksheetLine* set = findLine(lines, "Parameter set in force on 2025-06-01");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->value, "from 2025-03-01 (parameters.ini)");
    const WorksheetLine* above = findLine(lines, "Payor's income above the cap");
    ASSERT_TRUE(above);
    EXPECT_EQ(above->amount, dollars(72000));
    EXPECT_EQ(above->basis, "DRL § 236(B)(6)(c)(2)");
    // (i) 20% of 228,000 - 25% of 10,000 = 43,100.
    const WorksheetLine* first =
        findLine(lines, "(i) 20% of the payor's capped income less 25% of the payee's income");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->amount, dollars(43100));
    EXPECT_EQ(first->basis, "DRL § 236(B)(6)(c)(1)(a)");
    const WorksheetLine* annual = findLine(lines, "Guideline maintenance, annual");
    ASSERT_TRUE(annual);
    EXPECT_TRUE(annual->result);
    EXPECT_EQ(annual->amount, dollars(43100));
    const WorksheetLine* duration = findLine(lines, "Advisory duration, 30% to 40% of the length");
    ASSERT_TRUE(duration);
    EXPECT_EQ(duration->value, "5.98 to 7.97 years");
    // Child support on 256,900 and 53,100: 17% of 183,000 = 31,110 × 256,900 / 310,000.
    const WorksheetLine* paid = findLine(lines, "Husband: income less maintenance paid");
    ASSERT_TRUE(paid);
    EXPECT_EQ(paid->amount, dollars(256900));
    const WorksheetLine* share = findLine(lines, "Husband's share of the combined income");
    ASSERT_TRUE(share);
    EXPECT_EQ(share->value, "82.8710%");
    const WorksheetLine* support = findLine(lines, "Child support, annual");
    ASSERT_TRUE(support);
    EXPECT_EQ(support->amount, 2578116);  // 25,781.1561...

    const std::vector<std::string> notes = worksheetNotes(sheet);
    const auto mentions = [&](const char* words) {
        return std::any_of(notes.begin(), notes.end(), [&](const std::string& note) {
            return note.find(words) != std::string::npos;
        });
    };
    EXPECT_TRUE(mentions("exceeds the maintenance cap"));
    EXPECT_TRUE(mentions("applies the percentage to none of it"));
    EXPECT_TRUE(mentions("must still recite the presumptive amount"));
    EXPECT_TRUE(mentions("advisory"));
    EXPECT_TRUE(mentions("Additional Medicare Tax"));
    EXPECT_FALSE(mentions("rebuttable presumption"));
}

}  // namespace
}  // namespace guidelines
