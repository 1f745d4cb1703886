#include "schedules/table_catalog.h"

#include "schedules/catalog_forms.h"
#include "storage/dbf_table.h"

namespace schedules {

std::span<const TableDef> tableSet(FormId form) {
    switch (form) {
        case FormId::Family:
            return catalog::familyTables();
        case FormId::Expenses:
            return catalog::expensesTables();
        case FormId::Income:
            return catalog::incomeTables();
        case FormId::Assets:
            return catalog::assetsTables();
        case FormId::Liabilities:
            return catalog::liabilitiesTables();
        case FormId::Summary:
            return catalog::summaryTables();
        case FormId::Main:
            return catalog::printTables();
    }
    return {};
}

std::vector<const TableDef*> allTables() {
    std::vector<const TableDef*> tables;
    for (FormId form : {FormId::Family, FormId::Expenses, FormId::Income, FormId::Assets,
                        FormId::Liabilities, FormId::Summary, FormId::Main}) {
        for (const TableDef& table : tableSet(form)) tables.push_back(&table);
    }
    return tables;
}

const TableDef* findTable(std::string_view component) {
    for (const TableDef* table : allTables()) {
        if (component == table->component) return table;
    }
    return nullptr;
}

const TableDef* findTable(FormId form, std::string_view component) {
    for (const TableDef& table : tableSet(form)) {
        if (component == table.component) return &table;
    }
    return nullptr;
}

std::vector<std::string> dbfFieldLines(const TableDef& table) {
    std::vector<std::string> lines;
    lines.reserve(table.fields.size());
    for (const FieldDef& field : table.fields) {
        lines.push_back(std::string(field.name) + ',' + field.type + ',' +
                        std::to_string(field.width) + ',' + std::to_string(field.decimals));
    }
    return lines;
}

void applyDefinition(storage::TDbfTable& table, const TableDef& definition,
                     const QString& dataDirectory) {
    table.DbfFields = dbfFieldLines(definition);
    table.IndexList.assign(definition.indexList.begin(), definition.indexList.end());
    table.HideDeletedRecs = definition.hideDeletedRecs;
    table.setDbfFileName((dataDirectory + QString::fromLatin1(definition.file)).toStdString());
}

}  // namespace schedules
