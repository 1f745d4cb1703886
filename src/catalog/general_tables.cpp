// "General.dbf", one master record per matter: the General Information form's table and the
// matter selection's list of it. Both declare the same fields; their tag spellings differ
// ("matter" and "MATTER"), and whichever component first builds the index fixes it.

#include "catalog/table_catalog.h"

namespace catalog {

namespace {

constexpr FieldDef kGeneralFields[] = {
    {"matter", 'C', 50, 0},     {"court", 'C', 50, 0},     {"court2", 'C', 50, 0},
    {"county", 'C', 50, 0},     {"plainfiff", 'M', 10, 0}, {"defendant", 'M', 10, 0},
    {"bypass", 'M', 10, 0},     {"indexnum", 'C', 15, 0},  {"state", 'C', 50, 0},
    {"ss", 'C', 11, 0},         {"adate", 'D', 10, 0},     {"xname", 'C', 50, 0},
    {"xpetition", 'C', 1, 0},   {"xresponde", 'C', 1, 0},  {"xplaintiff", 'C', 1, 0},
    {"xdefendant", 'C', 1, 0},  {"dobypass", 'C', 1, 0},   {"county2", 'C', 50, 0},
    {"explisted", 'C', 7, 0},   {"asofdate", 'D', 10, 0},  {"adate_c", 'C', 10, 0},
    {"asofdate_c", 'C', 10, 0},
};

constexpr const char* kGeneralIndex[] = {"MYKEY,F,T,matter", ""};
constexpr const char* kMatterListIndex[] = {"MYKEY,F,T,MATTER", ""};

constexpr TableDef kGeneralTables[] = {
    {"F_General", "DbfTable1", "General.dbf", kGeneralFields, kGeneralIndex, true},
};

constexpr TableDef kMatterSelectionTables[] = {
    {.owner = "F_SelectMatter",
     .component = "T_Matter",
     .file = "General.dbf",
     .fields = kGeneralFields,
     .indexList = kMatterListIndex,
     .hideDeletedRecs = true,
     .readOnly = true},
};

}  // namespace

TableSet generalTables() { return kGeneralTables; }
TableSet matterSelectionTables() { return kMatterSelectionTables; }

}  // namespace catalog
