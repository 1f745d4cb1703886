#include "platform/db_list_box.h"

#include <QKeyEvent>

namespace platform {

DbListBox::DbListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit chosen(row(item)); });
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit doubleClickedRow(row(item)); });
}

void DbListBox::setItems(const QStringList& texts) {
    clear();
    addItems(texts);
}

QStringList DbListBox::items() const {
    QStringList texts;
    for (int i = 0; i < count(); ++i) texts << item(i)->text();
    return texts;
}

void DbListBox::selectRow(int row) { setCurrentRow(row); }

QString DbListBox::selectedText() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void DbListBox::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0) emit chosen(currentRow());
}

}  // namespace platform
