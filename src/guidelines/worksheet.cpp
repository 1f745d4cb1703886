#include "guidelines/worksheet.h"

#include "guidelines/child_support.h"
#include "guidelines/maintenance.h"

namespace guidelines {

namespace {

const char* partyKey(Party party) { return party == Party::A ? "a" : "b"; }

std::optional<Cents> appliedCap(const CapOverride& override, const DatedAmount& inForce) {
    switch (override.kind) {
        case CapOverride::Kind::InForce:
            return inForce.amount;
        case CapOverride::Kind::Amount:
            return override.amount;
        case CapOverride::Kind::NoCap:
            return std::nullopt;
    }
    return inForce.amount;
}

std::optional<Problem> checkInputs(const GuidelineCase& in) {
    for (const Party party : {Party::A, Party::B}) {
        const std::string field = std::string("income.") + partyKey(party);
        for (const IncomeItem& item : in.party(party).items) {
            if (item.amount < 0) return Problem{field, "an amount may not be negative"};
        }
        if (incomeOf(in.party(party)) < 0)
            return Problem{field, "the deductions exceed the income"};
    }
    if (in.children < 0) return Problem{"children", "may not be negative"};
    if (in.children > 0 && !in.custodial)
        return Problem{"custodial", "required when there are children (\"a\" or \"b\")"};
    const std::pair<const char*, Cents> addOns[] = {
        {"addons.child_care", in.addOns.childCare},
        {"addons.health_insurance", in.addOns.healthInsurance},
        {"addons.unreimbursed_medical", in.addOns.unreimbursedMedical},
        {"addons.education", in.addOns.education},
    };
    for (const auto& [field, amount] : addOns) {
        if (amount < 0) return Problem{field, "may not be negative"};
        if (amount > 0 && in.children == 0)
            return Problem{field, "an add-on needs children to share it"};
    }
    const std::pair<const char*, const CapOverride*> caps[] = {
        {"cssa_cap", &in.cssaCap}, {"maintenance_cap", &in.maintenanceCap}};
    for (const auto& [field, cap] : caps) {
        if (cap->kind == CapOverride::Kind::Amount && cap->amount <= 0)
            return Problem{field, "a cap must be more than zero (or \"none\")"};
    }
    if (in.aboveCap.kind == AboveCap::Kind::UpTo && in.aboveCap.upTo <= 0)
        return Problem{"above_cap", "the amount must be more than zero"};
    if (in.married && in.commenced && *in.commenced < *in.married)
        return Problem{"commenced", "is before the date of marriage"};
    if (in.maintenance == MaintenanceKind::PostDivorce && in.commenced &&
        *in.commenced < kPostDivorceFirstDay) {
        return Problem{"commenced",
                       "the post-divorce guidelines apply to actions commenced on "
                       "or after " +
                           kPostDivorceFirstDay.iso()};
    }
    return std::nullopt;
}

MaintenanceStep maintenanceStep(const Worksheet& sheet) {
    const GuidelineCase& in = sheet.input;
    const std::array<Cents, 2>& income = sheet.income;
    MaintenanceStep step;
    step.kind = in.maintenance;
    step.payor = income[indexOf(Party::B)] > income[indexOf(Party::A)] ? Party::B : Party::A;
    step.withChildSupport = in.children > 0 && in.custodial && *in.custodial != step.payor;
    MaintenanceInputs inputs;
    inputs.payorIncome = income[indexOf(step.payor)];
    inputs.payeeIncome = income[indexOf(otherParty(step.payor))];
    inputs.cap = sheet.maintenanceCap;
    inputs.withChildSupport = step.withChildSupport;
    inputs.selfSupportReserve = sheet.parameters.selfSupportReserve.amount;
    step.amounts = computeMaintenance(inputs);
    if (in.maintenance == MaintenanceKind::PostDivorce && in.married && in.commenced)
        step.duration = advisoryDuration(wholeMonthsBetween(*in.married, *in.commenced));
    return step;
}

ChildSupportStep childSupportStep(const Worksheet& sheet) {
    const GuidelineCase& in = sheet.input;
    const std::optional<MaintenanceStep>& maintenance = sheet.maintenance;
    ChildSupportStep step;
    step.noncustodial = otherParty(*in.custodial);
    step.adjustedIncome = sheet.income;
    if (maintenance) {
        const Cents paid = maintenance->amounts.annual;
        step.adjustedIncome[indexOf(maintenance->payor)] -= paid;
        step.adjustedIncome[indexOf(otherParty(maintenance->payor))] += paid;
    }
    ChildSupportInputs inputs;
    inputs.children = in.children;
    inputs.noncustodialIncome = step.adjustedIncome[indexOf(step.noncustodial)];
    inputs.custodialIncome = step.adjustedIncome[indexOf(*in.custodial)];
    inputs.cap = sheet.cssaCap;
    inputs.aboveCap = in.aboveCap;
    inputs.povertyGuideline = sheet.parameters.povertyGuideline.amount;
    inputs.selfSupportReserve = sheet.parameters.selfSupportReserve.amount;
    step.amounts = computeChildSupport(inputs);

    const Cents share = inputs.noncustodialIncome;
    const Cents combined = step.amounts.combinedIncome;
    step.addOnShares.childCare = shareOf(in.addOns.childCare, share, combined);
    step.addOnShares.healthInsurance = shareOf(in.addOns.healthInsurance, share, combined);
    step.addOnShares.unreimbursedMedical = shareOf(in.addOns.unreimbursedMedical, share, combined);
    step.addOnShares.education = shareOf(in.addOns.education, share, combined);
    return step;
}

}  // namespace

void GuidelineCase::setIncome(Party p, Cents income) {
    party(p).items = {
        IncomeItem{"Income as the CSSA defines it, less its deductions", income, false, ""}};
}

Cents incomeOf(const PartyInputs& party) {
    Cents income = 0;
    for (const IncomeItem& item : party.items)
        income += item.deduction ? -item.amount : item.amount;
    return income;
}

std::string Worksheet::partyName(Party party) const {
    const std::string& name = input.party(party).name;
    if (!name.empty()) return name;
    return party == Party::A ? "Party A" : "Party B";
}

Outcome<Worksheet> computeWorksheet(const GuidelineCase& input, const ParameterTable& parameters) {
    if (std::optional<Problem> problem = checkInputs(input)) return *problem;
    Outcome<ParameterSet> set = parameters.inForce(input.asOf);
    if (const Problem* problem = std::get_if<Problem>(&set)) return *problem;

    Worksheet sheet;
    sheet.input = input;
    sheet.parameters = std::get<ParameterSet>(std::move(set));
    sheet.cssaCap = appliedCap(input.cssaCap, sheet.parameters.cssaCap);
    sheet.maintenanceCap = appliedCap(input.maintenanceCap, sheet.parameters.maintenanceCap);
    if (input.aboveCap.kind == AboveCap::Kind::UpTo && sheet.cssaCap &&
        input.aboveCap.upTo < *sheet.cssaCap) {
        return Problem{"above_cap", formatDecimal(input.aboveCap.upTo) +
                                        " is below the child support cap of " +
                                        formatDecimal(*sheet.cssaCap)};
    }
    for (const Party party : {Party::A, Party::B})
        sheet.income[indexOf(party)] = incomeOf(input.party(party));

    if (input.maintenance != MaintenanceKind::None) sheet.maintenance = maintenanceStep(sheet);
    if (input.children > 0) sheet.childSupport = childSupportStep(sheet);
    return sheet;
}

}  // namespace guidelines
