// The statement's items that may be marked, and the table that keeps their marks.

#include "catalog/statement_items.h"

#include <array>

#include "catalog/table_catalog.h"

namespace catalog {

namespace {

using enum StatementSection;
using enum AnswerKind;

constexpr const char* kFamily = "F_Family";
constexpr const char* kExpenses = "F_Expenses";
constexpr const char* kIncome = "F_Income";
constexpr const char* kAssets = "F_Assets";
constexpr const char* kLiabilities = "F_Liabilities";
constexpr const char* kSummary = "F_Summary";

constexpr StatementItem family(const char* key, const char* label, const char* fields,
                               const char* component = "T_Family") {
    return {key, Family, label, kFamily, component, Fields, fields};
}

constexpr StatementItem expense(const char* key, const char* etype) {
    return {key, Expenses, etype, kExpenses, "T_Expenses", Lines, "amt,info", etype};
}

constexpr StatementItem income(const char* key, const char* label, const char* fields) {
    return {key, Income, label, kIncome, "T_Income", Fields, fields};
}

constexpr StatementItem asset(const char* key, const char* label, const char* component) {
    return {key, Assets, label, kAssets, component, Records};
}

constexpr StatementItem liability(const char* key, const char* label, const char* component) {
    return {key, Liabilities, label, kLiabilities, component, Records};
}

// Labels are the statement's words (Reports/Diredodu.rpf), a long heading cut before its
// parenthesis; the check names the items by them.
constexpr StatementItem kItems[] = {
    family("f_pbirth", "Plaintiff's Date of Birth", "husbage"),
    family("f_dbirth", "Defendant's Date of Birth", "wifeage"),
    family("f_married", "Date married", "datemarrie"),
    family("f_sepdiv", "Separated or divorced", "divsep,datediv"),
    family("f_children", "Names and dates of birth of children", "depnames"),
    family("f_custody", "Custody of children of prior marriage", "custody"),
    family("f_resid", "Marital residence occupied by", "resid"),
    family("f_paddr", "Plaintiff's present address", "husbaddr"),
    family("f_daddr", "Defendant's present address", "wifaddr"),
    family("f_pocc", "Occupation of Plaintiff", "husbocc"),
    family("f_docc", "Occupation of Defendant", "wifeocc"),
    family("f_support", "Support paid or received between the parties",
           "dpresent,psep,presper,sepper,paymade,childper,selfper,dayof", "T_Support"),

    expense("e_a", "(a) Housing"),
    expense("e_b", "(b) Utilities"),
    expense("e_c", "(c) Food"),
    expense("e_d", "(d) Clothing"),
    expense("e_e", "(e) Insurance"),
    expense("e_f", "(f) Unreimbursed medical"),
    expense("e_g", "(g) Household maintenance"),
    expense("e_h", "(h) Household help"),
    expense("e_i", "(i) Automotive"),
    expense("e_j", "(j) Educational"),
    expense("e_k", "(k) Recreational"),
    expense("e_l", "(l) Income taxes"),
    expense("e_m", "(m) Miscellaneous"),
    expense("e_n", "(n) Other"),

    income("i_gross", "Gross (total) income", "salary"),
    income("i_change", "Salary or wages", "incomechg"),
    income("i_retire",
           "List any amount deducted from gross income for retirement benefits or tax deferred "
           "savings",
           "employers"),
    income("i_wcomp", "Workers' compensation", "bonus"),
    income("i_unemp", "Unemployment insurance benefits", "partnershi"),
    income("i_invest", "Investment income, including interest and dividend income", "dividends"),
    income("i_ssi", "Supplemental Security Income", "dividendnt"),
    income("i_food", "Food Stamps", "trust"),
    income("i_pension", "Pension (income only)", "pension"),
    income("i_veteran", "Veterans' benefits", "bequests"),
    income("i_other", "Income from all other sources", "oincome"),
    income("i_fellow", "Fellowships and stipends", "ltcapgns"),
    income("i_annuity", "Annuity payments", "depreciati"),
    income("i_member", "If any child or other member of your household is employed",
           "emphosehld,emphousamt"),
    income("i_socsec", "Social Security", "emphousss"),
    income("i_disab", "Disability benefits", "emphousdis"),
    income("i_pubasst", "Public assistance", "emphouspa"),
    income("i_hhother", "Household benefits received: Other", "emphousoth"),

    asset("a_a", "(a) Cash", "t_cash"),
    asset("a_b", "(b) Checking accounts", "t_check"),
    asset("a_c", "(c) Savings accounts", "T_Savings"),
    asset("a_d", "(d) Security deposits", "T_Security"),
    asset("a_e", "(e) Other cash accounts", "T_Other"),
    asset("a_f", "(f) Bonds and notes", "T_bonds"),
    asset("a_g", "(g) Stocks, options and commodity contracts", "T_Stocks"),
    asset("a_h", "(h) Broker margin accounts", "T_broker"),
    asset("a_i", "(i) Loans to others and accounts receivable", "T_loans"),
    asset("a_j", "(j) Value of interest in any business", "T_business"),
    asset("a_k", "(k) Cash surrender value of life insurance", "T_lifeins"),
    asset("a_l", "(l) Vehicles", "T_Vehicals"),
    asset("a_m", "(m) Real estate", "T_realestate"),
    asset("a_n", "(n) Vested interests in trusts", "T_vested"),
    asset("a_o", "(o) Contingent interests", "T_contingent"),
    asset("a_p", "(p) Household furnishings", "T_household"),
    asset("a_q", "(q) Jewelry, art, antiques, precious objects, gold and precious metals",
          "T_jewelry"),
    asset("a_r", "(r) Other", "T_other2"),
    asset("a_s", "(s) Retirement Accounts", "t_retirement"),

    liability("l_a", "(a) Accounts payable", "T_AP"),
    liability("l_b", "(b) Notes payable", "T_notespayable"),
    liability("l_c", "(c) Installment accounts payable", "T_InstallAP"),
    liability("l_d", "(d) Broker's margin accounts", "T_LBroker"),
    liability("l_e", "(e) Mortgages payable on real estate", "T_mortpay"),
    liability("l_f", "(f) Taxes payable", "T_taxespay"),
    liability("l_g", "(g) Loans on life insurance policies", "T_loanslife"),
    liability("l_h", "(h) Credit Card Debt", "t_creditcard"),
    liability("l_i", "(i) Home Equity and Other Lines of Credit", "t_homeequity"),
    liability("l_j", "(j) Other liabilities", "T_OtherLiab"),

    {"x_transfer", Transfers, "", kSummary, "T_Axfered", Records},
    {"v_fees", Fees, "", kSummary, "T_Support", Fields, "feememo"},
    {"o_other", OtherData, "", kSummary, "T_Support", Fields, "otherdata"},
};

constexpr const char* kMarks[] = {kMarkNone, kMarkInapplicable, kMarkUnknown};

// `matter`, `oath`, then one field per item: the record format follows the list.
constexpr auto kMarkFields = [] {
    std::array<FieldDef, std::size(kItems) + 2> fields{};
    fields[0] = {"matter", 'C', 50, 0};
    fields[1] = {kOathField, 'C', 12, 0};
    for (size_t i = 0; i < std::size(kItems); ++i) fields[i + 2] = {kItems[i].key, 'C', 12, 0};
    return fields;
}();

constexpr const char* kMarksIndex[] = {"MYKEY,F,T,matter", ""};

constexpr TableDef kMarksTables[] = {
    {.owner = "F_Options",
     .component = "T_Marks",
     .file = "Marks.dbf",
     .fields = kMarkFields,
     .indexList = kMarksIndex,
     .hideDeletedRecs = true},
};

}  // namespace

const char* sectionTitle(StatementSection section) {
    switch (section) {
        case General:
            return "GENERAL INFORMATION";
        case Family:
            return "I. FAMILY DATA";
        case Expenses:
            return "II. EXPENSES";
        case Income:
            return "III. GROSS INCOME INFORMATION";
        case Assets:
            return "IV. ASSETS";
        case Liabilities:
            return "V. LIABILITIES";
        case Transfers:
            return "VI. ASSETS TRANSFERRED";
        case Fees:
            return "VII. LEGAL & EXPERT FEES";
        case OtherData:
            return "OTHER DATA";
    }
    return "";
}

std::span<const StatementItem> statementItems() { return kItems; }

const StatementItem* findStatementItem(std::string_view key) {
    for (const StatementItem& item : kItems) {
        if (key == item.key) return &item;
    }
    return nullptr;
}

std::span<const char* const> markValues() { return kMarks; }

TableSet marksTables() { return kMarksTables; }
const TableDef& marksTable() { return kMarksTables[0]; }

}  // namespace catalog
