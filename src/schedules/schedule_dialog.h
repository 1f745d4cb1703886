#pragma once

#include <memory>

#include "schedules/schedule_frame.h"
#include "storage/dbf_table.h"

namespace schedules {

struct TableDef;

// A schedule form over one table (Family, Expenses, Gross Income): closing posts the table when
// it is being edited or inserted and then closes it.
class ScheduleDialog : public ScheduleFrame {
    Q_OBJECT

  public:
    using ScheduleFrame::ScheduleFrame;
    ~ScheduleDialog() override;

  protected:
    // Creates the table component as `definition` declares it, pointed at the data directory.
    storage::TDbfTable& createTable(const TableDef& definition);
    storage::TDbfTable* table() const { return table_.get(); }

    // Single-record tables: stands on the current matter's record (locate ignoring letter case)
    // and puts it into editing, or starts a new record; true when the record was new.
    bool locateOrInsert();

    bool postAndCloseTables() override;

  private:
    std::unique_ptr<storage::TDbfTable> table_;
};

// Stored text of field `name` of the table's current record, as a QString.
QString fieldText(storage::TDbfPrimDataset& table, const char* name);

}  // namespace schedules
