// Placeholder factories, replaced by the Assets, Liabilities and Summary forms.

#include "schedules/schedule_forms.h"

namespace schedules {

std::unique_ptr<QDialog> createAssetsForm(const ScheduleContext&, QWidget*) { return nullptr; }
std::unique_ptr<QDialog> createLiabilitiesForm(const ScheduleContext&, QWidget*) { return nullptr; }
std::unique_ptr<QDialog> createSummaryForm(const ScheduleContext&, QWidget*) { return nullptr; }

}  // namespace schedules
