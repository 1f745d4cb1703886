#include "catalog/table_catalog.h"

#include "catalog/statement_items.h"
#include "storage/dbf_table.h"

namespace catalog {

namespace {

// Every set of the catalog, in the order allTables() lists them.
constexpr TableSet (*const kTableSets[])() = {
    generalTables,    matterSelectionTables, familyTables,      expensesTables,
    incomeTables,     assetsTables,          liabilitiesTables, summaryTables,
    guidelinesTables, printTables,           marksTables,
};

}  // namespace

std::vector<const TableDef*> allTables() {
    std::vector<const TableDef*> tables;
    for (TableSet (*set)() : kTableSets) {
        for (const TableDef& table : set()) tables.push_back(&table);
    }
    return tables;
}

const TableDef* findTable(std::string_view component) {
    for (TableSet (*set)() : kTableSets) {
        if (const TableDef* table = findTable(set(), component)) return table;
    }
    return nullptr;
}

const TableDef* findTable(TableSet set, std::string_view component) {
    for (const TableDef& table : set) {
        if (component == table.component) return &table;
    }
    return nullptr;
}

const TableDef& generalTable() { return generalTables().front(); }

std::vector<std::string> dbfFieldLines(const TableDef& table) {
    std::vector<std::string> lines;
    lines.reserve(table.fields.size());
    for (const FieldDef& field : table.fields) {
        lines.push_back(std::string(field.name) + ',' + field.type + ',' +
                        std::to_string(field.width) + ',' + std::to_string(field.decimals));
    }
    return lines;
}

std::string tablePath(const std::string& dataDirectory, const TableDef& table) {
    return dataDirectory + table.file;
}

void declare(storage::TDbfFileDataSet& table, const TableDef& definition) {
    table.DbfFields = dbfFieldLines(definition);
    table.IndexList.assign(definition.indexList.begin(), definition.indexList.end());
    // The matter filter reaches a matter's records through this tag (see the filter's key).
    static constexpr const char* kMatterTag[] = {"MATTER,F,F,matter", ""};
    if (definition.matterFiltered)
        table.LookupTags.assign(std::begin(kMatterTag), std::end(kMatterTag));
    else
        table.LookupTags.clear();
    table.HideDeletedRecs = definition.hideDeletedRecs;
    table.ReadOnly = definition.readOnly;
}

void applyDefinition(storage::TDbfFileDataSet& table, const TableDef& definition,
                     const std::string& dataDirectory) {
    declare(table, definition);
    table.setDbfFileName(tablePath(dataDirectory, definition));
}

}  // namespace catalog
