#include "platform/db_memo.h"

#include <QKeyEvent>

#include "platform/control_text.h"
#include "platform/field_text.h"

namespace platform {

DbMemo::DbMemo(QWidget* parent)
    : QPlainTextEdit(parent), link_([this] { showField(); }, [this] { storeField(); }, this) {
    connect(this, &QPlainTextEdit::textChanged, this, &DbMemo::userChanged);
    showField();
}

void DbMemo::showField() {
    showing_ = true;
    storage::TField* field = link_.field();
    setPlainText(field ? fieldDisplayText(*field) : QString());
    setReadOnly(!field);
    showing_ = false;
}

void DbMemo::storeField() {
    if (storage::TField* field = link_.field()) setFieldFromText(*field, toPlainText());
}

void DbMemo::userChanged() {
    if (showing_ || replacing_) return;
    replacing_ = true;
    replaceUnstorable(this);
    replacing_ = false;
    if (link_.modified()) return;
    if (link_.beginChange()) return;
    // The change could not start (the table refused it): undo what was typed.
    showField();
}

void DbMemo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && link_.modified()) {
        link_.reset();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DbMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (link_.modified() && link_.editing()) runDataAction([this] { link_.updateData(); });
}

}  // namespace platform
