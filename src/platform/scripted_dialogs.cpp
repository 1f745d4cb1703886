#include "platform/scripted_dialogs.h"

namespace platform {

namespace {
const char* kindName(ScriptedDialogs::Kind kind) {
    switch (kind) {
        case ScriptedDialogs::Kind::Message:
            return "message";
        case ScriptedDialogs::Kind::YesNo:
            return "Yes/No question";
        case ScriptedDialogs::Kind::OkCancel:
            return "OK/Cancel question";
        case ScriptedDialogs::Kind::Input:
            return "input box";
        case ScriptedDialogs::Kind::SelectDirectory:
            return "directory chooser";
    }
    return "box";
}
}  // namespace

void ScriptedDialogs::answerYes() { answers_.append({Kind::YesNo, true, {}}); }
void ScriptedDialogs::answerNo() { answers_.append({Kind::YesNo, false, {}}); }
void ScriptedDialogs::answerOk() { answers_.append({Kind::OkCancel, true, {}}); }
void ScriptedDialogs::answerCancel() { answers_.append({Kind::OkCancel, false, {}}); }
void ScriptedDialogs::answerInput(const QString& text) {
    answers_.append({Kind::Input, true, text});
}
void ScriptedDialogs::answerInputCancel() { answers_.append({Kind::Input, false, {}}); }
void ScriptedDialogs::answerDirectory(const QString& directory) {
    answers_.append({Kind::SelectDirectory, true, directory});
}
void ScriptedDialogs::answerDirectoryCancel() {
    answers_.append({Kind::SelectDirectory, false, {}});
}

QStringList ScriptedDialogs::shownTexts() const {
    QStringList texts;
    for (const Shown& box : shown_) texts << box.text;
    return texts;
}

QStringList ScriptedDialogs::shownTexts(Kind kind) const {
    QStringList texts;
    for (const Shown& box : shown_) {
        if (box.kind == kind) texts << box.text;
    }
    return texts;
}

void ScriptedDialogs::clear() {
    shown_.clear();
    answers_.clear();
    failures_.clear();
}

void ScriptedDialogs::record(Kind kind, const QString& caption, const QString& prompt,
                             const QString& text) {
    shown_.append({kind, caption, prompt, text});
    if (onShown_) onShown_(shown_.back());
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::take(Kind kind, const QString& text) {
    if (answers_.isEmpty()) {
        failures_ << QStringLiteral("no answer scripted for %1 \"%2\"")
                         .arg(QLatin1String(kindName(kind)), text);
        return std::nullopt;
    }
    if (answers_.front().kind != kind) {
        failures_ << QStringLiteral("%1 \"%2\" got the answer for a %3")
                         .arg(QLatin1String(kindName(kind)), text,
                              QLatin1String(kindName(answers_.front().kind)));
        return std::nullopt;
    }
    return answers_.takeFirst();
}

void ScriptedDialogs::showMessage(const QString& text, const QString& caption) {
    record(Kind::Message, caption, {}, text);
}

bool ScriptedDialogs::confirmYesNo(const QString& text, const QString& caption) {
    record(Kind::YesNo, caption, {}, text);
    const auto answer = take(Kind::YesNo, text);
    return answer && answer->accept;
}

bool ScriptedDialogs::confirmOkCancel(const QString& text, const QString& caption) {
    record(Kind::OkCancel, caption, {}, text);
    const auto answer = take(Kind::OkCancel, text);
    return answer && answer->accept;
}

QString ScriptedDialogs::inputBox(const QString& caption, const QString& prompt,
                                  const QString& preset) {
    record(Kind::Input, caption, prompt, preset);
    const auto answer = take(Kind::Input, prompt);
    return answer && answer->accept ? answer->text : preset;
}

std::optional<QString> ScriptedDialogs::selectDirectory(const QString& start) {
    record(Kind::SelectDirectory, QStringLiteral("Select Directory"), {}, start);
    const auto answer = take(Kind::SelectDirectory, start);
    if (!answer || !answer->accept) return std::nullopt;
    return answer->text;
}

ScopedScriptedDialogs::ScopedScriptedDialogs() {
    auto script = std::make_unique<ScriptedDialogs>();
    script_ = script.get();
    previous_ = installDialogs(std::move(script));
}

ScopedScriptedDialogs::~ScopedScriptedDialogs() { installDialogs(std::move(previous_)); }

}  // namespace platform
