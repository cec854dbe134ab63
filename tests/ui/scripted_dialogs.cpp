#include "scripted_dialogs.h"

Dialogs::Answer ScriptedDialogs::Message(QWidget*, const QString& title, const QString& text,
                                         Icon icon, Buttons buttons) {
    shown.push_back({"message", title, text, icon, buttons, {}});
    if (whileOpen) {
        const Shown open = shown.back();  // more may be shown meanwhile
        whileOpen(open);
    }
    if (answers.empty()) {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<QString> ScriptedDialogs::NextText() {
    if (texts.empty()) {
        return std::nullopt;
    }
    const QString t = texts.front();
    texts.pop_front();
    if (t.isNull()) {
        return std::nullopt;
    }
    return t;
}

std::optional<QString> ScriptedDialogs::InputText(QWidget*, const QString& caption,
                                                  const QString& prompt, const QString& initial,
                                                  int maxLength) {
    shown.push_back({"input", caption, prompt, Icon::None, Buttons::Ok,
                     initial + "|" + QString::number(maxLength)});
    return NextText();
}

std::optional<QString> ScriptedDialogs::ChooseFolder(QWidget*, const QString& title,
                                                     const QString& start) {
    shown.push_back({"folder", title, {}, Icon::None, Buttons::Ok, start});
    return NextText();
}

std::optional<QString> ScriptedDialogs::OpenFileName(QWidget*, const QString& filter,
                                                     const QString& defaultExtension) {
    shown.push_back({"open", {}, defaultExtension, Icon::None, Buttons::Ok, filter});
    return NextText();
}

std::optional<QString> ScriptedDialogs::SaveFileName(QWidget*, const QString& filter,
                                                     const QString& defaultExtension,
                                                     const QString& proposedName) {
    shown.push_back({"save", proposedName, defaultExtension, Icon::None, Buttons::Ok, filter});
    return NextText();
}

bool ScriptedDialogs::ShellOpen(const QString& path) {
    shown.push_back({"shell", {}, path, Icon::None, Buttons::Ok, {}});
    return shellOpens;
}

QStringList ScriptedDialogs::Messages() const {
    QStringList out;
    for (const Shown& s : shown) {
        if (s.kind == "message") {
            out << s.title + "|" + s.text;
        }
    }
    return out;
}
