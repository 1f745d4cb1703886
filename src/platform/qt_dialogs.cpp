#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

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

bool ask(QMessageBox::StandardButtons buttons, QMessageBox::StandardButton yes, const QString& text,
         const QString& caption) {
    QMessageBox box(QMessageBox::Question, captionOr(caption, QStringLiteral("Confirm")), text,
                    buttons, ownerWindow());
    box.setDefaultButton(yes);
    return box.exec() == yes;
}

}  // namespace

void QtDialogs::showMessage(const QString& text, const QString& caption) {
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
