#include "platform/control_text.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>

#include "storage/codepage.h"

namespace platform {

namespace {

QString plainCaption(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    text.replace(QLatin1String("&&"), QLatin1String("&"));
    text = text.simplified();
    while (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text.trimmed();
}

}  // namespace

QString controlCaption(const QWidget* control) {
    if (!control) return QString();
    for (const QLabel* label : control->window()->findChildren<QLabel*>()) {
        if (label->buddy() == control) return plainCaption(label->text());
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return plainCaption(button->text());
    if (auto* box = qobject_cast<const QGroupBox*>(control)) return plainCaption(box->title());
    return QString();
}

void showStatusText(const QWidget* control, const QString& text) {
    constexpr int kShownMs = 10000;
    for (const QWidget* window = control ? control->window() : nullptr; window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
        // The window's own status line, not one of a form it owns.
        if (auto* bar = window->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly)) {
            bar->showMessage(text, kShownMs);
            return;
        }
    }
}

QString storableText(const QString& text) {
    return QString::fromStdString(storage::storableText(text.toStdString()));
}

namespace {

// The characters of `text` that the tables cannot hold, each once.
QString unstorableIn(const QString& text) {
    QString found;
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if (c != U'?' && storableText(character) == QLatin1String("?") &&
            !found.contains(character))
            found += character;
    }
    return found;
}

}  // namespace

QString unstorableNotice(const QString& characters) {
    QStringList quoted;
    for (const char32_t c : characters.toUcs4())
        quoted << QStringLiteral("\"%1\"").arg(QString::fromUcs4(&c, 1));
    return (quoted.size() == 1
                ? QStringLiteral("%1 cannot be stored in the tables and is saved as \"?\".")
                : QStringLiteral("%1 cannot be stored in the tables and are saved as \"?\"."))
        .arg(quoted.join(QStringLiteral(", ")));
}

bool replaceUnstorable(QLineEdit* edit) {
    const QString text = edit->text();
    const QString characters = unstorableIn(text);
    if (characters.isEmpty()) return false;
    const int cursor = edit->cursorPosition();
    const QString head = storableText(text.left(cursor));
    edit->setText(head + storableText(text.mid(cursor)));
    edit->setCursorPosition(int(head.size()));
    showStatusText(edit, unstorableNotice(characters));
    return true;
}

bool replaceUnstorable(QPlainTextEdit* memo) {
    const QString text = memo->toPlainText();
    const QString characters = unstorableIn(text);
    if (characters.isEmpty()) return false;
    // Each character in place, so that the cursor and the rest of the text stay as they are.
    QTextCursor cursor(memo->document());
    cursor.beginEditBlock();
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
        const QString line = block.text();
        for (int i = line.size() - 1; i >= 0; --i) {
            const int length = line.at(i).isLowSurrogate() && i > 0 ? 2 : 1;
            const int start = length == 2 ? i - 1 : i;
            const QString character = line.mid(start, length);
            if (!characters.contains(character)) continue;
            cursor.setPosition(block.position() + start);
            cursor.setPosition(block.position() + start + length, QTextCursor::KeepAnchor);
            cursor.insertText(QStringLiteral("?"));
            i = start;
        }
    }
    cursor.endEditBlock();
    showStatusText(memo, unstorableNotice(characters));
    return true;
}

}  // namespace platform
