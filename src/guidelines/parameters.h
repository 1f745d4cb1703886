#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "guidelines/civil_date.h"
#include "guidelines/money.h"
#include "guidelines/problem.h"

namespace guidelines {

// One dated value of the parameter file.
struct DatedAmount {
    Cents amount = 0;
    CivilDate effective;  // the section it comes from
};

// The parameters in force on one date.
struct ParameterSet {
    CivilDate effective;           // the latest section of the file on or before the date
    DatedAmount cssaCap;           // combined parental income, DRL § 240(1-b)(c)(2)
    DatedAmount maintenanceCap;    // the payor's income, DRL § 236(B)(5-a)(b)(5) and (6)(b)(5)
    DatedAmount povertyGuideline;  // for one person
    DatedAmount selfSupportReserve;
    std::vector<std::string> notes;  // of the sections the values come from, oldest first
    std::string source;              // the file's name, as given to the parser
};

// The dated parameters as an office keeps them: an INI text with one section per date on which
// values took effect,
//
//   [2024-03-01]
//   cssa_cap = 183000
//   maintenance_cap = 228000
//   poverty_guideline = 15060
//   self_support_reserve = 20331
//   note = free text printed on every worksheet that uses this section's values
//
// Amounts are dollars (commas and two decimals allowed). A section gives any of the values; a
// value stays in force until a later section gives it anew. Lines starting with ";" or "#" are
// comments.
class ParameterTable {
  public:
    // Where the program keeps the file, from its directory.
    static constexpr const char* kProgramFile = "Guidelines/parameters.ini";

    // Reads the file at `utf8Path`; the sets name it by its file name. A problem when it cannot
    // be read or does not parse.
    static Outcome<ParameterTable> load(const std::string& utf8Path);

    // Reads the text; a problem names the line ("parameters.ini: line 7: ...").
    static Outcome<ParameterTable> parse(std::string_view text, const std::string& sourceName);

    // The set in force on `date`: each value from the latest section on or before it. A problem
    // (field "as_of") when the date is before the first section or a value has not yet been
    // given by then.
    Outcome<ParameterSet> inForce(const CivilDate& date) const;

    // The first section's date; the table must not be empty (a parsed one never is).
    CivilDate firstDate() const { return sections_.front().date; }

  private:
    static constexpr int kValues = 4;
    struct Section {
        CivilDate date;
        std::optional<Cents> values[kValues];
        std::string note;
    };

    std::vector<Section> sections_;  // ascending dates
    std::string source_;
};

}  // namespace guidelines
