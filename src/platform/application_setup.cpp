#include "platform/application_setup.h"

#include <QPixmapCache>

namespace platform {

void setUpApplication() {
    // The forms are made anew at every opening, each with palettes of its own, and the style
    // keys the pixmaps it caches by palette: those of a closed form are never drawn again. A
    // small cache keeps the memory of a long session flat (Qt's default would grow by 10 MB).
    QPixmapCache::setCacheLimit(2 * 1024);
}

}  // namespace platform
