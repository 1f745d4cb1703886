#pragma once

#include "schedules/schedule_dialog.h"

class QPushButton;
class QScrollArea;

namespace platform {
class DataSource;
class DbCheckBox;
class DbEdit;
class DbMemo;
class DbRadioGroup;
}  // namespace platform

namespace schedules {

// The Family form F_Family ("Family Data"): the current matter's one record of "Family.dbf",
// found (or started) when the form opens and written when it closes. The form's captions say
// Plaintiff and Defendant; the custody values stored are "Husband", "Wife", "Joint" and "N/A".
class TF_Family : public ScheduleDialog {
    Q_OBJECT

  public:
    // Builds the form; open() then opens the table on the current matter's record.
    TF_Family(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);
    ~TF_Family() override;

    // Opens T_Family and stands on the current matter's record, in editing; a matter without a
    // record gets a new one holding its name, written when the form closes. Errors propagate.
    void open() override;

    storage::TDbfTable& T_Family() const { return *table(); }

  private:
    void buildForm();

    platform::DataSource* DataSource1_;
    platform::DbEdit* DbEdit1_;
    platform::DbEdit* DbEdit2_;
    platform::DbEdit* DbEdit3_;
    platform::DbMemo* DbMemo1_;
    QScrollArea* ScrollBox1_;
    platform::DbCheckBox* DbCheckBox1_;
    platform::DbCheckBox* DbCheckBox2_;
    platform::DbRadioGroup* DbRadioGroup2_;
    platform::DbMemo* DbMemo3_;
    platform::DbMemo* DbMemo4_;
    platform::DbEdit* DbEdit10_;
    platform::DbEdit* DbEdit11_;
    QPushButton* BitBtn1_;
};

}  // namespace schedules
