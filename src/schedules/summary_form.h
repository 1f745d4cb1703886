#pragma once

#include <QLocale>

#include "schedules/group_box_schedule.h"

namespace schedules {

// The Summary form: the group-box form of "Axfered.dbf" and "Support.dbf", plus the date check
// of its "Date of transfer" box (`DbEdit1`): when the focus leaves the box for another control,
// its text is read as a date under the locale's short date format, and a text that is not one
// (an empty box included) brings the message "Date Error". The text stays as typed and the
// record is not changed by the check.
class TF_Summary : public GroupBoxScheduleForm {
    Q_OBJECT

  public:
    TF_Summary(const ScheduleFormEntry& entry, const ScheduleContext& context, QWidget* owner);

    // The locale whose short date format the check reads; the system's unless set.
    void setDateLocale(const QLocale& locale) { dateLocale_ = locale; }

    void DbEdit1Exit();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* dateBox_ = nullptr;
    QLocale dateLocale_ = QLocale::system();
};

}  // namespace schedules
