#include "schedules/schedule_frame.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <algorithm>

#include "platform/colors.h"
#include "platform/db_combo_box.h"
#include "platform/screen_fit.h"
#include "schedules/answer_marks.h"
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
    if (!formItems(entry.objectName).empty()) {
        marks_ = std::make_unique<ScheduleTable>(catalog::marksTable(), context_);
        marks_->dataSource().setObjectName(QStringLiteral("MarksSource"));
        marks_->dataSource().setParent(this);
        marks_->dropEmptyNewRecords();
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
    if (marks_ && !marks_->post()) return false;
    for (const auto& table : tables_) table->close();
    if (marks_) marks_->close();
    closed_ = true;
    return true;
}

void ScheduleFrame::openMarks() {
    if (marks_) marks_->open();
}

const catalog::StatementItem* ScheduleFrame::markItem(const char* component,
                                                      const char* field) const {
    return marks_ ? formItem(entry_.objectName, component, field) : nullptr;
}

platform::DbComboBox* ScheduleFrame::markChoice(const catalog::StatementItem& item,
                                                QWidget* parent) {
    markPlaced(item);
    return newMarkChoice(item, &marks_->dataSource(), parent);
}

QWidget* ScheduleFrame::unplacedMarks(const QString& title, const QString& note, QWidget* parent) {
    std::vector<const catalog::StatementItem*> rest;
    for (const catalog::StatementItem* item : formItems(entry_.objectName)) {
        if (std::find(placed_.begin(), placed_.end(), item) == placed_.end()) rest.push_back(item);
    }
    if (rest.empty() || !marks_) return nullptr;
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QStringLiteral("OtherMarks"));
    auto* grid = new QGridLayout(box);
    auto* text = new QLabel(note, box);
    text->setWordWrap(true);
    grid->addWidget(text, 0, 0, 1, 2);
    int row = 1;
    for (const catalog::StatementItem* item : rest) {
        platform::DbComboBox* choice = markChoice(*item, box);
        auto* label = new QLabel(QString::fromUtf8(item->label), box);
        label->setBuddy(choice);
        grid->addWidget(label, row, 0);
        grid->addWidget(choice, row++, 1, Qt::AlignRight);
    }
    grid->setColumnStretch(0, 1);
    return box;
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
