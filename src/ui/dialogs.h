#pragma once

#include <QString>
#include <optional>

class QWidget;

// Every message box, question and file or folder dialog of the program, and
// the shell's "open", go through this one interface: the program shows real
// dialogs, tests answer them and check every title and text.
class Dialogs {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Dialogs() = default;

    virtual Answer Message(QWidget* owner, const QString& title, const QString& text, Icon icon,
                           Buttons buttons) = 0;

    // A one-line text input holding `initial`, selected. Nothing on Cancel.
    virtual std::optional<QString> InputText(QWidget* owner, const QString& caption,
                                             const QString& prompt, const QString& initial,
                                             int maxLength) = 0;

    // A folder chooser that lets the user create a new folder. A folder
    // typed in that does not exist yet comes back as typed, for the program
    // to offer to create. Nothing on Cancel.
    virtual std::optional<QString> ChooseFolder(QWidget* owner, const QString& title,
                                                const QString& start) = 0;

    // `filter` in the "Name (*.ext)|*.ext|..." form; `defaultExtension`
    // without its dot is appended to a name typed without an extension.
    virtual std::optional<QString> OpenFileName(QWidget* owner, const QString& filter,
                                                const QString& defaultExtension) = 0;
    virtual std::optional<QString> SaveFileName(QWidget* owner, const QString& filter,
                                                const QString& defaultExtension,
                                                const QString& proposedName) = 0;

    // Opens a file in the desktop's default program for its type; false
    // when no program took it.
    virtual bool ShellOpen(const QString& path) = 0;

    // Shorthand for a box with an OK button only.
    void Notify(QWidget* owner, const QString& title, const QString& text, Icon icon) {
        Message(owner, title, text, icon, Buttons::Ok);
    }
};
