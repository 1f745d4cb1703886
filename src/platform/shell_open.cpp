#include "platform/shell_open.h"

#include <QDesktopServices>

namespace platform {

namespace {
DocumentOpener& currentOpener() {
    static DocumentOpener opener;
    return opener;
}
}  // namespace

void openDocument(const QString& path) {
    const QUrl url = QUrl::fromLocalFile(path);
    if (const DocumentOpener& opener = currentOpener()) {
        opener(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

DocumentOpener setDocumentOpener(DocumentOpener opener) {
    return std::exchange(currentOpener(), std::move(opener));
}

}  // namespace platform
