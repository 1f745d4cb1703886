#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace platform {

// How the data-aware controls name their fields to the user and tell what happens to typed text.

// The caption the user reads for a control: the text of the label whose buddy it is, else a
// button's own text or a group box's title; without accelerator marks and a trailing colon.
// Empty when the control has none.
QString controlCaption(const QWidget* control);

// Shows `text` for a while in the status line of the control's window, or when that window has
// none, of the window it belongs to (a form's owner, the main window).
void showStatusText(const QWidget* control, const QString& text);

// Text as the tables hold it (code page 437): each character without a byte there is "?".
QString storableText(const QString& text);
// While the user types: replaces at once the characters the tables cannot hold by "?", keeping
// the cursor where it was, and says why in the status line (showStatusText). True when any was
// replaced.
bool replaceUnstorable(QLineEdit* edit);
bool replaceUnstorable(QPlainTextEdit* memo);
// The status line's text for the characters replaced.
QString unstorableNotice(const QString& characters);

}  // namespace platform
