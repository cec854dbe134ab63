#pragma once

#include <QString>
#include <optional>

#include "ui/dialogs.h"

// Answers every box with OK and remembers the last text; every other dialog
// is cancelled. For the benchmarks that play the whole window.
class AnsweringDialogs : public Dialogs {
public:
    QString last;
    Answer Message(QWidget*, const QString&, const QString& text, Icon, Buttons) override {
        last = text;
        return Answer::Ok;
    }
    std::optional<QString> InputText(QWidget*, const QString&, const QString&, const QString&,
                                     int) override {
        return std::nullopt;
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> OpenFileName(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> SaveFileName(QWidget*, const QString&, const QString&,
                                        const QString&) override {
        return std::nullopt;
    }
    bool ShellOpen(const QString&) override { return true; }
};
