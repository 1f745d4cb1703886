#pragma once

#include "schedules/schedule_frame.h"
#include "storage/dbf_table.h"

class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;

namespace platform {
class DbEdit;
class DbMemo;
class DbRadioGroup;
}  // namespace platform

namespace schedules {

class ScheduleTable;

// The Gross Income form F_Income ("Gross Income"): the current matter's one record of
// "Income.dbf", found (or started) when the form opens and written when it closes. The fields
// keep their historical names; what each holds is the caption beside its edit (`bonus` is the
// worker's compensation, `trust` the food stamps ...).
class TF_Income : public ScheduleFrame {
    Q_OBJECT

  public:
    TF_Income(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);

    // Opens T_Income and stands on the current matter's record, in editing; a matter without a
    // record gets a new one (T_IncomeAfterInsert names it), written when the form closes.
    void open() override;

    storage::TDbfTable& T_Income() const;

    // A record that answers neither "No" nor "Yes" to the salary question gets "No".
    void FormShow();
    // The two lower panels take half the form's width each (the left one 10 less).
    void FormResize();

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildForm();
    void buildLeftPanel();
    void buildRightPanel();
    // The answer mark of the item `field` answers, or nullptr; it follows `marked` in the tab
    // order.
    QWidget* markFor(QWidget* marked, const char* field, QWidget* parent);
    // `shown` with the mark of `field` at its right.
    QHBoxLayout* withMark(QWidget* shown, QWidget* marked, const char* field, QWidget* parent);

    ScheduleTable& income_;
    QFrame* Panel1_;
    QLabel* Label1_;
    QPushButton* BitBtn1_;
    QFrame* Panel2_;
    QFrame* Panel3_;
    QScrollArea* ScrollBox1_;
    platform::DbRadioGroup* DbRadioGroup1_;
    platform::DbEdit* DbEdit1_;
    platform::DbMemo* DbMemo1_;
    QList<QWidget*> rightOrder_;
    QList<std::pair<QWidget*, QWidget*>> marks_;  // a marked control and its mark
    bool shown_ = false;
};

}  // namespace schedules
