#pragma once

#include <QDialog>

#include "schedules/schedule_forms.h"

namespace schedules {

// The frame every schedule form shares: a modal sky-blue window whose every way of closing (a
// Close button, the window's close box, accept or reject) runs FormClose. Escape does not close
// it: in a box it only takes back what was typed there. When a post does not happen (a question
// answered No, a value or a lock refused) the window stays open with the change pending.
class ScheduleFrame : public QDialog {
    Q_OBJECT

  public:
    ScheduleFrame(const ScheduleContext& context, QWidget* owner);

    const ScheduleContext& context() const { return context_; }

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
    ScheduleContext context_;
    bool closed_ = false;
};

}  // namespace schedules
