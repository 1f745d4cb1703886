#include "platform/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace platform {

void fitToScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // The frame the window manager adds, where it is known already.
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const int frameWidth = std::max(0, frame.width() - inner.width());
    const int frameHeight = std::max(0, frame.height() - inner.height());
    const QSize most(area.width() - frameWidth, area.height() - frameHeight);
    const QSize size = window->size().boundedTo(most).expandedTo(window->minimumSize());
    if (size != window->size()) window->resize(size);
    // Inside the area, as near to where it was placed as that allows.
    QPoint at = window->frameGeometry().topLeft();
    at.setX(std::clamp(at.x(), area.left(),
                       std::max(area.left(), area.right() + 1 - frameWidth - window->width())));
    at.setY(std::clamp(at.y(), area.top(),
                       std::max(area.top(), area.bottom() + 1 - frameHeight - window->height())));
    if (at != window->frameGeometry().topLeft()) window->move(at);
}

}  // namespace platform
