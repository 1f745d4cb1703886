#pragma once

class QWidget;

namespace platform {

// Makes the window `window` (about to be shown, or shown) no larger than the available area of
// its screen, frame included, and moves it so that it lies wholly inside that area. A window that
// fits is left as it is. Its layout shares out the smaller room as it does on any resize; a
// window whose minimum size is larger than the area keeps that minimum.
void fitToScreen(QWidget* window);

}  // namespace platform
