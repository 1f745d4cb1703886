#include "platform/dialogs.h"

#include <QGuiApplication>

#include "platform/qt_dialogs.h"

namespace platform {

namespace {
std::unique_ptr<Dialogs>& currentDialogs() {
    static std::unique_ptr<Dialogs> current;
    return current;
}
}  // namespace

Dialogs& dialogs() {
    auto& current = currentDialogs();
    if (!current) current = std::make_unique<QtDialogs>();
    return *current;
}

std::unique_ptr<Dialogs> installDialogs(std::unique_ptr<Dialogs> next) {
    auto previous = std::move(currentDialogs());
    currentDialogs() = std::move(next);
    return previous;
}

QString defaultDialogCaption() {
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Quillmark Net Worth") : name;
}

}  // namespace platform
