#pragma once

#include "guidelines/worksheet.h"

namespace print_test {

// A post-divorce case with two children, the payor's income above the maintenance cap and the
// combined income above the child support cap, itemized incomes, add-ons and the dates of the
// marriage. Worked by hand with the parameters of 2025-03-01:
//   incomes: A 322,000 - 30,500 = 291,500; B 52,500 - 4,000 = 48,500
//   maintenance, with child support: (i) 20% of 228,000 - 25% of 48,500 = 33,475;
//     (ii) 40% of 276,500 - 48,500 = 62,100; 33,475.00 a year, 2,789.58 a month, 643.75 a week
//   duration: 2008-05-17 to 2025-04-02 is 202 whole months; 30% to 40%: 5.05 to 6.73 years
//   child support on 258,025 and 81,975 (combined 340,000): 25% of 183,000 = 45,750;
//     258,025 / 340,000 = 75.8897% of it = 34,719.54 a year, 2,893.30 a month
//   add-ons at that share: child care 14,000 = 10,624.56; health insurance 4,200 = 3,187.37
inline guidelines::GuidelineCase sampleCase() {
    using guidelines::dollars;
    using guidelines::Party;
    guidelines::GuidelineCase in;
    in.asOf = {2025, 6, 2};
    in.maintenance = guidelines::MaintenanceKind::PostDivorce;
    in.children = 2;
    in.custodial = Party::B;
    in.party(Party::A).name = "John Smith";
    in.party(Party::A).items = {
        {"Gross income of the last federal return", dollars(310000), false, ""},
        {"Investment income", dollars(12000), false, ""},
        {"Social Security tax (FICA)", dollars(10918) + 20, true, ""},
        {"Medicare tax (FICA)", dollars(5485), true, ""},
        {"New York City income tax", dollars(14096) + 80, true, ""},
    };
    in.party(Party::B).name = "Mary Smith";
    in.party(Party::B).items = {
        {"Gross income of the last federal return", dollars(52000), false, ""},
        {"Interest", dollars(500), false, ""},
        {"Social Security and Medicare tax (FICA)", dollars(3978), true, ""},
        {"Unreimbursed employee business expenses", dollars(22), true, ""},
    };
    in.addOns.childCare = dollars(14000);
    in.addOns.healthInsurance = dollars(4200);
    in.married = guidelines::CivilDate{2008, 5, 17};
    in.commenced = guidelines::CivilDate{2025, 4, 2};
    in.notes.push_back(
        "The Medicare tax shown includes the 0.9% Additional Medicare Tax, counted as FICA "
        "actually paid.");
    return in;
}

}  // namespace print_test
