// The calculator's JSON: every key, amounts with two decimals, nulls for steps not taken.

#include "guidelines/result_json.h"

#include <gtest/gtest.h>

#include "guidelines_test_support.h"

namespace guidelines {
namespace {

TEST(ResultJson, TemporaryMaintenanceAndChildSupport) {
    GuidelineCase in;
    in.asOf = {2025, 6, 1};
    in.maintenance = MaintenanceKind::Temporary;
    in.children = 1;
    in.custodial = Party::B;
    in.setIncome(Party::A, dollars(100000));
    in.setIncome(Party::B, dollars(10000));
    in.addOns.childCare = dollars(10000);
    EXPECT_EQ(resultJson(computed(in)),
              "{\n"
              "  \"parameters\": {\n"
              "    \"effective\": \"2025-03-01\",\n"
              "    \"cssa_cap\": 183000.00,\n"
              "    \"maintenance_cap\": 228000.00,\n"
              "    \"self_support_reserve\": 21128.00,\n"
              "    \"poverty_guideline\": 15650.00\n"
              "  },\n"
              "  \"maintenance\": {\n"
              "    \"payor\": \"a\",\n"
              "    \"formula\": \"with child support\",\n"
              "    \"annual\": 17500.00,\n"
              "    \"monthly\": 1458.33,\n"
              "    \"weekly\": 336.54\n"
              "  },\n"
              "  \"child_support\": {\n"
              "    \"noncustodial\": \"a\",\n"
              "    \"combined_income\": 110000.00,\n"
              "    \"percentage\": 17,\n"
              "    \"basic_obligation\": 18700.00,\n"
              "    \"noncustodial_share\": 0.75,\n"
              "    \"annual\": 14025.00,\n"
              "    \"monthly\": 1168.75,\n"
              "    \"low_income_rule\": null\n"
              "  },\n"
              "  \"addons\": {\n"
              "    \"child_care\": 7500.00,\n"
              "    \"health_insurance\": 0.00,\n"
              "    \"unreimbursed_medical\": 0.00,\n"
              "    \"education\": 0.00\n"
              "  }\n"
              "}\n");
}

TEST(ResultJson, PostDivorceWithoutChildrenAndWithoutACap) {
    GuidelineCase in;
    in.asOf = {2026, 3, 1};
    in.maintenance = MaintenanceKind::PostDivorce;
    in.setIncome(Party::A, dollars(20000));
    in.setIncome(Party::B, dollars(300000));
    in.maintenanceCap = {CapOverride::Kind::NoCap, 0};
    in.married = CivilDate{2015, 1, 10};
    in.commenced = CivilDate{2025, 6, 9};  // 124 whole months
    // (i) 90,000 - 4,000 = 86,000; (ii) 40% of 320,000 - 20,000 = 108,000. Duration 15% to 30%
    // of 124 months: 1.55 to 3.10 years.
    EXPECT_EQ(resultJson(computed(in)),
              "{\n"
              "  \"parameters\": {\n"
              "    \"effective\": \"2026-03-01\",\n"
              "    \"cssa_cap\": 193000.00,\n"
              "    \"maintenance_cap\": null,\n"
              "    \"self_support_reserve\": 21546.00,\n"
              "    \"poverty_guideline\": 15960.00\n"
              "  },\n"
              "  \"maintenance\": {\n"
              "    \"payor\": \"b\",\n"
              "    \"formula\": \"without child support\",\n"
              "    \"annual\": 86000.00,\n"
              "    \"monthly\": 7166.67,\n"
              "    \"weekly\": 1653.85,\n"
              "    \"duration_years\": [1.55, 3.10]\n"
              "  },\n"
              "  \"child_support\": null,\n"
              "  \"addons\": null\n"
              "}\n");
}

TEST(ResultJson, LowIncomeRulesAreNamed) {
    GuidelineCase in;
    in.asOf = {2025, 6, 1};
    in.children = 1;
    in.custodial = Party::A;
    in.setIncome(Party::A, dollars(30000));
    in.setIncome(Party::B, dollars(16000));
    std::string json = resultJson(computed(in));
    EXPECT_NE(json.find("\"low_income_rule\": \"poverty\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"annual\": 300.00"), std::string::npos) << json;
    in.setIncome(Party::B, dollars(24000));
    json = resultJson(computed(in));
    EXPECT_NE(json.find("\"low_income_rule\": \"self-support reserve\""), std::string::npos)
        << json;
    EXPECT_NE(json.find("\"noncustodial_share\": 0.444444"), std::string::npos) << json;
}

}  // namespace
}  // namespace guidelines
