#pragma once

#include <QDialog>
#include <memory>

#include "schedules/schedule_forms.h"
#include "storage/dbf_table.h"

namespace schedules {

struct TableDef;

// The frame of a schedule form: a modal window, centred on its owner, whose every way of closing
// (its close button, the window's own close) runs FormClose. Escape does not close it: in a box
// it only takes back what was typed there. FormClose posts the table
// when it is being edited or inserted and then closes it; when the post is refused (a question
// answered No, a lock the user could not get) the window stays open with the change pending.
class ScheduleDialog : public QDialog {
    Q_OBJECT

  public:
    ScheduleDialog(const ScheduleContext& context, QWidget* owner);
    ~ScheduleDialog() override;

    const ScheduleContext& context() const { return context_; }

    // Posts and closes the table; false when the post did not happen and the form must stay.
    virtual bool FormClose();

    void reject() override;

  protected:
    // Creates the table component as `definition` declares it, pointed at the data directory.
    storage::TDbfTable& createTable(const TableDef& definition);
    storage::TDbfTable* table() const { return table_.get(); }

    // Single-record tables: stands on the current matter's record (locate ignoring letter case)
    // and puts it into editing, or starts a new record; true when the record was new.
    bool locateOrInsert();

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ScheduleContext context_;
    std::unique_ptr<storage::TDbfTable> table_;
    bool closed_ = false;
};

// Stored text of field `name` of the table's current record, as a QString.
QString fieldText(storage::TDbfPrimDataset& table, const char* name);

}  // namespace schedules
