#include "app/matter_filters.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "catalog/table_catalog.h"
#include "storage/dataset.h"

namespace app {

const std::vector<MatterFilterTable>& matterFilterTables() {
    static const std::vector<MatterFilterTable> tables = [] {
        std::vector<MatterFilterTable> rows;
        for (const catalog::TableDef* table : catalog::allTables()) {
            if (!table->matterFiltered) continue;
            rows.push_back({table->owner, table->component, table->file, table->filterCategory});
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

// A field of the table found by name once and kept until the table's fields are made anew (the
// table closed and opened again); an unknown name raises as FieldByName does.
class CachedField {
  public:
    explicit CachedField(const char* name) : name_(name) {}

    storage::TField& in(storage::TDbfPrimDataset& table) {
        if (!field_ || version_ != table.FieldLayoutVersion()) {
            field_ = &table.FieldByName(name_);
            version_ = table.FieldLayoutVersion();
        }
        return *field_;
    }

  private:
    const char* name_;
    storage::TField* field_ = nullptr;
    uint64_t version_ = 0;
};

storage::FilterRoutine filterOn(const std::string& category, storage::TDbfPrimDataset& table,
                                CurrentMatterReader currentMatter) {
    // The matter's text is kept between calls and prepared again only when the matter changes:
    // a routine runs once per record of a table holding every matter's records, comparing the
    // stored bytes without converting them.
    struct State {
        bool prepared = false;
        QString matter;
        storage::FieldText matterText;
        CachedField matterField{"matter"};
        CachedField etypeField{"etype"};
    };
    auto state = std::make_shared<State>();
    return [&table, categoryText = storage::FieldText(category), checkCategory = !category.empty(),
            currentMatter = std::move(currentMatter), state](void* owner) {
        const QString matter = currentMatter(owner);
        if (!state->prepared || matter != state->matter) {
            state->matter = matter;
            state->matterText = storage::FieldText(matter.toStdString());
            state->prepared = true;
        }
        if (!state->matterField.in(table).AsStringEquals(state->matterText)) return false;
        return !checkCategory || state->etypeField.in(table).AsStringEquals(categoryText);
    };
}

}  // namespace

storage::FilterRoutine matterFilter(const QString& component, storage::TDbfPrimDataset& table,
                                    CurrentMatterReader currentMatter) {
    const MatterFilterTable* row = findMatterFilterTable(component);
    return filterOn(row && row->etype ? row->etype : "", table, std::move(currentMatter));
}

storage::FilterKey matterKey(CurrentMatterReader currentMatter) {
    return {"matter", [currentMatter = std::move(currentMatter)](void* owner) {
                return currentMatter(owner).toStdString();
            }};
}

storage::FilterRoutine categoryFilter(const QString& etype, storage::TDbfPrimDataset& table,
                                      CurrentMatterReader currentMatter) {
    return filterOn(etype.toStdString(), table, std::move(currentMatter));
}

}  // namespace app
