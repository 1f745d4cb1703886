#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/directory_chooser.h"

namespace platform {

namespace {

QWidget* ownerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

QString captionOr(const QString& caption, const QString& fallback) {
    return caption.isEmpty() ? fallback : caption;
}

// A text of more lines than this is shown in a box that scrolls: a message box grows with its
// text, past the screen.
constexpr int kLongTextLines = 24;

bool isLong(const QString& text) { return text.count(QLatin1Char('\n')) >= kLongTextLines; }

// The first paragraph as the box's message, the rest in a read-only area that scrolls, and the
// buttons; returns the button chosen (Escape and the close box: the last of them).
QDialogButtonBox::StandardButton showLong(QDialogButtonBox::StandardButtons buttons,
                                          QDialogButtonBox::StandardButton preferred,
                                          QDialogButtonBox::StandardButton rejected,
                                          const QString& text, const QString& caption) {
    QDialog box(ownerWindow());
    box.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&box);
    // The first paragraph over the area, the last (the question) under it.
    const qsizetype first = text.indexOf(QStringLiteral("\n\n"));
    const qsizetype last = text.lastIndexOf(QStringLiteral("\n\n"));
    auto* message = new QLabel(first < 0 ? QString() : text.left(first), &box);
    message->setWordWrap(true);
    layout->addWidget(message);
    const QString middle = first < 0      ? text
                           : last > first ? text.mid(first + 2, last - first - 2)
                                          : text.mid(first + 2);
    auto* rest = new QPlainTextEdit(middle, &box);
    rest->setObjectName(QStringLiteral("LongText"));
    rest->setReadOnly(true);
    rest->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(rest, 1);
    if (last > first) {
        auto* question = new QLabel(text.mid(last + 2), &box);
        question->setWordWrap(true);
        layout->addWidget(question);
    }
    auto* choices = new QDialogButtonBox(buttons, &box);
    QDialogButtonBox::StandardButton chosen = rejected;
    QObject::connect(choices, &QDialogButtonBox::clicked, &box, [&](QAbstractButton* button) {
        chosen = choices->standardButton(button);
        box.done(0);
    });
    choices->button(preferred)->setDefault(true);
    layout->addWidget(choices);
    const QRect screen = box.screen() ? box.screen()->availableGeometry() : QRect(0, 0, 800, 600);
    box.resize(qMin(720, screen.width() * 9 / 10), screen.height() * 2 / 3);
    box.exec();
    return chosen;
}

bool ask(QMessageBox::StandardButtons buttons, QMessageBox::StandardButton yes, const QString& text,
         const QString& caption) {
    const QString title = captionOr(caption, QStringLiteral("Confirm"));
    if (isLong(text)) {
        const auto no = yes == QMessageBox::Yes ? QDialogButtonBox::No : QDialogButtonBox::Cancel;
        const auto preferred = static_cast<QDialogButtonBox::StandardButton>(int(yes));
        return showLong(QDialogButtonBox::StandardButtons(int(buttons)), preferred, no, text,
                        title) == preferred;
    }
    QMessageBox box(QMessageBox::Question, title, text, buttons, ownerWindow());
    box.setDefaultButton(yes);
    return box.exec() == yes;
}

}  // namespace

void QtDialogs::showMessage(const QString& text, const QString& caption) {
    if (isLong(text)) {
        showLong(QDialogButtonBox::Ok, QDialogButtonBox::Ok, QDialogButtonBox::Ok, text,
                 captionOr(caption, defaultDialogCaption()));
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, captionOr(caption, defaultDialogCaption()), text,
                    QMessageBox::Ok, ownerWindow());
    box.exec();
}

bool QtDialogs::confirmYesNo(const QString& text, const QString& caption) {
    return ask(QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, text, caption);
}

bool QtDialogs::confirmOkCancel(const QString& text, const QString& caption) {
    return ask(QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, text, caption);
}

QString QtDialogs::inputBox(const QString& caption, const QString& prompt, const QString& preset) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(ownerWindow(), caption, prompt, QLineEdit::Normal, preset, &accepted);
    return accepted ? text : preset;
}

std::optional<QString> QtDialogs::selectDirectory(const QString& start) {
    DirectoryChooser chooser(start, ownerWindow());
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    return chooser.selectedDirectory();
}

}  // namespace platform
