#include "schedules/schedule_frame.h"

#include <QKeyEvent>
#include <QPalette>

#include "platform/colors.h"

namespace schedules {

ScheduleFrame::ScheduleFrame(const ScheduleFormEntry& entry, const ScheduleContext& context,
                             QWidget* owner)
    : QDialog(owner), entry_(entry), context_(context) {
    setObjectName(QLatin1String(entry.objectName));
    setWindowTitle(QLatin1String(entry.caption));
    setModal(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, platform::skyBlueColor());
    setPalette(palette);
    setAutoFillBackground(true);
}

bool ScheduleFrame::FormClose() {
    if (closed_) return true;
    if (!postAndCloseTables()) return false;
    closed_ = true;
    return true;
}

// accept(), reject() and the close box (through reject) all end here; a refused close keeps the
// window shown, which also makes QDialog ignore the close event.
void ScheduleFrame::done(int result) {
    if (FormClose()) QDialog::done(result);
}

void ScheduleFrame::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace schedules
