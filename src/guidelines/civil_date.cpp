#include "guidelines/civil_date.h"

#include <cstdio>

namespace guidelines {

namespace {

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

// The digits of text[from, from + count) as a number, or -1 when one is not a digit.
int digitsAt(std::string_view text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

std::string CivilDate::iso() const {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

std::optional<CivilDate> CivilDate::parse(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    CivilDate date{digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2)};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1) return std::nullopt;
    if (date.day > daysInMonth(date.year, date.month)) return std::nullopt;
    return date;
}

int wholeMonthsBetween(const CivilDate& from, const CivilDate& to) {
    if (to < from) return -wholeMonthsBetween(to, from);
    int months = (to.year - from.year) * 12 + (to.month - from.month);
    if (to.day < from.day) --months;
    return months;
}

}  // namespace guidelines
