#include "guidelines/worksheet_lines.h"

#include <cstdio>

namespace guidelines {

namespace {

// The statute behind each step. The two maintenance statutes are laid out alike: definitions in
// (b), the formulas in (c), the self-support reserve in (d).
struct MaintenanceLaw {
    const char* heading;
    const char* payor;
    const char* cap;
    const char* withChildSupport;
    const char* withoutChildSupport;
    const char* aboveCap;
    const char* reserve;
};
constexpr MaintenanceLaw kTemporary = {"Temporary maintenance",      "DRL § 236(B)(5-a)(b)(1), (2)",
                                       "DRL § 236(B)(5-a)(b)(5)",    "DRL § 236(B)(5-a)(c)(1)(a)",
                                       "DRL § 236(B)(5-a)(c)(1)(b)", "DRL § 236(B)(5-a)(c)(2)",
                                       "DRL § 236(B)(5-a)(d)"};
constexpr MaintenanceLaw kPostDivorce = {"Post-divorce maintenance", "DRL § 236(B)(6)(b)(1), (2)",
                                         "DRL § 236(B)(6)(b)(5)",    "DRL § 236(B)(6)(c)(1)(a)",
                                         "DRL § 236(B)(6)(c)(1)(b)", "DRL § 236(B)(6)(c)(2)",
                                         "DRL § 236(B)(6)(d)"};
constexpr const char* kDuration = "DRL § 236(B)(6)(f)(1)";

constexpr const char* kIncome = "DRL § 240(1-b)(b)(5)";
constexpr const char* kCombined = "DRL § 240(1-b)(b)(4)";
constexpr const char* kPercentage = "DRL § 240(1-b)(b)(3)";
constexpr const char* kBasic = "DRL § 240(1-b)(c)(2)";
constexpr const char* kAboveCap = "DRL § 240(1-b)(c)(3)";
constexpr const char* kLowIncome = "DRL § 240(1-b)(d)";
constexpr const char* kReserveDefined = "DRL § 240(1-b)(b)(6)";
constexpr const char* kCaps = "Social Services Law § 111-i";
constexpr const char* kChildCare = "DRL § 240(1-b)(c)(4), (6)";
constexpr const char* kHealth = "DRL § 240(1-b)(c)(5)";
constexpr const char* kEducation = "DRL § 240(1-b)(c)(7)";

constexpr const char* kParameters = "Parameters";
constexpr const char* kInputs = "Inputs";
constexpr const char* kChildSupport = "Child support (DRL § 240(1-b), FCA § 413)";
constexpr const char* kAddOns = "Add-ons, shared pro rata";

const MaintenanceLaw& lawOf(MaintenanceKind kind) {
    return kind == MaintenanceKind::PostDivorce ? kPostDivorce : kTemporary;
}

std::string yearsText(int hundredths) { return formatDecimal(hundredths); }

class Lines {
  public:
    explicit Lines(std::vector<WorksheetLine>& out) : out_(out) {}
    void section(std::string heading) { section_ = std::move(heading); }
    WorksheetLine& amount(std::string label, Cents amount, std::string basis = {}) {
        out_.push_back({section_, std::move(label), amount, {}, std::move(basis), false});
        return out_.back();
    }
    WorksheetLine& text(std::string label, std::string value, std::string basis = {}) {
        out_.push_back(
            {section_, std::move(label), std::nullopt, std::move(value), std::move(basis), false});
        return out_.back();
    }
    void result(std::string label, Cents amount, std::string basis = {}) {
        this->amount(std::move(label), amount, std::move(basis)).result = true;
    }

