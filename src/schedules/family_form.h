#pragma once

#include "schedules/schedule_frame.h"
#include "storage/dbf_table.h"

class QPushButton;
class QScrollArea;

namespace platform {
class DbCheckBox;
class DbRadioGroup;
}  // namespace platform

namespace schedules {

class ScheduleTable;

// The Family form F_Family ("Family Data"): the current matter's one record of "Family.dbf",
// found (or started) when the form opens and written when it closes. The form's captions say
// Plaintiff and Defendant; the custody values stored are "Husband", "Wife", "Joint" and "N/A".
class TF_Family : public ScheduleFrame {
    Q_OBJECT

  public:
    // Builds the form; open() then opens the table on the current matter's record.
    TF_Family(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);

    // Opens T_Family and stands on the current matter's record, in editing; a matter without a
    // record gets a new one holding its name, written when the form closes. Errors propagate.
    void open() override;

    storage::TDbfTable& T_Family() const;

  private:
    void buildForm();

    ScheduleTable& family_;
    QScrollArea* ScrollBox1_ = nullptr;
    platform::DbCheckBox* DbCheckBox1_ = nullptr;
    platform::DbCheckBox* DbCheckBox2_ = nullptr;
    platform::DbRadioGroup* DbRadioGroup2_ = nullptr;
    QPushButton* BitBtn1_ = nullptr;
};

}  // namespace schedules
