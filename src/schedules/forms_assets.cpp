// The Assets, Liabilities and Summary forms, created with their tables opened.

#include "platform/dialogs.h"
#include "schedules/group_box_schedule.h"
#include "schedules/schedule_forms.h"
#include "schedules/summary_form.h"
#include "storage/dataset.h"

namespace schedules {

namespace {

// Opens the form's tables; a failure is shown and no form is returned (the tables opened so far
// are closed with it, unposted).
std::unique_ptr<QDialog> opened(std::unique_ptr<GroupBoxScheduleForm> form) {
    try {
        form->open();
    } catch (const storage::EAbort&) {
        return nullptr;
    } catch (const std::exception& error) {
        platform::dialogs().showMessage(QString::fromStdString(error.what()));
        return nullptr;
    }
    return form;
}

}  // namespace

class TF_Assets : public GroupBoxScheduleForm {
  public:
    TF_Assets(const ScheduleContext& context, QWidget* owner)
        : GroupBoxScheduleForm(assetsFormDef(), context, owner) {}
};

class TF_Liabilities : public GroupBoxScheduleForm {
  public:
    TF_Liabilities(const ScheduleContext& context, QWidget* owner)
        : GroupBoxScheduleForm(liabilitiesFormDef(), context, owner) {}
};

std::unique_ptr<QDialog> createAssetsForm(const ScheduleContext& context, QWidget* owner) {
    return opened(std::make_unique<TF_Assets>(context, owner));
}

std::unique_ptr<QDialog> createLiabilitiesForm(const ScheduleContext& context, QWidget* owner) {
    return opened(std::make_unique<TF_Liabilities>(context, owner));
}

std::unique_ptr<QDialog> createSummaryForm(const ScheduleContext& context, QWidget* owner) {
    return opened(std::make_unique<TF_Summary>(context, owner));
}

}  // namespace schedules
