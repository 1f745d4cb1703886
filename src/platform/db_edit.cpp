#include "platform/db_edit.h"

#include <QKeyEvent>
#include <QValidator>

#include "platform/field_text.h"

namespace platform {

DbEdit::DbEdit(QWidget* parent)
    : QLineEdit(parent), link_([this] { showField(); }, [this] { storeField(); }) {
    connect(this, &QLineEdit::textEdited, this, &DbEdit::userEdited);
    showField();
}

void DbEdit::setEntryMask(const QString& mask) {
    mask_ = EntryMask::parse(mask);
    showField();
}

void DbEdit::showField() {
    showing_ = true;
    storage::TField* field = link_.field();
    setInputMask(mask_ ? mask_->inputMask() : QString());
    delete validator();
    setValidator(field && !mask_ ? numberValidator(*field, this) : nullptr);
    if (!field) {
        setText(QString());
        setReadOnly(true);
    } else {
        const QString text = fieldDisplayText(*field);
        if (mask_) {
            setText(mask_->editText(text));
        } else {
            setMaxLength(isMemoField(*field) ? 32767 : field->Size());
            setText(text);
        }
        setReadOnly(false);
    }
    showing_ = false;
}

QString DbEdit::valueText() const { return mask_ ? mask_->storedText(displayText()) : text(); }

void DbEdit::storeField() {
    if (storage::TField* field = link_.field()) setFieldFromText(*field, valueText());
}

void DbEdit::userEdited() {
    if (showing_ || link_.modified()) return;
    if (!link_.beginChange()) showField();
}

void DbEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && link_.modified()) {
        link_.reset();
        selectAll();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DbEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (link_.modified() && link_.editing()) runDataAction([this] { link_.updateData(); });
}

}  // namespace platform
