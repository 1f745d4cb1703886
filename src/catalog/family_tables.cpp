// Tables of the Family, Expenses and Gross Income forms and the print job's copies of them.
// The print copies share the record formats and settings of the forms' tables (they point at the
// very same field arrays); the copies of Family.dbf and Income.dbf spell their tag's expression
// in capitals. Whichever component first builds a file's index fixes the spelling, and the
// others open it as found.

#include "catalog/table_catalog.h"

namespace catalog {

namespace {

constexpr FieldDef kFamilyFields[] = {
    {"matter", 'C', 50, 0},     {"husbage", 'C', 10, 0},    {"wifeage", 'C', 10, 0},
    {"datemarrie", 'C', 10, 0}, {"datediv", 'C', 10, 0},    {"deps", 'C', 2, 0},
    {"depnames", 'M', 10, 0},   {"divsep", 'C', 10, 0},     {"custody", 'C', 8, 0},
    {"childpri1", 'L', 1, 0},   {"childpri2", 'L', 1, 0},   {"paying1", 'L', 1, 0},
    {"paying2", 'L', 1, 0},     {"rec1", 'L', 1, 0},        {"rec2", 'L', 1, 0},
    {"hsupport", 'N', 10, 2},   {"wsupport", 'N', 10, 2},   {"husbalim", 'N', 10, 2},
    {"wifealim", 'N', 10, 2},   {"priorcust", 'M', 10, 0},  {"resid", 'C', 10, 0},
    {"husbaddr", 'M', 10, 0},   {"wifaddr", 'M', 10, 0},    {"husbocc", 'C', 30, 0},
    {"wifeocc", 'C', 30, 0},    {"husbemp", 'M', 10, 0},    {"wifeemp", 'M', 10, 0},
    {"husbedu", 'M', 10, 0},    {"wifeedu", 'M', 10, 0},    {"husbhealth", 'M', 10, 0},
    {"wifehealth", 'M', 10, 0}, {"childhealt", 'M', 10, 0},
};

constexpr FieldDef kExpensesFields[] = {
    {"matter", 'C', 50, 0}, {"etype", 'C', 25, 0},  {"expense", 'C', 65, 0},
    {"amt", 'N', 12, 2},    {"setype", 'C', 25, 0}, {"info", 'C', 65, 0},
};

constexpr FieldDef kIncomeFields[] = {
    {"matter", 'C', 50, 0},     {"salary", 'N', 12, 2},     {"incomechg", 'C', 3, 0},
    {"employers", 'M', 10, 0},  {"fedtax", 'N', 10, 2},     {"nystatetax", 'N', 10, 2},
    {"localtax", 'N', 10, 2},   {"sstax", 'N', 10, 2},      {"medicare", 'N', 10, 2},
    {"otherded", 'M', 10, 0},   {"otherdamt", 'N', 10, 2},  {"bonus", 'N', 10, 2},
    {"partnershi", 'N', 10, 2}, {"divtaxable", 'C', 3, 0},  {"dividends", 'N', 10, 2},
    {"dividendnt", 'N', 10, 2}, {"realestate", 'N', 10, 2}, {"trust", 'N', 10, 2},
    {"pension", 'N', 10, 2},    {"awardstax", 'C', 3, 0},   {"awards", 'N', 10, 2},
    {"bequests", 'N', 10, 2},   {"oincome", 'N', 10, 2},    {"ltcapgns", 'N', 10, 2},
    {"depreciati", 'N', 10, 2}, {"stock", 'N', 10, 2},      {"emphosehld", 'M', 10, 0},
    {"emphousamt", 'N', 10, 2}, {"emphousss", 'N', 10, 2},  {"emphousdis", 'N', 10, 2},
    {"emphouspa", 'N', 10, 2},  {"emphousoth", 'N', 10, 2}, {"socsecnum", 'C', 11, 0},
};

constexpr const char* kFamilyIndex[] = {"MYKEY,F,T,matter", ""};
constexpr const char* kExpensesIndex[] = {"RAW,F,F,recno()", ""};
constexpr const char* kIncomeIndex[] = {"BYMATTER,F,T,matter", ""};
constexpr const char* kPrintFamilyIndex[] = {"MYKEY,F,T,MATTER", ""};
constexpr const char* kPrintIncomeIndex[] = {"BYMATTER,F,T,MATTER", ""};

constexpr TableDef kFamilyTables[] = {
    {"F_Family", "T_Family", "Family.dbf", kFamilyFields, kFamilyIndex, false, nullptr},
};

constexpr TableDef kExpensesTables[] = {
    {"F_Expenses", "T_Expenses", "Expenses.dbf", kExpensesFields, kExpensesIndex, true, "expense",
     true, "(a) Housing"},
};

constexpr TableDef kIncomeTables[] = {
    {"F_Income", "T_Income", "Income.dbf", kIncomeFields, kIncomeIndex, false, nullptr},
};

// T_PExpenses gets the matter routine alone: the print job wants every category of the matter.
constexpr TableDef kPrintTables[] = {
    {"F_Main", "T_PFamily", "Family.dbf", kFamilyFields, kPrintFamilyIndex, false, nullptr},
    {"F_Main", "T_PExpenses", "Expenses.dbf", kExpensesFields, kExpensesIndex, true, "expense",
     true, nullptr},
    {"F_Main", "T_PIncome", "Income.dbf", kIncomeFields, kPrintIncomeIndex, false, nullptr},
};

}  // namespace

TableSet familyTables() { return kFamilyTables; }
TableSet expensesTables() { return kExpensesTables; }
TableSet incomeTables() { return kIncomeTables; }
TableSet printTables() { return kPrintTables; }

}  // namespace catalog
