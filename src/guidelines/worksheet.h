#pragma once

#include <array>
#include <optional>
#include <string>

#include "guidelines/child_support.h"
#include "guidelines/guideline_case.h"
#include "guidelines/maintenance.h"
#include "guidelines/parameters.h"
#include "guidelines/problem.h"

namespace guidelines {

struct MaintenanceStep {
    MaintenanceKind kind = MaintenanceKind::Temporary;
    Party payor = Party::A;  // the higher income (A when both are equal)
    bool withChildSupport = false;
    MaintenanceAmounts amounts;
    // Post-divorce with both dates given.
    std::optional<AdvisoryDuration> duration;
};

struct ChildSupportStep {
    Party noncustodial = Party::B;
    // Each party's income less the maintenance paid, plus the maintenance received.
    std::array<Cents, 2> adjustedIncome{};
    ChildSupportAmounts amounts;
    AddOns addOnShares;  // the non-custodial parent's pro-rata share of each cost
};

// A computed case: the inputs, the parameter set used and every step in the order the law takes
// them: maintenance, then child support on the incomes it adjusts, then the add-ons.
struct Worksheet {
    GuidelineCase input;
    ParameterSet parameters;
    // The caps as applied: the set's, the matter's own, or none (nullopt).
    std::optional<Cents> cssaCap;
    std::optional<Cents> maintenanceCap;
    std::array<Cents, 2> income{};                 // before maintenance
    std::optional<MaintenanceStep> maintenance;    // none when the case asks for none
    std::optional<ChildSupportStep> childSupport;  // none without children

    std::string partyName(Party party) const;
};

// The first day of the post-divorce guidelines: actions commenced before it do not use them.
inline constexpr CivilDate kPostDivorceFirstDay{2016, 1, 25};

// Checks the case and computes it with the parameters in force on its date. A problem names
// the field at fault in the calculator's words ("custodial", "income.b", "as_of" ...).
Outcome<Worksheet> computeWorksheet(const GuidelineCase& input, const ParameterTable& parameters);

}  // namespace guidelines
