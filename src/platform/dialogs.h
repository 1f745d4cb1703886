#pragma once

#include <QString>
#include <memory>
#include <optional>

namespace platform {

// The program's message, confirmation, input and directory boxes. Every box the program shows
// goes through the current instance, so that tests can install a scripted one that records each
// text and answers from a script. All calls are modal: they return when the box is closed.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A plain message box with an OK button. An empty caption uses the program's title.
    virtual void showMessage(const QString& text, const QString& caption = QString()) = 0;

    // A confirmation box with Yes and No buttons; true for Yes. Closing the box counts as No.
    virtual bool confirmYesNo(const QString& text, const QString& caption = QString()) = 0;

    // A confirmation box with OK and Cancel buttons; true for OK. Closing the box is Cancel.
    virtual bool confirmOkCancel(const QString& text, const QString& caption = QString()) = 0;

    // An input box showing `preset` in its edit line. Returns the text the user confirmed, or
    // `preset` itself when the user cancels: callers cannot tell a cancel from an unchanged preset.
    virtual QString inputBox(const QString& caption, const QString& prompt,
                             const QString& preset) = 0;

    // The directory chooser captioned "Select Directory", opened at `start`. Returns the chosen
    // directory (absolute, native separators, no trailing separator except for a root), or
    // nothing when the user cancels. A typed directory that does not exist is created after the
    // user agrees, so a returned directory exists.
    virtual std::optional<QString> selectDirectory(const QString& start) = 0;
};

// The process-wide instance. When none has been installed, the first call installs the Qt one.
Dialogs& dialogs();

// Installs `next` as the process-wide instance (null: back to the Qt one on next use) and hands
// back the previous instance, so that a test can put it back when it ends.
std::unique_ptr<Dialogs> installDialogs(std::unique_ptr<Dialogs> next);

// The caption of boxes shown without one of their own.
QString defaultDialogCaption();

}  // namespace platform
