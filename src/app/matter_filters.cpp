#include "app/matter_filters.h"

#include <memory>
#include <string>
#include <utility>

#include "schedules/table_catalog.h"
#include "storage/dataset.h"

namespace app {

namespace {

const char* formName(schedules::FormId form) {
    switch (form) {
        case schedules::FormId::Family:
            return "F_Family";
        case schedules::FormId::Expenses:
            return "F_Expenses";
        case schedules::FormId::Income:
            return "F_Income";
        case schedules::FormId::Assets:
            return "F_Assets";
        case schedules::FormId::Liabilities:
            return "F_Liabilities";
        case schedules::FormId::Summary:
            return "F_Summary";
        case schedules::FormId::Main:
            return "F_Main";
    }
    return "";
}

}  // namespace

const std::vector<MatterFilterTable>& matterFilterTables() {
    static const std::vector<MatterFilterTable> tables = [] {
        std::vector<MatterFilterTable> rows;
        for (const schedules::TableDef* table : schedules::allTables()) {
            if (!table->matterFiltered) continue;
            rows.push_back(
                {formName(table->form), table->component, table->file, table->filterCategory});
        }
        return rows;
    }();
    return tables;
}

const MatterFilterTable* findMatterFilterTable(const QString& component) {
    for (const MatterFilterTable& table : matterFilterTables()) {
        if (component == QLatin1String(table.component)) return &table;
    }
    return nullptr;
}

namespace {

storage::FilterRoutine filterOn(std::string category, storage::TDbfPrimDataset& table,
                                CurrentMatterReader currentMatter) {
    // The matter's UTF-8 text is kept between calls and made again only when the matter changes:
    // a routine runs once per record of a table holding every matter's records.
    auto converted = std::make_shared<std::pair<QString, std::string>>();
    return [&table, category, currentMatter = std::move(currentMatter), converted](void* owner) {
        const QString matter = currentMatter(owner);
        if (matter != converted->first || converted->second.empty()) {
            converted->first = matter;
            converted->second = matter.toStdString();
        }
        if (table.FieldByName("matter").AsString() != converted->second) {
            return false;
        }
        return category.empty() || table.FieldByName("etype").AsString() == category;
    };
}

}  // namespace

storage::FilterRoutine matterFilter(const QString& component, storage::TDbfPrimDataset& table,
                                    CurrentMatterReader currentMatter) {
    const MatterFilterTable* row = findMatterFilterTable(component);
    return filterOn(row && row->etype ? row->etype : "", table, std::move(currentMatter));
}

storage::FilterRoutine categoryFilter(const QString& etype, storage::TDbfPrimDataset& table,
                                      CurrentMatterReader currentMatter) {
    return filterOn(etype.toStdString(), table, std::move(currentMatter));
}

}  // namespace app
