// The statement's parameters: each mark's condition, the order of the income total and its
// format under two locales.
#include "printing/print_parameters.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QMap>
#include <cmath>

#include "report/report_project.h"

namespace {

using printing::MarkSource;

// Runs setReportParameters over stored values keyed "family.custody", "support.paymade", ...
// and returns every parameter that came out "X".
QStringList marksFor(const QMap<QString, QString>& stored, QString* total = nullptr) {
    report::TReportProject project;
    printing::setReportParameters(
        project, QStringLiteral("9.99"), [&](MarkSource source, const char* field) {
            const char* prefix = source == MarkSource::Family    ? "family"
                                 : source == MarkSource::Support ? "support"
                                                                 : "general";
            return stored.value(
                QStringLiteral("%1.%2").arg(QLatin1String(prefix), QLatin1String(field)));
        });
    if (total) *total = project.parameter(QStringLiteral("r_totincome"));
    QStringList marked;
    for (const printing::MarkDef& mark : printing::markDefinitions()) {
        const QString value = project.parameter(QLatin1String(mark.parameter));
        if (value == QLatin1String("X"))
            marked << QLatin1String(mark.parameter);
        else
            EXPECT_EQ(value, QString()) << mark.parameter;
    }
    return marked;
}

TEST(Marks, EachValueMarksItsOwnBoxOnly) {
    EXPECT_EQ(marksFor({{"family.custody", "N/A"}}), QStringList({"r_cust4"}));
    EXPECT_EQ(marksFor({{"family.custody", "Husband"}}), QStringList({"r_cust1"}));
    EXPECT_EQ(marksFor({{"family.resid", "Both"}}), QStringList({"r_occ3"}));
    EXPECT_EQ(marksFor({{"family.divsep", "divorced"}}), QStringList({"r_div"}));
    // The payment basis: "pursuant to separation" is r_pymts3, the court order r_pymts2.
    EXPECT_EQ(marksFor({{"support.paymade", "pursuant to separation"}}), QStringList({"r_pymts3"}));
    EXPECT_EQ(marksFor({{"support.paymade", "pursuant to court order or judgment"}}),
              QStringList({"r_pymts2"}));
    EXPECT_EQ(marksFor({{"support.paymade", "voluntarily"}}), QStringList({"r_pymts1"}));
    EXPECT_EQ(marksFor({{"general.explisted", "weekly"}}), QStringList({"r_expwk"}));
    EXPECT_EQ(marksFor({{"general.explisted", "monthly"}}), QStringList({"r_expmth"}));
}

TEST(Marks, TheFourPeriodPairsReadTheirOwnFields) {
    const QStringList marked = marksFor({{"support.presper", "week"},
                                         {"support.sepper", "month"},
                                         {"support.childper", "week"},
                                         {"support.selfper", "month"},
                                         {"support.dayof", "week"},
                                         {"support.dpresent", "Receiving"},
                                         {"support.psep", "Paid"}});
    EXPECT_EQ(marked,
              QStringList({"r_depwm1", "r_depwm4", "r_dpr2", "r_dpr3", "r_wm1", "r_wm4", "r_wm5"}));
}

TEST(Marks, ValuesOutsideTheTabledOnesMarkNothing) {
    EXPECT_TRUE(marksFor({{"family.custody", "joint"},
                          {"family.resid", "Husband "},
                          {"family.divsep", "Separated"},
                          {"support.paymade", "pursuant to separation agreement"},
                          {"support.presper", "weekly"},
                          {"support.dpresent", "paying"},
                          {"general.explisted", ""}})
                    .isEmpty());
    // The Family values "Husband"/"Wife" belong to custody and residence, never to support.
    EXPECT_TRUE(marksFor({{"support.dpresent", "Husband"}, {"family.custody", "week"}}).isEmpty());
}

TEST(Marks, TheTotalIsSetWhateverTheMarks) {
    QString total;
    marksFor({}, &total);
    EXPECT_EQ(total, "9.99");
}

TEST(IncomeTotal, AddsTheNineteenAmountsAndNoDeduction) {
    const QMap<QString, double> stored = {
        {"salary", 1234.5}, {"emphousoth", 0.25}, {"fedtax", 5000}, {"nystatetax", 700},
        {"localtax", 60},   {"sstax", 90},        {"medicare", 15}, {"otherdamt", 8}};
    EXPECT_EQ(printing::incomeTotal([&](const char* f) { return stored.value(f); }), 1234.75);

    double everyField = printing::incomeTotal([](const char*) { return 100.0; });
    EXPECT_EQ(everyField, 1900.0);  // 19 amounts
    EXPECT_EQ(printing::incomeTotal([](const char*) { return 0.0; }), 0.0);
}

TEST(IncomeTotal, AddsInTheStatedOrderAsBinaryFloatingPoint) {
    // salary, then bonus, then partnershi: (1e16 + 1) is 1e16 in a double, so the 1 is lost;
    // another order would keep it.
    const QMap<QString, double> stored = {{"salary", 1e16}, {"bonus", 1}, {"partnershi", -1e16}};
    EXPECT_EQ(printing::incomeTotal([&](const char* f) { return stored.value(f); }), 0.0);
    const QMap<QString, double> last = {{"salary", 1e16}, {"emphouspa", -1e16}, {"emphousoth", 1}};
    EXPECT_EQ(printing::incomeTotal([&](const char* f) { return last.value(f); }), 1.0);
}

TEST(IncomeTotal, FormatGroupsThousandsWithTheLocalesSeparators) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(printing::formatTotal(1234.75, us), "1,234.75");
    EXPECT_EQ(printing::formatTotal(1234.75, de), "1.234,75");
    EXPECT_EQ(printing::formatTotal(1234567.891, us), "1,234,567.89");
    EXPECT_EQ(printing::formatTotal(1234567.891, de), "1.234.567,89");
    EXPECT_EQ(printing::formatTotal(0, us), "0.00");
    EXPECT_EQ(printing::formatTotal(0, de), "0,00");
    EXPECT_EQ(printing::formatTotal(999.999, us), "1,000.00");
    EXPECT_EQ(printing::formatTotal(-0.001, us), "0.00");
    EXPECT_EQ(printing::formatTotal(-2500.5, us), "-2,500.50");
    // A locale whose users turned grouping off still gets the pattern's grouping.
    QLocale plain = us;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    EXPECT_EQ(printing::formatTotal(1234.75, plain), "1,234.75");
}

}  // namespace
