#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/dialogs.h"

namespace platform {

// Dialogs for tests: records every box shown, in order, and answers from a queue that the test
// fills before it acts. Message boxes need no answer. A question that finds no answer, or an
// answer meant for another kind of box, is noted in failures() and declined (No, Cancel, the
// preset text, no directory), so a test sees it instead of hanging on a real box.
class ScriptedDialogs : public Dialogs {
  public:
    enum class Kind { Message, YesNo, OkCancel, Input, SelectDirectory };

    // One box as it was shown. For an input box `text` is the preset; for the directory chooser
    // `caption` is "Select Directory" and `text` the start directory.
    struct Shown {
        Kind kind;
        QString caption;
        QString prompt;
        QString text;
    };

    // Queue answers for the boxes to come, in the order they will be asked.
    void answerYes();
    void answerNo();
    void answerOk();
    void answerCancel();
    void answerInput(const QString& text);
    void answerInputCancel();
    void answerDirectory(const QString& directory);
    void answerDirectoryCancel();

    // Called after each box is recorded and before it is answered, e.g. to look at the program's
    // state at that moment.
    void setOnShown(std::function<void(const Shown&)> observer) { onShown_ = std::move(observer); }

    const QList<Shown>& shown() const { return shown_; }
    QStringList shownTexts() const;           // the `text` of every box, in order
    QStringList shownTexts(Kind kind) const;  // the same, for one kind of box
    int pendingAnswers() const { return int(answers_.size()); }
    const QStringList& failures() const { return failures_; }
    void clear();  // forgets boxes shown, answers pending and failures

    void showMessage(const QString& text, const QString& caption) override;
    bool confirmYesNo(const QString& text, const QString& caption) override;
    bool confirmOkCancel(const QString& text, const QString& caption) override;
    QString inputBox(const QString& caption, const QString& prompt, const QString& preset) override;
    std::optional<QString> selectDirectory(const QString& start) override;

  private:
    struct Answer {
        Kind kind;
        bool accept;
        QString text;
    };

    void record(Kind kind, const QString& caption, const QString& prompt, const QString& text);
    std::optional<Answer> take(Kind kind, const QString& text);

    QList<Shown> shown_;
    QList<Answer> answers_;
    QStringList failures_;
    std::function<void(const Shown&)> onShown_;
};

// Installs a fresh ScriptedDialogs for the lifetime of this object and puts the previous
// instance back afterwards.
class ScopedScriptedDialogs {
  public:
    ScopedScriptedDialogs();
    ~ScopedScriptedDialogs();
    ScopedScriptedDialogs(const ScopedScriptedDialogs&) = delete;
    ScopedScriptedDialogs& operator=(const ScopedScriptedDialogs&) = delete;

    ScriptedDialogs& script() { return *script_; }
    ScriptedDialogs* operator->() { return script_; }

  private:
    ScriptedDialogs* script_;  // owned by the process-wide slot while installed
    std::unique_ptr<Dialogs> previous_;
};

}  // namespace platform
