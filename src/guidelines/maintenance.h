#pragma once

#include <optional>

#include "guidelines/money.h"

namespace guidelines {

// The figures the maintenance guideline is computed from (DRL § 236(B)(5-a) temporary, (6)
// post-divorce; both use the same arithmetic).
struct MaintenanceInputs {
    Cents payorIncome = 0;  // the higher income
    Cents payeeIncome = 0;
    std::optional<Cents> cap;  // the payor's income counts up to it; nullopt: no cap
    // Child support is paid and the payor is the non-custodial parent: 20% / 25% instead of
    // 30% / 20%.
    bool withChildSupport = false;
    Cents selfSupportReserve = 0;
};

enum class ReserveRule {
    NotReached,   // the amount leaves the payor at or above the reserve
    Reduced,      // the amount is the payor's income less the reserve
    IncomeBelow,  // the payor's income is below the reserve: zero (a rebuttable presumption)
};

// Every step of the guideline, each stated amount rounded to the cent.
struct MaintenanceAmounts {
    Cents cappedIncome = 0;    // the payor's income up to the cap
    Cents incomeAboveCap = 0;  // the rest: no formula, left to the court
    int payorPercent = 0;      // 20 or 30
    int payeePercent = 0;      // 25 or 20
    Cents firstTest = 0;       // payorPercent of the capped income less payeePercent of the payee's
    Cents fortyPercentTest = 0;  // 40% of (capped income + payee's income) less the payee's
    Cents lowerOfTests = 0;      // may be negative
    Cents guideline = 0;         // the lower test, zero when it is zero or less
    ReserveRule reserve = ReserveRule::NotReached;
    Cents annual = 0;  // after the self-support reserve
    Cents monthly = 0;
    Cents weekly = 0;
};

MaintenanceAmounts computeMaintenance(const MaintenanceInputs& inputs);

// The advisory duration of post-divorce maintenance (DRL § 236(B)(6)(f)(1)) from the length of
// the marriage in whole months: 15% to 30% of it up to 15 years, 30% to 40% over 15 and up to
// 20 years, 35% to 50% over 20 years.
struct AdvisoryDuration {
    int marriageMonths = 0;
    int lowPercent = 0;
    int highPercent = 0;
    // The range in hundredths of a year, rounded half up: 156 is 1.56 years.
    int lowHundredths = 0;
    int highHundredths = 0;
};

AdvisoryDuration advisoryDuration(int marriageMonths);

}  // namespace guidelines
