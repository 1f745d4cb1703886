#include "platform/db_check_box.h"

#include "platform/field_text.h"

namespace platform {

namespace {

bool sameValue(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

bool logicalValue(const QString& value) {
    const QString word = value.trimmed();
    return !word.isEmpty() && QStringLiteral("TtYy").contains(word.at(0));
}

}  // namespace

DbCheckBox::DbCheckBox(QWidget* parent) : DbCheckBox(QString(), parent) {}

DbCheckBox::DbCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent), link_([this] { showField(); }, [this] { storeField(); }, this) {
    connect(this, &QCheckBox::clicked, this, &DbCheckBox::userClicked);
    showField();
}

void DbCheckBox::setValueChecked(const QString& value) {
    checkedValue_ = value;
    showField();
}

void DbCheckBox::setValueUnchecked(const QString& value) {
    uncheckedValue_ = value;
    showField();
}

void DbCheckBox::showField() {
    storage::TField* field = link_.field();
    bool ticked = false;
    if (field && field->DataType() == 'L') {
        // A logical holds T or F whatever words the box uses for them.
        ticked = !field->IsNull() && field->AsBoolean() == logicalValue(checkedValue_);
    } else if (field) {
        ticked = sameValue(fieldDisplayText(*field), checkedValue_);
    }
    setChecked(ticked);
}

void DbCheckBox::storeField() {
    if (storage::TField* field = link_.field()) {
        setFieldFromText(*field, isChecked() ? checkedValue_ : uncheckedValue_);
    }
}

void DbCheckBox::userClicked() {
    if (!link_.beginChange()) {
        showField();
        return;
    }
    runDataAction([this] { link_.updateData(); });
}

}  // namespace platform
