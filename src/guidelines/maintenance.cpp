#include "guidelines/maintenance.h"

#include <algorithm>

namespace guidelines {

MaintenanceAmounts computeMaintenance(const MaintenanceInputs& in) {
    MaintenanceAmounts out;
    out.cappedIncome = in.cap ? std::min(in.payorIncome, *in.cap) : in.payorIncome;
    out.incomeAboveCap = in.payorIncome - out.cappedIncome;
    out.payorPercent = in.withChildSupport ? 20 : 30;
    out.payeePercent = in.withChildSupport ? 25 : 20;
    const __int128 capped = out.cappedIncome;
    const __int128 payee = in.payeeIncome;
    out.firstTest = roundDiv(out.payorPercent * capped - out.payeePercent * payee, 100);
    out.fortyPercentTest = roundDiv(40 * (capped + payee) - 100 * payee, 100);
    out.lowerOfTests = std::min(out.firstTest, out.fortyPercentTest);
    out.guideline = std::max<Cents>(out.lowerOfTests, 0);

    out.annual = out.guideline;
    if (in.payorIncome < in.selfSupportReserve) {
        out.reserve = ReserveRule::IncomeBelow;
        out.annual = 0;
    } else if (in.payorIncome - out.guideline < in.selfSupportReserve) {
        out.reserve = ReserveRule::Reduced;
        out.annual = in.payorIncome - in.selfSupportReserve;
    }
    out.monthly = roundDiv(out.annual, 12);
    out.weekly = roundDiv(out.annual, 52);
    return out;
}

AdvisoryDuration advisoryDuration(int marriageMonths) {
    AdvisoryDuration out;
    out.marriageMonths = std::max(marriageMonths, 0);
    if (out.marriageMonths <= 15 * 12) {
        out.lowPercent = 15;
        out.highPercent = 30;
    } else if (out.marriageMonths <= 20 * 12) {
        out.lowPercent = 30;
        out.highPercent = 40;
    } else {
        out.lowPercent = 35;
        out.highPercent = 50;
    }
    // months × percent / 100 is the duration in months; ÷ 12 × 100 gives hundredths of a year.
    out.lowHundredths = static_cast<int>(roundDiv(out.marriageMonths * out.lowPercent, 12));
    out.highHundredths = static_cast<int>(roundDiv(out.marriageMonths * out.highPercent, 12));
    return out;
}

}  // namespace guidelines
