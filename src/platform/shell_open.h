#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace platform {

// Asks the desktop to open a document with its usual viewer. The result is ignored: a missing
// file or viewer brings no message from the program.
void openDocument(const QString& path);

// What openDocument hands the document's URL to. Tests install a recorder; an empty function
// restores QDesktopServices::openUrl. Returns the previous opener.
using DocumentOpener = std::function<void(const QUrl&)>;
DocumentOpener setDocumentOpener(DocumentOpener opener);

}  // namespace platform
