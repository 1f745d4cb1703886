#include "guidelines/result_json.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace guidelines {

namespace {

// Writes one object member per call, indenting nested objects by two spaces.
class JsonWriter {
  public:
    void open(const char* key) {
        member(key);
        text_ += "{";
        firstInLevel_.push_back(true);
    }
    void openNull(const char* key) { raw(key, "null"); }
    void close() {
        firstInLevel_.pop_back();
        text_ += "\n" + indent() + "}";
    }
    void amount(const char* key, Cents cents) { raw(key, formatDecimal(cents)); }
    void amount(const char* key, const std::optional<Cents>& cents) {
        raw(key, cents ? formatDecimal(*cents) : "null");
    }
    void string(const char* key, const std::string& value) { raw(key, "\"" + value + "\""); }
    void raw(const char* key, const std::string& value) {
        member(key);
        text_ += value;
    }
    std::string finish() { return text_ + "\n"; }

  private:
    void member(const char* key) {
        if (firstInLevel_.empty()) return;  // the outermost object
        text_ += firstInLevel_.back() ? "\n" : ",\n";
        firstInLevel_.back() = false;
        text_ += indent() + "\"" + key + "\": ";
    }
    std::string indent() const { return std::string(2 * firstInLevel_.size(), ' '); }

    std::string text_;
    std::vector<bool> firstInLevel_;
};

const char* partyKey(Party party) { return party == Party::A ? "\"a\"" : "\"b\""; }

std::string fraction(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string out = text;
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out;
}

std::string years(int hundredths) { return formatDecimal(hundredths); }

const char* lowIncomeRule(LowIncomeRule rule) {
    switch (rule) {
        case LowIncomeRule::None:
            return "null";
        case LowIncomeRule::Poverty:
            return "\"poverty\"";
        case LowIncomeRule::SelfSupportReserve:
            return "\"self-support reserve\"";
    }
    return "null";
}

}  // namespace

std::string resultJson(const Worksheet& sheet) {
    JsonWriter out;
    out.open("");
    const ParameterSet& set = sheet.parameters;
    out.open("parameters");
    out.string("effective", set.effective.iso());
    out.amount("cssa_cap", sheet.cssaCap);
    out.amount("maintenance_cap", sheet.maintenanceCap);
    out.amount("self_support_reserve", set.selfSupportReserve.amount);
    out.amount("poverty_guideline", set.povertyGuideline.amount);
    out.close();

    if (const auto& m = sheet.maintenance) {
        out.open("maintenance");
        out.raw("payor", partyKey(m->payor));
        out.string("formula", m->withChildSupport ? "with child support" : "without child support");
        out.amount("annual", m->amounts.annual);
        out.amount("monthly", m->amounts.monthly);
        out.amount("weekly", m->amounts.weekly);
        if (m->kind == MaintenanceKind::PostDivorce) {
            out.raw("duration_years", m->duration ? "[" + years(m->duration->lowHundredths) + ", " +
                                                        years(m->duration->highHundredths) + "]"
                                                  : "null");
        }
        out.close();
    } else {
        out.openNull("maintenance");
    }

    if (const auto& c = sheet.childSupport) {
        out.open("child_support");
        out.raw("noncustodial", partyKey(c->noncustodial));
        out.amount("combined_income", c->amounts.combinedIncome);
        out.raw("percentage", std::to_string(c->amounts.percentage));
        out.amount("basic_obligation", c->amounts.basicObligation);
        out.raw("noncustodial_share", fraction(c->amounts.noncustodialShare));
        out.amount("annual", c->amounts.annual);
        out.amount("monthly", c->amounts.monthly);
        out.raw("low_income_rule", lowIncomeRule(c->amounts.lowIncome));
        out.close();
        out.open("addons");
        out.amount("child_care", c->addOnShares.childCare);
        out.amount("health_insurance", c->addOnShares.healthInsurance);
        out.amount("unreimbursed_medical", c->addOnShares.unreimbursedMedical);
        out.amount("education", c->addOnShares.education);
        out.close();
    } else {
        out.openNull("child_support");
        out.openNull("addons");
    }
    out.close();
    return out.finish();
}

}  // namespace guidelines
