// The factories of the Family, Expenses and Gross Income forms.

#include "platform/data_source.h"
#include "schedules/expenses_form.h"
#include "schedules/family_form.h"
#include "schedules/income_form.h"
#include "schedules/schedule_forms.h"

namespace schedules {

namespace {

// A form whose table cannot be opened is not shown: the error has been reported.
template <typename Form>
std::unique_ptr<QDialog> openForm(const ScheduleContext& context, QWidget* owner) {
    auto form = std::make_unique<Form>(context, owner);
    if (!platform::runDataAction([&] { form->Open(); })) return nullptr;
    return form;
}

}  // namespace

std::unique_ptr<QDialog> createFamilyForm(const ScheduleContext& context, QWidget* owner) {
    return openForm<TF_Family>(context, owner);
}

std::unique_ptr<QDialog> createExpensesForm(const ScheduleContext& context, QWidget* owner) {
    return openForm<TF_Expenses>(context, owner);
}

std::unique_ptr<QDialog> createIncomeForm(const ScheduleContext& context, QWidget* owner) {
    return openForm<TF_Income>(context, owner);
}

}  // namespace schedules
