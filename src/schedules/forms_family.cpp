// Placeholder factories, replaced by the Family, Expenses and Gross Income forms.

#include "schedules/schedule_forms.h"

namespace schedules {

std::unique_ptr<QDialog> createFamilyForm(const ScheduleContext&, QWidget*) { return nullptr; }
std::unique_ptr<QDialog> createExpensesForm(const ScheduleContext&, QWidget*) { return nullptr; }
std::unique_ptr<QDialog> createIncomeForm(const ScheduleContext&, QWidget*) { return nullptr; }

}  // namespace schedules
