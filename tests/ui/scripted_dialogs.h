#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/dialogs.h"

// Answers the program's dialogs from a script and records everything shown,
// so a test can check every title and text.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind;  // "message", "input", "folder", "open", "save", "shell"
        QString title;
        QString text;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QString initial;  // input text, start folder, proposed name, filter
    };

    // Answers, taken in order; when one runs out, messages answer Ok or No
    // and the other dialogs are cancelled.
    std::deque<Answer> answers;
    // Input, folder and file dialogs; a null QString() is Cancel.
    std::deque<QString> texts;
    std::vector<Shown> shown;
    // Whether a program takes what the shell is asked to open.
    bool shellOpens = true;
    // Runs while a message is up, as the user's time with a real box: its
    // own event loop lets timers and clicks through meanwhile.
    std::function<void(const Shown&)> whileOpen;

    Answer Message(QWidget* owner, const QString& title, const QString& text, Icon icon,
                   Buttons buttons) override;
    std::optional<QString> InputText(QWidget* owner, const QString& caption, const QString& prompt,
                                     const QString& initial, int maxLength) override;
    std::optional<QString> ChooseFolder(QWidget* owner, const QString& title,
                                        const QString& start) override;
    std::optional<QString> OpenFileName(QWidget* owner, const QString& filter,
                                        const QString& defaultExtension) override;
    std::optional<QString> SaveFileName(QWidget* owner, const QString& filter,
                                        const QString& defaultExtension,
                                        const QString& proposedName) override;
    bool ShellOpen(const QString& path) override;

    // Just the messages, as "title|text".
    QStringList Messages() const;
    void Clear() { shown.clear(); }

private:
    std::optional<QString> NextText();
};
