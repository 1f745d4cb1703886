#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "catalog/table_def.h"
#include "platform/data_source.h"
#include "schedules/schedule_forms.h"
#include "storage/dbf_table.h"

namespace schedules {

// One table of a schedule form with its data source: the table component named after the
// definition's component, bound to the data directory's file, and the rules every schedule
// table follows alike. Every schedule form holds its tables through this binding.
//
// - open(): declares the table from its definition and opens it; then
//   - a matter-filtered table (many records per matter) gets its matter filter, optionally moves
//     to the first passing record, and when no record passes (the count is 0) starts a seed
//     record, otherwise puts the current record into editing;
//   - a single-record table (one record per matter) stands on the matter's record, located by
//     `matter` with letter case ignored (where the table's order is its `matter` tag the key must
//     match exactly), and puts it into editing, or starts a new record.
//   - a read-only table (a view of another form's records) stands on the matter's record the
//     same way, when there is one, and never edits, adds or posts (onMatterRecord() says whether
//     it found one).
//   Last, the data source is bound: the controls show the record.
// - Every new record (seed or added) gets `matter` = the current matter, then the form's own
//   afterInsert runs (AfterInsert).
// - The blank-key rule (BeforePost, for tables with a key field): a record whose key field is
//   empty, in a table where the matter already has a stored record (a record being added does
//   not count, one being edited does), is not written. When the record holds nothing but
//   `matter`, or is an edit the user did not change, it is dropped silently. Otherwise the user
//   is asked (Yes/No, through platform::dialogs()) whether to discard its changes: Yes drops
//   them (a new record is discarded, an edited one keeps its stored values) and the move, add
//   or close goes on; No stops that move, add or close (storage::EAbort), leaves the record in
//   editing and calls focusKeyField.
//   A form that brings a rule of its own for empty keys (Expenses) turns this one off.
// - post(): the closing step: posts a record in edit or insert state; false when the record is
//   still pending afterwards (the question answered No, a value the field refused, a lock
//   refused), so that the form can stay open instead of losing it.
//
// The table must stay open while the data source's controls live; the owner destroys the
// controls first (or calls close()). Closing does not post.
class ScheduleTable {
  public:
    ScheduleTable(const catalog::TableDef& definition, const ScheduleContext& context);
    ~ScheduleTable();
    ScheduleTable(const ScheduleTable&) = delete;
    ScheduleTable& operator=(const ScheduleTable&) = delete;

    const catalog::TableDef& definition() const { return definition_; }
    storage::TDbfTable& table() { return table_; }
    // Owned here, deleted before the table; the form names it ("DataSource1" ...) and may make
    // it its child, which it leaves on deletion.
    platform::DataSource& dataSource() { return *dataSource_; }

    // The caption naming the key field in the blank-key question (the field name when unset),
    // and the category named before it (the group box caption).
    void setKeyCaption(const QString& caption) { keyCaption_ = caption; }
    void setCategory(const QString& category) { category_ = category; }
    // Called when the user chose to keep editing a record whose key field is empty.
    std::function<void()> focusKeyField;
    // Runs after every new record got its `matter`: the form fills its own fields.
    std::function<void(storage::TDbfPrimDataset& table)> afterInsert;
    // Leaves records with an empty key field to the form's own rule.
    void dropBlankKeyRule() { blankKeyRule_ = false; }
    // A new record that holds nothing but `matter` is not written: it is dropped when posted.
    void dropEmptyNewRecords() { dropEmptyNew_ = true; }

    // Opening, as described above. `firstRecord`: move to the first passing record before
    // counting. Errors of the table component propagate.
    void open(bool firstRecord = false);
    // Opening's steps for a form that positions the table itself: declare and open the table,
    // then (once positioned) bind the data source.
    void openFile();
    void bind();
    // The table is in edit or insert state.
    bool editing() const;
    // The table stands on the current matter's record (always so for an open table that edits;
    // for a read-only view, when the matter has a record).
    bool onMatterRecord() const { return onMatterRecord_; }
    // Posts a pending change (blank-key rule included); errors are shown in a message box.
    // True when the table is not left editing or inserting.
    bool post();
    // Closes the table without posting.
    void close();

    // The blank-key question for the current record (exposed for the form's tests and for
    // tables whose own rules ask the same).
    static QString blankKeyQuestion(const QString& category, const QString& keyCaption,
                                    bool newRecord);

  private:
    void nameNewRecord();
    void beforePost();
    void standOnMatterRecords(bool firstRecord);
    void standOnMatterRecord();
    bool keyIsBlank();
    // No field but `matter` and the key holds a value.
    bool holdsOnlyMatter();

    const catalog::TableDef& definition_;
    const ScheduleContext& context_;
    storage::TDbfTable table_;
    std::unique_ptr<platform::DataSource> dataSource_;
    QString keyCaption_;
    QString category_;
    bool blankKeyRule_ = true;
    bool dropEmptyNew_ = false;
    bool onMatterRecord_ = false;
};

}  // namespace schedules
