#include "schedules/summary_form.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "platform/dialogs.h"
#include "schedules/locale_date.h"

namespace schedules {

TF_Summary::TF_Summary(const ScheduleFormEntry& entry, const ScheduleContext& context,
                       QWidget* owner)
    : GroupBoxScheduleForm(entry, summaryFormDef(), context, owner) {
    dateBox_ = control("T_Axfered", "xdate");
    if (dateBox_) dateBox_->installEventFilter(this);
}

void TF_Summary::DbEdit1Exit() {
    auto* box = qobject_cast<QLineEdit*>(dateBox_);
    if (box && !parseShortDate(box->text(), dateLocale_)) {
        platform::dialogs().showMessage(QStringLiteral("Date Error"));
    }
}

bool TF_Summary::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dateBox_ && event->type() == QEvent::FocusOut) {
        // Only a move to another control of the form leaves the box; switching windows or a
        // popup does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            DbEdit1Exit();
        }
    }
    return GroupBoxScheduleForm::eventFilter(watched, event);
}

}  // namespace schedules