  private:
    std::vector<WorksheetLine>& out_;
    std::string section_;
};

void capLines(Lines& lines, const char* what, const CapOverride& override,
              const std::optional<Cents>& applied) {
    if (override.kind == CapOverride::Kind::InForce) return;
    if (applied) {
        lines.amount(std::string(what) + " for this matter (instead of the one in force)",
                     *applied);
    } else {
        lines.text(std::string(what) + " for this matter", "no cap");
    }
}

void parameterLines(Lines& lines, const Worksheet& sheet) {
    const ParameterSet& set = sheet.parameters;
    lines.section(kParameters);
    lines.text("Parameter set in force on " + sheet.input.asOf.iso(),
               "from " + set.effective.iso() + " (" + set.source + ")", kCaps);
    lines.amount(
        "Child support cap, combined parental income (from " + set.cssaCap.effective.iso() + ")",
        set.cssaCap.amount, std::string(kBasic) + "; " + kCaps);
    lines.amount(
        "Maintenance cap, payor's income (from " + set.maintenanceCap.effective.iso() + ")",
        set.maintenanceCap.amount, lawOf(sheet.input.maintenance).cap);
    lines.amount(
        "Poverty guideline, one person (from " + set.povertyGuideline.effective.iso() + ")",
        set.povertyGuideline.amount, kLowIncome);
    lines.amount("Self-support reserve (from " + set.selfSupportReserve.effective.iso() + ")",
                 set.selfSupportReserve.amount, kReserveDefined);
    capLines(lines, "Child support cap", sheet.input.cssaCap, sheet.cssaCap);
    capLines(lines, "Maintenance cap", sheet.input.maintenanceCap, sheet.maintenanceCap);
}

void inputLines(Lines& lines, const Worksheet& sheet) {
    const GuidelineCase& in = sheet.input;
    lines.section(kInputs);
    const char* kinds[] = {"none", "temporary", "post-divorce"};
    lines.text("Maintenance", kinds[static_cast<int>(in.maintenance)]);
    lines.text("Children", std::to_string(in.children));
    if (in.custodial) lines.text("Custodial parent", sheet.partyName(*in.custodial));
    for (const Party party : {Party::A, Party::B}) {
        const std::string name = sheet.partyName(party);
        for (const IncomeItem& item : in.party(party).items) {
            lines.amount(name + ": " + (item.deduction ? "less " : "") + item.label,
                         item.deduction ? -item.amount : item.amount,
                         item.basis.empty() ? kIncome : item.basis);
        }
        if (in.party(party).items.size() != 1)
            lines.amount(name + ": income before maintenance", sheet.income[indexOf(party)],
                         kIncome);
    }
    if (in.children > 0) {
        switch (in.aboveCap.kind) {
            case AboveCap::Kind::None:
                lines.text("Combined income above the cap", "not counted (default)", kAboveCap);
                break;
            case AboveCap::Kind::Percentage:
                lines.text("Combined income above the cap", "the percentage on all of it",
                           kAboveCap);
                break;
            case AboveCap::Kind::UpTo:
                lines.amount("Combined income up to which the percentage applies", in.aboveCap.upTo,
                             kAboveCap);
                break;
        }
        lines.amount("Child care, annual cost", in.addOns.childCare, kChildCare);
        lines.amount("Health insurance, annual cost", in.addOns.healthInsurance, kHealth);
        lines.amount("Unreimbursed medical expenses, annual", in.addOns.unreimbursedMedical,
                     kHealth);
        lines.amount("Education, annual cost", in.addOns.education, kEducation);
    }
    if (in.married) lines.text("Date of marriage", in.married->iso());
    if (in.commenced) lines.text("Date of commencement", in.commenced->iso());
}

void maintenanceLines(Lines& lines, const Worksheet& sheet, const MaintenanceStep& step) {
    const MaintenanceLaw& law = lawOf(step.kind);
    const MaintenanceAmounts& m = step.amounts;
    const std::string payor = sheet.partyName(step.payor);
    const std::string payee = sheet.partyName(otherParty(step.payor));
    lines.section(std::string(law.heading) + " (DRL § 236(B)" +
                  (step.kind == MaintenanceKind::PostDivorce ? "(6))" : "(5-a))"));
    lines.text("Payor (the higher income)", payor, law.payor);
    lines.text("Payee", payee, law.payor);
    lines.amount("Payor's income", sheet.income[indexOf(step.payor)]);
    lines.amount("Payee's income", sheet.income[indexOf(otherParty(step.payor))]);
    if (sheet.maintenanceCap) {
        lines.amount("Payor's income up to the cap", m.cappedIncome, law.cap);
        lines.amount("Payor's income above the cap", m.incomeAboveCap, law.aboveCap);
    } else {
        lines.text("Payor's income up to the cap", "no cap for this matter", law.cap);
    }
    std::string formula = step.withChildSupport ? "with child support" : "without child support";
    if (sheet.input.children > 0 && !step.withChildSupport)
        formula += " (the payor is the custodial parent)";
    lines.text("Formula", formula,
               step.withChildSupport ? law.withChildSupport : law.withoutChildSupport);
    const char* basis = step.withChildSupport ? law.withChildSupport : law.withoutChildSupport;
    lines.amount("(i) " + std::to_string(m.payorPercent) + "% of the payor's capped income less " +
                     std::to_string(m.payeePercent) + "% of the payee's income",
                 m.firstTest, basis);
    lines.amount(
        "(ii) 40% of the payor's capped income and the payee's income, less the payee's "
        "income",
        m.fortyPercentTest, basis);
    lines.amount("The lower of (i) and (ii), zero when not more than zero", m.guideline, basis);
    switch (m.reserve) {
        case ReserveRule::NotReached:
            lines.text("Self-support reserve", "the payor keeps at least the reserve", law.reserve);
            break;
        case ReserveRule::Reduced:
            lines.text("Self-support reserve",
                       "the amount would leave the payor below it: the payor's income less the "
                       "reserve",
                       law.reserve);
            break;
        case ReserveRule::IncomeBelow:
            lines.text("Self-support reserve",
                       "the payor's income is below it: no maintenance (rebuttable presumption)",
                       law.reserve);
            break;
    }
    lines.result("Guideline maintenance, annual", m.annual);
    lines.result("Guideline maintenance, monthly", m.monthly);
    lines.result("Guideline maintenance, weekly", m.weekly);
    if (m.incomeAboveCap > 0) {
        lines.text("Maintenance on the payor's income above the cap",
                   "left to the court, on the factors of the statute", law.aboveCap);
    }
    if (step.kind != MaintenanceKind::PostDivorce) return;
    if (!step.duration) {
        lines.text("Advisory duration", "needs the dates of marriage and commencement", kDuration);
        return;
    }
    const AdvisoryDuration& d = *step.duration;
    lines.text("Length of the marriage",
               std::to_string(d.marriageMonths) + " months (" +
                   yearsText(roundDiv(d.marriageMonths * 100, 12)) + " years)",
               kDuration);
    lines.text("Advisory duration, " + std::to_string(d.lowPercent) + "% to " +
                   std::to_string(d.highPercent) + "% of the length",
               yearsText(d.lowHundredths) + " to " + yearsText(d.highHundredths) + " years",
               kDuration);
}

void childSupportLines(Lines& lines, const Worksheet& sheet, const ChildSupportStep& step) {
    const ChildSupportAmounts& c = step.amounts;
    const std::string noncustodial = sheet.partyName(step.noncustodial);
    lines.section(kChildSupport);
    for (const Party party : {Party::A, Party::B}) {
        std::string label = sheet.partyName(party) + ": income";
        if (sheet.maintenance) {
            label += party == sheet.maintenance->payor ? " less maintenance paid"
                                                       : " plus maintenance received";
        }
        lines.amount(label, step.adjustedIncome[indexOf(party)], kIncome);
    }
    lines.amount("Combined parental income", c.combinedIncome, kCombined);
    lines.text("Child support percentage, " + std::to_string(sheet.input.children) +
                   (sheet.input.children == 1 ? " child" : " children"),
               std::to_string(c.percentage) + "%", kPercentage);
    if (sheet.cssaCap) {
        lines.amount("Combined income up to the cap", c.incomeUpToCap, kBasic);
        lines.amount("Combined income above the cap", c.incomeAboveCap, kAboveCap);
        if (c.incomeAboveCap > 0)
            lines.amount("Of it, counted by the choice above the cap", c.countedAboveCap,
                         kAboveCap);
    } else {
        lines.text("Combined income up to the cap", "no cap for this matter", kBasic);
    }
    lines.amount("Income the percentage applies to", c.incomeCounted, kBasic);
    lines.amount("Basic child support obligation (" + std::to_string(c.percentage) + "%)",
                 c.basicObligation, kBasic);
    lines.text("Non-custodial parent", noncustodial, kBasic);
    lines.text(noncustodial + "'s share of the combined income", percentText(c.noncustodialShare),
               kBasic);
    lines.amount(noncustodial + "'s pro-rata share of the basic obligation", c.proRataShare,
                 kBasic);
    lines.amount(noncustodial + "'s income less that share",
                 step.adjustedIncome[indexOf(step.noncustodial)] - c.proRataShare, kLowIncome);
    switch (c.lowIncome) {
        case LowIncomeRule::None:
            lines.text("Low-income rules", "not below the self-support reserve: no change",
                       kLowIncome);
            break;
        case LowIncomeRule::Poverty:
            lines.text("Low-income rules", "below the poverty guideline: $25 a month", kLowIncome);
            break;
        case LowIncomeRule::SelfSupportReserve:
            lines.text("Low-income rules",
                       "below the self-support reserve: the greater of $50 a month and the "
                       "income less the reserve",
                       kLowIncome);
            break;
    }
    lines.result("Child support, annual", c.annual);
    lines.result("Child support, monthly", c.monthly);
    lines.result("Child support, weekly", c.weekly);

    const AddOns& shares = step.addOnShares;
    const std::string share = " (" + percentText(c.noncustodialShare) + ")";
    lines.section(kAddOns);
    lines.amount(noncustodial + "'s share of child care" + share, shares.childCare, kChildCare);
    lines.amount(noncustodial + "'s share of health insurance" + share, shares.healthInsurance,
                 kHealth);
    lines.amount(noncustodial + "'s share of unreimbursed medical expenses" + share,
                 shares.unreimbursedMedical, kHealth);
    lines.amount(noncustodial + "'s share of education" + share, shares.education, kEducation);
    const Cents addOns =
        shares.childCare + shares.healthInsurance + shares.unreimbursedMedical + shares.education;
    lines.result(noncustodial + "'s add-ons, annual", addOns);
    lines.result("Child support with the add-ons, annual", c.annual + addOns);
}

}  // namespace

std::string percentText(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f%%", fraction * 100.0);
    return text;
}

std::vector<WorksheetLine> worksheetLines(const Worksheet& sheet) {
    std::vector<WorksheetLine> out;
    Lines lines(out);
    parameterLines(lines, sheet);
    inputLines(lines, sheet);
    if (sheet.maintenance) maintenanceLines(lines, sheet, *sheet.maintenance);
    if (sheet.childSupport) childSupportLines(lines, sheet, *sheet.childSupport);
    return out;
}

std::vector<std::string> worksheetNotes(const Worksheet& sheet) {
    std::vector<std::string> notes;
    notes.push_back(
        "Amounts are rounded to the cent, halves up; percentages and shares are applied "
        "unrounded. Monthly is the annual amount divided by 12, weekly by 52.");
    if (sheet.maintenance) {
        const MaintenanceStep& m = *sheet.maintenance;
        notes.push_back(
            "Maintenance is computed first; child support is computed on the incomes less the "
            "maintenance paid and plus the maintenance received (DRL § 240(1-b)(b)(5)).");
        if (m.amounts.reserve == ReserveRule::IncomeBelow) {
            notes.push_back(
                "The payor's income is below the self-support reserve: there is a rebuttable "
                "presumption that no maintenance is awarded.");
        }
        if (m.amounts.incomeAboveCap > 0) {
            notes.push_back(
                "The payor's income exceeds the maintenance cap: any maintenance on the income "
                "above it is for the court to decide on the factors of the statute; the "
                "guideline amount shown covers the income up to the cap only.");
        }
        if (m.kind == MaintenanceKind::PostDivorce) {
            notes.push_back(
                "The duration of post-divorce maintenance is advisory; the length of the "
                "marriage is counted in whole months from the date of marriage to the date of "
                "commencement.");
        }
    }
    if (const auto& c = sheet.childSupport) {
        if (c->amounts.incomeAboveCap > 0) {
            std::string choice = "this worksheet applies the percentage to none of it";
            if (sheet.input.aboveCap.kind == AboveCap::Kind::Percentage)
                choice = "this worksheet applies the percentage to all of it";
            if (sheet.input.aboveCap.kind == AboveCap::Kind::UpTo)
                choice = "this worksheet applies the percentage up to a combined income of " +
                         formatDecimal(sheet.input.aboveCap.upTo);
            notes.push_back(
                "The combined parental income exceeds the cap: the court decides the child "
                "support on the income above it by the factors of DRL § 240(1-b)(f) and/or the "
                "child support percentage; " +
                choice + ".");
        }
        if (sheet.input.children >= 5) {
            notes.push_back(
                "For five or more children the statute sets no less than 35%; this worksheet "
                "uses 35%.");
        }
        notes.push_back(
            "Parties who agree to a different amount must still recite the presumptive amount "
            "shown here (DRL § 240(1-b)(h)).");
    }
    for (const std::string& note : sheet.parameters.notes) notes.push_back(note);
    for (const std::string& note : sheet.input.notes) notes.push_back(note);
    return notes;
}

}  // namespace guidelines
