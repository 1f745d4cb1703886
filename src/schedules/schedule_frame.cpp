#include "schedules/schedule_frame.h"

#include <QKeyEvent>
#include <QPalette>

#include "platform/colors.h"
#include "platform/screen_fit.h"
#include "schedules/schedule_table.h"

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

    const catalog::TableSet set = entry.tables();
    for (size_t i = 0; i < set.size(); ++i) {
        auto table = std::make_unique<ScheduleTable>(set[i], context_);
        table->dataSource().setObjectName(QStringLiteral("DataSource%1").arg(i + 1));
        table->dataSource().setParent(this);  // found by name; deleted with its table
        tables_.push_back(std::move(table));
    }
}

ScheduleFrame::~ScheduleFrame() = default;

ScheduleTable* ScheduleFrame::scheduleTable(std::string_view component) const {
    for (const auto& table : tables_) {
        if (component == table->definition().component) return table.get();
    }
    return nullptr;
}

ScheduleTable& ScheduleFrame::requireTable(std::string_view component) const {
    ScheduleTable* table = scheduleTable(component);
    if (!table) {
        qFatal("%s: no table %.*s in the form's table set", entry_.objectName,
               int(component.size()), component.data());
    }
    return *table;
}

bool ScheduleFrame::FormClose() {
    if (closed_) return true;
    for (const auto& table : tables_) {
        if (!table->post()) return false;
    }
    for (const auto& table : tables_) table->close();
    closed_ = true;
    return true;
}

// accept(), reject() and the close box (through reject) all end here; a refused close keeps the
// window shown, which also makes QDialog ignore the close event.
void ScheduleFrame::done(int result) {
    if (FormClose()) QDialog::done(result);
}

void ScheduleFrame::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (fitted_) return;
    fitted_ = true;
    platform::fitToScreen(this);
}

void ScheduleFrame::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace schedules
