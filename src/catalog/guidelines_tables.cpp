// The Guidelines form's tables: "Guidelines.dbf", a table of the program's own holding one
// record of guideline inputs per matter, and read-only views of the matter's General, Gross
// Income and Family records, whose figures the form takes over. The views share the record
// formats and index lists of the tables they read.

#include "catalog/table_catalog.h"

namespace catalog {

namespace {

// What the form stores; the amounts are annual dollars. The single letters are the choices:
//   deponent   "P" plaintiff, "D" defendant; blank: as General Information says
//   maint      "N" none, "T" temporary, "P" post-divorce
//   custodial  "D" the deponent, "O" the other party
//   abovecap   "N" not counted, "P" the percentage on all of it, "U" up to `abovecapup`
//   cssacapk, maintcapk   "F" the cap in force, "A" the amount beside it, "N" no cap
// The dates are typed through the date mask; blank `asof` is the day the worksheet is made,
// blank `married` and `commenced` are the Family and General Information dates. Each income line
// has a field for the deponent (d...) and one for the other party (o...); a blank deponent's
// field takes the Gross Income figure.
constexpr FieldDef kGuidelinesFields[] = {
    {"matter", 'C', 50, 0},     {"deponent", 'C', 1, 0},    {"oname", 'C', 50, 0},
    {"maint", 'C', 1, 0},       {"children", 'N', 2, 0},    {"custodial", 'C', 1, 0},
    {"asof", 'C', 10, 0},       {"married", 'C', 10, 0},    {"commenced", 'C', 10, 0},
    {"abovecap", 'C', 1, 0},    {"abovecapup", 'N', 12, 2}, {"cssacapk", 'C', 1, 0},
    {"cssacap", 'N', 12, 2},    {"maintcapk", 'C', 1, 0},   {"maintcap", 'N', 12, 2},
    {"childcare", 'N', 12, 2},  {"healthins", 'N', 12, 2},  {"medical", 'N', 12, 2},
    {"education", 'N', 12, 2},  {"dsalary", 'N', 12, 2},    {"osalary", 'N', 12, 2},
    {"dinvest", 'N', 12, 2},    {"oinvest", 'N', 12, 2},    {"dworkcomp", 'N', 12, 2},
    {"oworkcomp", 'N', 12, 2},  {"dunemploy", 'N', 12, 2},  {"ounemploy", 'N', 12, 2},
    {"dsocsec", 'N', 12, 2},    {"osocsec", 'N', 12, 2},    {"ddisabil", 'N', 12, 2},
    {"odisabil", 'N', 12, 2},   {"dpension", 'N', 12, 2},   {"opension", 'N', 12, 2},
    {"dveterans", 'N', 12, 2},  {"oveterans", 'N', 12, 2},  {"dfellow", 'N', 12, 2},
    {"ofellow", 'N', 12, 2},    {"dannuity", 'N', 12, 2},   {"oannuity", 'N', 12, 2},
    {"dallother", 'N', 12, 2},  {"oallother", 'N', 12, 2},  {"dother", 'N', 12, 2},
    {"oother", 'N', 12, 2},     {"dimputed", 'N', 12, 2},   {"oimputed", 'N', 12, 2},
    {"dficass", 'N', 12, 2},    {"oficass", 'N', 12, 2},    {"dficamed", 'N', 12, 2},
    {"oficamed", 'N', 12, 2},   {"dlocaltax", 'N', 12, 2},  {"olocaltax", 'N', 12, 2},
    {"dbusexp", 'N', 12, 2},    {"obusexp", 'N', 12, 2},    {"dmaintpaid", 'N', 12, 2},
    {"omaintpaid", 'N', 12, 2}, {"dcspaid", 'N', 12, 2},    {"ocspaid", 'N', 12, 2},
};

constexpr const char* kGuidelinesIndex[] = {"MYKEY,F,T,matter", ""};

constexpr const char* kOwner = "F_Guidelines";

// `table` read by the Guidelines form as component `component`, for reading only.
TableDef readOnlyView(const TableDef& table, const char* component) {
    TableDef view = table;
    view.owner = kOwner;
    view.component = component;
    view.keyField = nullptr;
    view.readOnly = true;
    return view;
}

}  // namespace

TableSet guidelinesTables() {
    static const TableDef tables[] = {
        {kOwner, "T_Guidelines", "Guidelines.dbf", kGuidelinesFields, kGuidelinesIndex, false,
         nullptr},
        readOnlyView(generalTable(), "T_GGeneral"),
        readOnlyView(incomeTables().front(), "T_GIncome"),
        readOnlyView(familyTables().front(), "T_GFamily"),
    };
    return tables;
}

}  // namespace catalog
