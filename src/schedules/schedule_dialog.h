#pragma once

#include <QLatin1String>
#include <memory>

#include "schedules/schedule_frame.h"
#include "storage/dbf_table.h"

namespace platform {
class DataSource;
}  // namespace platform

namespace catalog {
struct TableDef;
}

namespace schedules {

// A schedule form over one table (Family, Expenses, Gross Income): closing posts the table when
// it is being edited or inserted and then closes it.
class ScheduleDialog : public ScheduleFrame {
    Q_OBJECT

  public:
    using ScheduleFrame::ScheduleFrame;
    ~ScheduleDialog() override;

  protected:
    // Creates the table component as `definition` declares it, pointed at the data directory.
    storage::TDbfTable& createTable(const catalog::TableDef& definition);
    storage::TDbfTable* table() const { return table_.get(); }

    // Single-record tables: stands on the current matter's record (locate ignoring letter case)
    // and puts it into editing, or starts a new record; true when the record was new.
    bool locateOrInsert();

    bool postAndCloseTables() override;

  private:
    std::unique_ptr<storage::TDbfTable> table_;
};

// Names a data-aware control and binds it to `field` of `source`.
template <typename Control>
Control* bound(Control* control, const char* name, platform::DataSource* source,
               const char* field) {
    control->setObjectName(QLatin1String(name));
    control->setDataSource(source);
    control->setDataField(QLatin1String(field));
    return control;
}

// Stored text of field `name` of the table's current record, as a QString.
QString fieldText(storage::TDbfPrimDataset& table, const char* name);

}  // namespace schedules
