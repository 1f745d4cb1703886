#include "platform/progress_window.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include "storage/indexed_table.h"

namespace platform {

namespace {

QPointer<QLabel> window;

void showProgress(const std::string& text) {
    if (text.empty()) {
        if (window) window->hide();
        return;
    }
    if (!window) {
        window = new QLabel;
        window->setObjectName(QStringLiteral("IndexProgress"));
        window->setWindowTitle(QStringLiteral("Indexing"));
        window->setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
        window->setMargin(16);
        window->setMinimumWidth(360);
    }
    window->setText(QString::fromStdString(text));
    window->show();
    // The build runs on this thread: paint the window before it starts.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void installIndexProgressWindow() { storage::setIndexProgressHandler(showProgress); }

}  // namespace platform
