#include "platform/db_radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include "platform/field_text.h"

namespace platform {

DbRadioGroup::DbRadioGroup(QWidget* parent) : DbRadioGroup(QString(), parent) {}

DbRadioGroup::DbRadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent),
      link_([this] { showField(); }, [this] { storeField(); }, this),
      buttons_(new QButtonGroup(this)),
      layout_(new QGridLayout(this)) {
    connect(buttons_, &QButtonGroup::idClicked, this, &DbRadioGroup::userChose);
}

void DbRadioGroup::setItems(const QStringList& captions, const QStringList& values) {
    captions_ = captions;
    values_ = values;
    rebuild();
}

void DbRadioGroup::setColumns(int columns) {
    columns_ = std::max(1, columns);
    rebuild();
}

void DbRadioGroup::rebuild() {
    for (QAbstractButton* button : buttons_->buttons()) {
        buttons_->removeButton(button);
        delete button;
    }
    const int count = int(captions_.size());
    const int rows = (count + columns_ - 1) / columns_;
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(captions_[i], this);
        button->setObjectName(QStringLiteral("Choice%1").arg(i));
        buttons_->addButton(button, i);
        layout_->addWidget(button, rows ? i % rows : 0, rows ? i / rows : 0);
    }
    showField();
}

QString DbRadioGroup::valueOf(int index) const {
    if (index < 0 || index >= captions_.size()) return QString();
    return index < values_.size() ? values_[index] : captions_[index];
}

int DbRadioGroup::itemIndex() const { return buttons_->checkedId(); }

void DbRadioGroup::showField() {
    storage::TField* field = link_.field();
    int selected = -1;
    if (field) {
        const QString stored = fieldDisplayText(*field);
        for (int i = 0; i < captions_.size(); ++i) {
            if (valueOf(i).trimmed() == stored.trimmed()) {
                selected = i;
                break;
            }
        }
    }
    // An exclusive group cannot clear its choice; lift the rule while setting.
    buttons_->setExclusive(false);
    for (QAbstractButton* button : buttons_->buttons()) {
        button->setChecked(buttons_->id(button) == selected);
    }
    buttons_->setExclusive(true);
}

void DbRadioGroup::storeField() {
    storage::TField* field = link_.field();
    const int index = itemIndex();
    if (field && index >= 0) setFieldFromText(*field, valueOf(index));
}

void DbRadioGroup::userChose(int) {
    if (!link_.beginChange()) {
        showField();
        return;
    }
    runDataAction([this] { link_.updateData(); });
    emit chosen(itemIndex());
}

}  // namespace platform
