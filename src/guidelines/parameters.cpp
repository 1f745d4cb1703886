#include "guidelines/parameters.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace guidelines {

namespace {

// The value keys of a section, in the order of ParameterTable::Section::values, with the words
// the problems use.
struct ValueKey {
    std::string_view key;
    std::string_view name;
};
constexpr std::array<ValueKey, 4> kKeys = {{
    {"cssa_cap", "child support cap"},
    {"maintenance_cap", "maintenance cap"},
    {"poverty_guideline", "poverty guideline"},
    {"self_support_reserve", "self-support reserve"},
}};

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

Outcome<ParameterTable> ParameterTable::parse(std::string_view text,
                                              const std::string& sourceName) {
    ParameterTable table;
    table.source_ = sourceName;
    int lineNumber = 0;
    const auto problem = [&](const std::string& what) {
        return Problem{"", sourceName + ": line " + std::to_string(lineNumber) + ": " + what};
    };
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const std::optional<CivilDate> date =
                line.back() == ']' ? CivilDate::parse(line.substr(1, line.size() - 2))
                                   : std::nullopt;
            if (!date) return problem("a section is the date its values take effect, [YYYY-MM-DD]");
            for (const Section& section : table.sections_) {
                if (section.date == *date) return problem("a second section " + date->iso());
            }
            table.sections_.push_back(Section{*date, {}, {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return problem("expected key = value");
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (table.sections_.empty()) return problem("a value before the first [date] section");
        Section& section = table.sections_.back();
        if (key == "note") {
            if (!section.note.empty()) section.note += ' ';
            section.note += value;
            continue;
        }
        const auto known = std::find_if(kKeys.begin(), kKeys.end(),
                                        [&](const ValueKey& k) { return k.key == key; });
        if (known == kKeys.end()) return problem("unknown key \"" + std::string(key) + "\"");
        const std::optional<Cents> amount = parseDecimal(value);
        if (!amount || *amount <= 0) {
            return problem(std::string(key) + " must be an amount in dollars, such as 183000");
        }
        section.values[known - kKeys.begin()] = *amount;
    }
    if (table.sections_.empty()) {
        return Problem{"", sourceName + ": no [date] section"};
    }
    std::sort(table.sections_.begin(), table.sections_.end(),
              [](const Section& a, const Section& b) { return a.date < b.date; });
    return table;
}

Outcome<ParameterTable> ParameterTable::load(const std::string& utf8Path) {
    const std::filesystem::path path(std::u8string(utf8Path.begin(), utf8Path.end()));
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    if (file) text << file.rdbuf();
    if (!file) return Problem{"", utf8Path + ": the parameter file cannot be read"};
    const std::u8string name = path.filename().u8string();
    return parse(text.str(), std::string(name.begin(), name.end()));
}

Outcome<ParameterSet> ParameterTable::inForce(const CivilDate& date) const {
    if (sections_.empty()) return Problem{"as_of", "there is no parameter set"};
    if (date < firstDate()) {
        return Problem{"as_of", date.iso() + " is before the first parameter set (" +
                                    firstDate().iso() + ", " + source_ + ")"};
    }
    ParameterSet set;
    set.source = source_;
    DatedAmount* const targets[kValues] = {&set.cssaCap, &set.maintenanceCap, &set.povertyGuideline,
                                           &set.selfSupportReserve};
    bool found[kValues] = {};
    std::vector<const Section*> used;
    for (auto section = sections_.rbegin(); section != sections_.rend(); ++section) {
        if (date < section->date) continue;
        if (set.effective == CivilDate{}) set.effective = section->date;
        bool contributes = false;
        for (int i = 0; i < kValues; ++i) {
            if (found[i] || !section->values[i]) continue;
            *targets[i] = DatedAmount{*section->values[i], section->date};
            found[i] = contributes = true;
        }
        if (contributes) used.push_back(&*section);
    }
    for (int i = 0; i < kValues; ++i) {
        if (found[i]) continue;
        std::string text = "no " + std::string(kKeys[i].name) + " is in force on " + date.iso();
        for (const Section& section : sections_) {
            if (section.values[i]) {
                text += " (the first takes effect " + section.date.iso() + ")";
                break;
            }
        }
        return Problem{"as_of", text + " in " + source_};
    }
    for (auto section = used.rbegin(); section != used.rend(); ++section) {
        if (!(*section)->note.empty()) set.notes.push_back((*section)->note);
    }
    return set;
}

}  // namespace guidelines
