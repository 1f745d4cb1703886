#pragma once

#include <optional>

#include "guidelines/guideline_case.h"
#include "guidelines/money.h"

namespace guidelines {

// The figures of the Child Support Standards Act (DRL § 240(1-b), FCA § 413), with the incomes
// already adjusted by the maintenance.
struct ChildSupportInputs {
    int children = 1;  // at least one
    Cents noncustodialIncome = 0;
    Cents custodialIncome = 0;
    std::optional<Cents> cap;  // combined parental income; nullopt: no cap
    AboveCap aboveCap;
    Cents povertyGuideline = 0;
    Cents selfSupportReserve = 0;
};

enum class LowIncomeRule {
    None,
    Poverty,             // $25 a month
    SelfSupportReserve,  // the greater of $50 a month and the income less the reserve
};

// Every step, each stated amount rounded to the cent; the share is applied unrounded.
struct ChildSupportAmounts {
    Cents combinedIncome = 0;
    int percentage = 0;            // 17, 25, 29, 31 or 35
    Cents incomeUpToCap = 0;       // the combined income up to the cap
    Cents incomeAboveCap = 0;      // the rest, shown on its own line
    Cents countedAboveCap = 0;     // the part of it the above-cap choice applies the percentage to
    Cents incomeCounted = 0;       // incomeUpToCap + countedAboveCap
    Cents basicObligation = 0;     // incomeCounted × percentage
    double noncustodialShare = 0;  // the non-custodial parent's income ÷ the combined income
    Cents proRataShare = 0;        // basicObligation × that share
    LowIncomeRule lowIncome = LowIncomeRule::None;
    Cents annual = 0;  // after the low-income rules
    Cents monthly = 0;
    Cents weekly = 0;
};

// 17% for one child, 25% for two, 29% for three, 31% for four, 35% for five or more.
int childSupportPercentage(int children);

ChildSupportAmounts computeChildSupport(const ChildSupportInputs& inputs);

}  // namespace guidelines
