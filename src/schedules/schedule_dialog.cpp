#include "schedules/schedule_dialog.h"

#include "catalog/table_catalog.h"
#include "platform/data_source.h"

namespace schedules {

using storage::DataSetState;

ScheduleDialog::~ScheduleDialog() {
    // Released without closing (a failed opening): leave the table closed, unposted.
    if (table_) table_->Close();
}

storage::TDbfTable& ScheduleDialog::createTable(const catalog::TableDef& definition) {
    table_ = std::make_unique<storage::TDbfTable>(definition.component);
    catalog::applyDefinition(*table_, definition, context().dataDirectory.toStdString());
    return *table_;
}

bool ScheduleDialog::locateOrInsert() {
    const std::string matter = context().currentMatter().toStdString();
    if (table_->Locate("matter", {matter}, storage::loCaseInsensitive)) {
        table_->Edit();
        return false;
    }
    table_->Insert();
    return true;
}

bool ScheduleDialog::postAndCloseTables() {
    if (!table_ || !table_->Active()) return true;
    const bool posted = platform::runDataAction([this] {
        if (table_->State() == DataSetState::Edit || table_->State() == DataSetState::Insert) {
            table_->Post();
        }
    });
    // A refused lock leaves the change pending; so does a question answered No.
    if (!posted || table_->State() != DataSetState::Browse) return false;
    table_->Close();
    return true;
}

QString fieldText(storage::TDbfPrimDataset& table, const char* name) {
    return QString::fromStdString(table.FieldByName(name).AsString());
}

}  // namespace schedules
