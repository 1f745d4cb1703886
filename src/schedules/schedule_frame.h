#pragma once

#include <QDialog>

#include "schedules/schedule_forms.h"

namespace schedules {

// The frame every schedule form shares: a modal sky-blue window named and captioned as its
// registry row says, whose every way of closing (a Close button, the window's close box, accept
// or reject) runs FormClose. Escape does not close it: in a box it only takes back what was
// typed there. When a post does not happen (a question answered No, a value or a lock refused)
// the window stays open with the change pending.
class ScheduleFrame : public QDialog {
    Q_OBJECT

  public:
    // `entry` is the form's registry row (constant data, outlives the form).
    ScheduleFrame(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);

    const ScheduleFormEntry& entry() const { return entry_; }
    const ScheduleContext& context() const { return context_; }

    // Opens the form's tables for the current matter, in the set's order, and positions them as
    // the form's first and later visits want. Errors of the table component propagate; the
    // tables opened so far are closed, unposted, when the form is released.
    virtual void open() = 0;

    // Posts and closes the form's tables, once; false when a post did not happen and the form
    // must stay.
    bool FormClose();

    void done(int result) override;

  protected:
    // Posts each table in edit or insert state, then closes them all; false, with every table
    // left open, when a post did not happen.
    virtual bool postAndCloseTables() = 0;

    void keyPressEvent(QKeyEvent* event) override;

  private:
    const ScheduleFormEntry& entry_;
    ScheduleContext context_;
    bool closed_ = false;
};

}  // namespace schedules
