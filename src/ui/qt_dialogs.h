#pragma once

#include "dialogs.h"

// The dialogs the user sees.
class QtDialogs : public Dialogs {
public:
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
};

// "Name (*.ext)|*.ext|Other (*.*)|*.*" as Qt's file dialogs want it; away
// from Windows "(*.*)" becomes "(*)", which matches every name there.
QString QtFileFilter(const QString& filter);

// A file name typed without an extension gets the default one.
QString WithDefaultExtension(const QString& name, const QString& extension);
