// The statement's text parameters: the check-box marks and the total income.

#include "printing/print_parameters.h"

#include <array>
#include <cmath>

#include "report/report_project.h"

namespace printing {

namespace {

using enum MarkSource;

constexpr std::array<MarkDef, 29> kMarks = {{
    {"r_sep", Family, "divsep", "separated"},
    {"r_div", Family, "divsep", "divorced"},
    {"r_cust1", Family, "custody", "Husband"},
    {"r_cust2", Family, "custody", "Wife"},
    {"r_cust3", Family, "custody", "Joint"},
    {"r_cust4", Family, "custody", "N/A"},
    {"r_occ1", Family, "resid", "Husband"},
    {"r_occ2", Family, "resid", "Wife"},
    {"r_occ3", Family, "resid", "Both"},
    {"r_occ4", Family, "resid", "N/A"},
    {"r_depwm1", Support, "presper", "week"},
    {"r_depwm2", Support, "presper", "month"},
    {"r_depwm3", Support, "sepper", "week"},
    {"r_depwm4", Support, "sepper", "month"},
    {"r_pymts1", Support, "paymade", "voluntarily"},
    {"r_pymts2", Support, "paymade", "pursuant to court order or judgment"},
    {"r_pymts3", Support, "paymade", "pursuant to separation"},
    {"r_dpr1", Support, "dpresent", "Paying"},
    {"r_dpr2", Support, "dpresent", "Receiving"},
    {"r_dpr3", Support, "psep", "Paid"},
    {"r_dpr4", Support, "psep", "Received"},
    {"r_wm1", Support, "childper", "week"},
    {"r_wm2", Support, "childper", "month"},
    {"r_wm3", Support, "selfper", "week"},
    {"r_wm4", Support, "selfper", "month"},
    {"r_wm5", Support, "dayof", "week"},
    {"r_wm6", Support, "dayof", "month"},
    {"r_expmth", General, "explisted", "monthly"},
    {"r_expwk", General, "explisted", "weekly"},
}};

constexpr std::array<const char*, 29> kSettingOrder = {
    "r_expwk",  "r_expmth", "r_sep",    "r_div",  "r_cust1",  "r_cust2",  "r_cust3",  "r_cust4",
    "r_occ1",   "r_occ2",   "r_occ3",   "r_occ4", "r_depwm1", "r_depwm2", "r_depwm3", "r_depwm4",
    "r_pymts1", "r_pymts3", "r_pymts2", "r_dpr1", "r_dpr2",   "r_dpr3",   "r_dpr4",   "r_wm1",
    "r_wm2",    "r_wm3",    "r_wm4",    "r_wm5",  "r_wm6"};

constexpr std::array<const char*, 19> kIncomeFields = {
    "salary",     "bonus",     "partnershi", "dividends", "dividendnt", "realestate", "trust",
    "pension",    "awards",    "bequests",   "oincome",   "ltcapgns",   "depreciati", "stock",
    "emphousamt", "emphousss", "emphousdis", "emphouspa", "emphousoth"};

const MarkDef* findMark(const char* parameter) {
    for (const MarkDef& mark : kMarks) {
        if (qstrcmp(mark.parameter, parameter) == 0) return &mark;
    }
    return nullptr;
}

}  // namespace

std::span<const MarkDef> markDefinitions() { return kMarks; }
std::span<const char* const> markSettingOrder() { return kSettingOrder; }
std::span<const char* const> incomeTotalFields() { return kIncomeFields; }

double incomeTotal(const std::function<double(const char* field)>& amount) {
    double total = 0;
    for (const char* field : kIncomeFields) total += amount(field);
    return total;
}

QString formatTotal(double total, const QLocale& locale) {
    QLocale grouping = locale;
    grouping.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    // A total that rounds to zero from below prints as "0.00", not "-0.00".
    if (std::abs(total) < 0.005) total = 0.0;
    return grouping.toString(total, 'f', 2);
}

void setReportParameters(report::TReportProject& project, const QString& totalIncome,
                         const MarkReader& read) {
    for (const MarkDef& mark : kMarks)
        project.setParameter(QLatin1String(mark.parameter), QString());
    project.setParameter(QStringLiteral("r_totincome"), totalIncome);
    for (const char* name : kSettingOrder) {
        const MarkDef* mark = findMark(name);
        if (read(mark->source, mark->field) == QLatin1String(mark->value)) {
            project.setParameter(QLatin1String(mark->parameter), QStringLiteral("X"));
        }
    }
}

}  // namespace printing
