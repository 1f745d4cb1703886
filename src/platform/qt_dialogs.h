#pragma once

#include "platform/dialogs.h"

namespace platform {

// Dialogs on Qt widgets. Each box is parented to the active modal window (else the active window)
// so that it stays in front of the window that asked. A text of 24 lines or more (a list, such
// as the statement's open items) is shown with its first paragraph over an area that scrolls
// ("LongText") and holds the rest, and its last paragraph (the question) under it, so that the
// buttons stay on the screen.
class QtDialogs : public Dialogs {
  public:
    void showMessage(const QString& text, const QString& caption) override;
    bool confirmYesNo(const QString& text, const QString& caption) override;
    bool confirmOkCancel(const QString& text, const QString& caption) override;
    QString inputBox(const QString& caption, const QString& prompt, const QString& preset) override;
    std::optional<QString> selectDirectory(const QString& start) override;
};

}  // namespace platform
