#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

namespace schedules {

// Reads `text` as a date typed under `locale`'s short date format: the order of day, month and
// year and the separator come from the format ("M/d/yy" gives month, day, year and "/"). Accepts
// three numbers, or two (day and month in the locale's order, the current year); one- and
// two-digit years fall in the hundred years around `today` (49 ahead, 50 back). Blanks around the
// text are ignored. Nothing when the text is empty, has other characters, or names no such day.
std::optional<QDate> parseShortDate(const QString& text, const QLocale& locale,
                                    const QDate& today = QDate::currentDate());

}  // namespace schedules
