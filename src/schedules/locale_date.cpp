#include "schedules/locale_date.h"

#include <QStringList>
#include <array>

namespace schedules {

namespace {

struct ShortFormat {
    std::array<char, 3> order{'M', 'd', 'y'};
    QChar separator = QLatin1Char('/');
};

ShortFormat shortFormat(const QLocale& locale) {
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    ShortFormat result;
    int parts = 0;
    bool separatorSeen = false;
    QChar previous;
    for (const QChar c : format) {
        const char letter = c.toLatin1();
        const bool isPart = letter == 'd' || letter == 'M' || letter == 'y';
        if (isPart && c != previous && parts < 3) {
            result.order[static_cast<size_t>(parts++)] = letter;
        } else if (!isPart && !c.isLetter() && !c.isSpace() && !separatorSeen && parts > 0) {
            result.separator = c;
            separatorSeen = true;
        }
        previous = c;
    }
    if (parts != 3) return ShortFormat{};
    return result;
}

int windowedYear(int year, int digits, const QDate& today) {
    if (digits > 2) return year;
    const int latest = today.year() + 49;
    int full = latest - (latest % 100) + year;
    if (full > latest) full -= 100;
    return full;
}

}  // namespace

std::optional<QDate> parseShortDate(const QString& text, const QLocale& locale,
                                    const QDate& today) {
    const ShortFormat format = shortFormat(locale);
    const QStringList parts = text.trimmed().split(format.separator);
    if (parts.size() != 2 && parts.size() != 3) return std::nullopt;
    int day = 0;
    int month = 0;
    int year = today.year();
    size_t slot = 0;
    for (const QString& part : parts) {
        const QString number = part.trimmed();
        if (number.isEmpty() || number.size() > 4) return std::nullopt;
        for (const QChar c : number) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        }
        // Two numbers are day and month; the year is left out wherever the format puts it.
        while (parts.size() == 2 && format.order[slot] == 'y') ++slot;
        const int value = number.toInt();
        switch (format.order[slot++]) {
            case 'd':
                day = value;
                break;
            case 'M':
                month = value;
                break;
            default:
                year = windowedYear(value, static_cast<int>(number.size()), today);
                break;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    return date;
}

}  // namespace schedules
