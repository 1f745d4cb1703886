#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace guidelines {

// A calendar date without a time zone: the dates of a case (as of, marriage, commencement) and
// of the parameter sets.
struct CivilDate {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to the month's length

    auto operator<=>(const CivilDate&) const = default;

    // "2024-03-01"
    std::string iso() const;
    // Reads exactly YYYY-MM-DD of a real date (leap years counted); nullopt otherwise.
    static std::optional<CivilDate> parse(std::string_view text);
};

// Whole months from `from` to `to` (a month is complete once the day of the month is reached
// again); negative when `to` is earlier.
int wholeMonthsBetween(const CivilDate& from, const CivilDate& to);

}  // namespace guidelines
