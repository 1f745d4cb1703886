#include "platform/db_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QValidator>

#include "platform/control_text.h"
#include "platform/field_text.h"

namespace platform {

DbEdit::DbEdit(QWidget* parent)
    : QLineEdit(parent), link_([this] { showField(); }, [this] { storeField(); }, this) {
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
            // A number longer than the field is kept for correction (see storeField).
            setMaxLength(isMemoField(*field) || isNumericField(*field) ? 32767 : field->Size());
            setText(text);
        }
        setReadOnly(false);
    }
    showing_ = false;
}

QString DbEdit::valueText() const { return mask_ ? mask_->storedText(displayText()) : text(); }

void DbEdit::storeField() {
    storage::TField* field = link_.field();
    if (!field) return;
    if (mask_ && !mask_->isComplete(displayText()))
        throw storage::EDbfError("Invalid input value.  Use escape key to abandon changes");
    setFieldFromText(*field, valueText(), link_.fieldCaption());
}

void DbEdit::userEdited() {
    if (showing_) return;
    if (!mask_) replaceUnstorable(this);
    if (link_.modified()) return;
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
    if (!link_.modified() || !link_.editing()) return;
    // Switching windows or opening a popup does not leave the box: an incomplete mask is left
    // for the next real move (or the post) to refuse.
    const Qt::FocusReason reason = event->reason();
    const bool leaves = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                        reason != Qt::MenuBarFocusReason;
    const bool incomplete = mask_ && !mask_->isComplete(displayText());
    if (incomplete && !leaves) return;
    if (!runDataAction([this] { link_.updateData(); }) && incomplete) {
        selectAll();
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
    }
}

}  // namespace platform
