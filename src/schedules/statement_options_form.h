#pragma once

#include "schedules/schedule_frame.h"

class QPushButton;

namespace platform {
class DbRadioGroup;
}

namespace schedules {

class ScheduleTable;

// The Statement Options form F_Options ("Statement Options"): how the current matter's
// statement closes, kept in the matter's record of "Marks.dbf" (`oath`). The jurat, sworn before
// a notary public, stores an empty field, so that a matter without a choice keeps it; the
// affirmation under CPLR 2106 stores "affirmation". Written when the form closes; a matter's
// record that would hold nothing is not written.
class TF_StatementOptions : public ScheduleFrame {
    Q_OBJECT

  public:
    TF_StatementOptions(const ScheduleFormEntry& entry, const ScheduleContext& context,
                        QWidget* owner);

    // Opens T_Marks and stands on the current matter's record, in editing (or a new one).
    void open() override;

  private:
    ScheduleTable& options_;
    platform::DbRadioGroup* oath_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace schedules
