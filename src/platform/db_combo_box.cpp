#include "platform/db_combo_box.h"

#include "platform/field_text.h"

namespace platform {

DbComboBox::DbComboBox(QWidget* parent)
    : QComboBox(parent), link_([this] { showField(); }, [this] { storeField(); }) {
    connect(this, &QComboBox::activated, this, &DbComboBox::userChose);
    showField();
}

void DbComboBox::setItems(const QStringList& captions, const QStringList& values) {
    const QSignalBlocker quiet(this);
    clear();
    addItems(captions);
    values_ = values;
    showField();
}

QString DbComboBox::valueOf(int index) const {
    if (index < 0 || index >= count()) return QString();
    return index < values_.size() ? values_[index] : itemText(index);
}

QString DbComboBox::currentValue() const { return valueOf(currentIndex()); }

void DbComboBox::showField() {
    storage::TField* field = link_.field();
    setEnabled(field != nullptr);
    int shown = -1;
    if (field) {
        const QString stored = fieldDisplayText(*field).trimmed();
        for (int i = 0; i < count(); ++i) {
            if (valueOf(i).trimmed() == stored) {
                shown = i;
                break;
            }
        }
    }
    const QSignalBlocker quiet(this);
    setCurrentIndex(shown);
}

void DbComboBox::storeField() {
    storage::TField* field = link_.field();
    if (field && currentIndex() >= 0) setFieldFromText(*field, currentValue());
}

void DbComboBox::userChose(int) {
    if (!link_.beginChange()) {
        showField();
        return;
    }
    runDataAction([this] { link_.updateData(); });
}

}  // namespace platform
