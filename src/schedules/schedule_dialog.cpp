#include "schedules/schedule_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPalette>

#include "platform/colors.h"
#include "platform/data_source.h"
#include "schedules/table_catalog.h"

namespace schedules {

using storage::DataSetState;

ScheduleDialog::ScheduleDialog(const ScheduleContext& context, QWidget* owner)
    : QDialog(owner), context_(context) {
    setModal(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, platform::skyBlueColor());
    setPalette(palette);
    setAutoFillBackground(true);
}

ScheduleDialog::~ScheduleDialog() {
    // Released without closing (a failed opening): leave the table closed, unposted.
    if (table_) table_->Close();
}

storage::TDbfTable& ScheduleDialog::createTable(const TableDef& definition) {
    table_ = std::make_unique<storage::TDbfTable>(definition.component);
    applyDefinition(*table_, definition, context_.dataDirectory);
    return *table_;
}

bool ScheduleDialog::locateOrInsert() {
    const std::string matter = context_.currentMatter().toStdString();
    if (table_->Locate("matter", {matter}, storage::loCaseInsensitive)) {
        table_->Edit();
        return false;
    }
    table_->Insert();
    return true;
}

bool ScheduleDialog::FormClose() {
    if (closed_) return true;
    if (table_ && table_->Active()) {
        const bool posted = platform::runDataAction([this] {
            if (table_->State() == DataSetState::Edit || table_->State() == DataSetState::Insert) {
                table_->Post();
            }
        });
        // A refused lock leaves the change pending; so does a question answered No.
        if (!posted || table_->State() != DataSetState::Browse) return false;
        table_->Close();
    }
    closed_ = true;
    return true;
}

void ScheduleDialog::closeEvent(QCloseEvent* event) {
    if (!FormClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ScheduleDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ScheduleDialog::reject() {
    if (FormClose()) QDialog::reject();
}

QString fieldText(storage::TDbfPrimDataset& table, const char* name) {
    return QString::fromStdString(table.FieldByName(name).AsString());
}

}  // namespace schedules
