#include "guidelines/child_support.h"

#include <algorithm>

namespace guidelines {

namespace {

constexpr Cents kPovertyMonthly = dollars(25);
constexpr Cents kReserveMonthly = dollars(50);

}  // namespace

int childSupportPercentage(int children) {
    switch (children) {
        case 1:
            return 17;
        case 2:
            return 25;
        case 3:
            return 29;
        case 4:
            return 31;
        default:
            return 35;  // "no less than 35%" for five or more
    }
}

ChildSupportAmounts computeChildSupport(const ChildSupportInputs& in) {
    ChildSupportAmounts out;
    out.combinedIncome = in.noncustodialIncome + in.custodialIncome;
    out.percentage = childSupportPercentage(in.children);
    out.incomeUpToCap = in.cap ? std::min(out.combinedIncome, *in.cap) : out.combinedIncome;
    out.incomeAboveCap = out.combinedIncome - out.incomeUpToCap;
    switch (in.aboveCap.kind) {
        case AboveCap::Kind::None:
            break;
        case AboveCap::Kind::Percentage:
            out.countedAboveCap = out.incomeAboveCap;
            break;
        case AboveCap::Kind::UpTo:
            out.countedAboveCap =
                std::clamp<Cents>(in.aboveCap.upTo - out.incomeUpToCap, 0, out.incomeAboveCap);
            break;
    }
    out.incomeCounted = out.incomeUpToCap + out.countedAboveCap;
    out.basicObligation = percentOf(out.incomeCounted, out.percentage);
    if (out.combinedIncome > 0) {
        out.noncustodialShare =
            static_cast<double>(in.noncustodialIncome) / static_cast<double>(out.combinedIncome);
    }
    out.proRataShare = shareOf(out.basicObligation, in.noncustodialIncome, out.combinedIncome);

    out.annual = out.proRataShare;
    const Cents left = in.noncustodialIncome - out.proRataShare;
    if (left < in.povertyGuideline) {
        out.lowIncome = LowIncomeRule::Poverty;
        out.annual = 12 * kPovertyMonthly;
    } else if (left < in.selfSupportReserve) {
        out.lowIncome = LowIncomeRule::SelfSupportReserve;
        out.annual = std::max(12 * kReserveMonthly, in.noncustodialIncome - in.selfSupportReserve);
    }
    out.monthly = roundDiv(out.annual, 12);
    out.weekly = roundDiv(out.annual, 52);
    return out;
}

}  // namespace guidelines
