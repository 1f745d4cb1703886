// The short-date parser behind the "Date Error" check, under locales of three date orders.

#include "schedules/locale_date.h"

#include <gtest/gtest.h>

using schedules::parseShortDate;

namespace {

const QDate kToday(2026, 12, 8);

QString parsed(const QString& text, const char* locale) {
    const auto date = parseShortDate(text, QLocale(QLatin1String(locale)), kToday);
    return date ? date->toString(Qt::ISODate) : QStringLiteral("none");
}

}  // namespace

TEST(ParseShortDate, ReadsTheLocaleOrderAndSeparator) {
    EXPECT_EQ(parsed("12/31/2015", "en_US"), "2015-12-31");
    EXPECT_EQ(parsed("31/12/2015", "en_GB"), "2015-12-31");
    EXPECT_EQ(parsed("31.12.2015", "de_DE"), "2015-12-31");
    EXPECT_EQ(parsed("2015-12-31", "sv_SE"), "2015-12-31");
    EXPECT_EQ(parsed(" 1/2/2015 ", "en_US"), "2015-01-02");
    // The other locales' forms are not dates here.
    EXPECT_EQ(parsed("31/12/2015", "en_US"), "none");
    EXPECT_EQ(parsed("12/31/2015", "de_DE"), "none");
    EXPECT_EQ(parsed("31.12.2015", "en_US"), "none");
}

TEST(ParseShortDate, TwoNumbersAndShortYears) {
    EXPECT_EQ(parsed("3/4", "en_US"), "2026-03-04");
    EXPECT_EQ(parsed("3.4", "de_DE"), "2026-04-03");
    EXPECT_EQ(parsed("12-31", "sv_SE"), "2026-12-31");
    EXPECT_EQ(parsed("1/2/15", "en_US"), "2015-01-02");
    EXPECT_EQ(parsed("1/2/75", "en_US"), "2075-01-02");
    EXPECT_EQ(parsed("1/2/76", "en_US"), "1976-01-02");
    EXPECT_EQ(parsed("1/2/5", "en_US"), "2005-01-02");
}

TEST(ParseShortDate, RejectsWhatIsNoDate) {
    for (const char* text :
         {"", "   ", "12", "1/2/3/4", "2/30/2015", "13/1/2015", "0/1/2015", "a/b/c", "1/2/20x5",
          "-1/2/2015", "1//2015", "Dec 31, 2015", "12/31/20155"}) {
        EXPECT_EQ(parsed(text, "en_US"), "none") << text;
    }
    EXPECT_EQ(parsed("29.02.2015", "de_DE"), "none");
    EXPECT_EQ(parsed("29.02.2016", "de_DE"), "2016-02-29");
}
