#pragma once

#include <QColor>

namespace platform {

// The program's two background colours: cream for the main window and status lines, sky blue
// for the forms and dialogs.
inline QColor creamColor() { return QColor(0xff, 0xfb, 0xf0); }
inline QColor skyBlueColor() { return QColor(0xa6, 0xca, 0xf0); }

}  // namespace platform
