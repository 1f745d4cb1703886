#pragma once

#include <QDialog>
#include <memory>
#include <string_view>
#include <vector>

#include "catalog/statement_items.h"
#include "schedules/schedule_forms.h"

class QString;

namespace platform {
class DbComboBox;
}

namespace schedules {

class ScheduleTable;

// The frame every schedule form shares: a modal sky-blue window named and captioned as its
// registry row says, holding one ScheduleTable for each table of the row's table set (their
// data sources named "DataSource1", "DataSource2" ... in the set's order). Its every way of
// closing (a Close button, the window's close box, accept or reject) runs FormClose, which posts
// each table being edited or inserted, in the set's order, and then closes them all. When a post
// does not happen (a question answered No, a value or a lock refused) the window stays open with
// the change pending. Escape does not close it: in a box it only takes back what was typed there.
// A form larger than the screen's available area is made to fit it when shown, its layout
// deciding how the parts share the room.
//
// A form that shows answer marks (an item of the statement names it, answer_marks.h) also holds
// the binding of the matter's record in "Marks.dbf" (data source "MarksSource"): opened after
// the form's own tables, posted and closed after them. A new marks record that holds no mark is
// not written.
class ScheduleFrame : public QDialog {
    Q_OBJECT

  public:
    // `entry` is the form's registry row (constant data, outlives the form).
    ScheduleFrame(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);
    // Closes the tables unposted (a form released without closing, or after a failed opening).
    ~ScheduleFrame() override;

    const ScheduleFormEntry& entry() const { return entry_; }
    const ScheduleContext& context() const { return context_; }

    // Opens the form's tables for the current matter, in the set's order, and positions them as
    // the form's first and later visits want. Errors of the table component propagate; the
    // tables opened so far are closed, unposted, when the form is released.
    virtual void open() = 0;

    // The binding of table component `component`; nullptr when the form has none.
    ScheduleTable* scheduleTable(std::string_view component) const;
    // The same for a table the form's code relies on: one missing from the registry row's set
    // is a fault of the program, which ends it with a message naming the table.
    ScheduleTable& requireTable(std::string_view component) const;

    // Posts and closes the form's tables, once; false when a post did not happen and the form
    // must stay.
    bool FormClose();

    // The binding of the marks record; nullptr for a form without marks.
    ScheduleTable* marks() const { return marks_.get(); }
    // Opens the marks record for the current matter (nothing for a form without marks).
    void openMarks();
    // The form's statement item for `component` (or `field` of it), see formItem().
    const catalog::StatementItem* markItem(const char* component,
                                           const char* field = nullptr) const;
    // A choice for the form's `item`, bound to the marks record; the item counts as placed.
    platform::DbComboBox* markChoice(const catalog::StatementItem& item, QWidget* parent);
    // Counts `item` as placed: the form shows its mark in a way of its own.
    void markPlaced(const catalog::StatementItem& item) { placed_.push_back(&item); }
    // A titled box with a row (the item's label and its choice) for every item of the form not
    // placed yet, with `note` over the rows; nullptr when every item has its place.
    QWidget* unplacedMarks(const QString& title, const QString& note, QWidget* parent);

    void done(int result) override;

  protected:
    // In the set's order.
    const std::vector<std::unique_ptr<ScheduleTable>>& tables() const { return tables_; }

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    const ScheduleFormEntry& entry_;
    ScheduleContext context_;
    std::vector<std::unique_ptr<ScheduleTable>> tables_;
    std::unique_ptr<ScheduleTable> marks_;
    std::vector<const catalog::StatementItem*> placed_;
    bool closed_ = false;
    bool fitted_ = false;
};

}  // namespace schedules
