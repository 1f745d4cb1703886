#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "guidelines/civil_date.h"
#include "guidelines/money.h"

namespace guidelines {

enum class Party { A = 0, B = 1 };

constexpr Party otherParty(Party party) { return party == Party::A ? Party::B : Party::A; }
constexpr int indexOf(Party party) { return static_cast<int>(party); }

enum class MaintenanceKind { None, Temporary, PostDivorce };

// One line of a party's income as the Child Support Standards Act counts it: an item of gross
// income or a deduction from it, with the words and the statute the worksheet prints.
struct IncomeItem {
    std::string label;
    Cents amount = 0;  // not negative
    bool deduction = false;
    std::string basis;  // empty: the income as a whole, DRL § 240(1-b)(b)(5)
};

struct PartyInputs {
    std::string name;  // as the worksheet names the party ("Party A" when empty)
    // The income before maintenance is the additions less the deductions.
    std::vector<IncomeItem> items;
};

// A cap of the parameter set, or the matter's own choice instead of it.
struct CapOverride {
    enum class Kind { InForce, Amount, NoCap };
    Kind kind = Kind::InForce;
    Cents amount = 0;  // for Kind::Amount
};

// What the child support percentage is applied to above the combined income cap
// (DRL § 240(1-b)(c)(3)).
struct AboveCap {
    enum class Kind { None, Percentage, UpTo };
    Kind kind = Kind::None;
    Cents upTo = 0;  // for Kind::UpTo: the combined income up to which the percentage applies
};

// Annual costs shared pro rata (DRL § 240(1-b)(c)(4) to (7)).
struct AddOns {
    Cents childCare = 0;
    Cents healthInsurance = 0;
    Cents unreimbursedMedical = 0;
    Cents education = 0;

    bool any() const { return childCare || healthInsurance || unreimbursedMedical || education; }
};

// Everything a guideline worksheet is computed from.
struct GuidelineCase {
    CivilDate asOf;  // picks the parameter set
    MaintenanceKind maintenance = MaintenanceKind::None;
    int children = 0;
    std::optional<Party> custodial;  // required when there are children
    std::array<PartyInputs, 2> parties;
    AboveCap aboveCap;
    AddOns addOns;
    std::optional<CivilDate> married;  // with `commenced`: the advisory duration
    std::optional<CivilDate> commenced;
    CapOverride cssaCap;
    CapOverride maintenanceCap;
    // Further notes the worksheet prints, such as how a stored figure was read.
    std::vector<std::string> notes;

    const PartyInputs& party(Party p) const { return parties[indexOf(p)]; }
    PartyInputs& party(Party p) { return parties[indexOf(p)]; }
    // Sets a party's income as a single line: the calculator's input.
    void setIncome(Party p, Cents income);
};

// A party's income: the additions less the deductions.
Cents incomeOf(const PartyInputs& party);

}  // namespace guidelines
