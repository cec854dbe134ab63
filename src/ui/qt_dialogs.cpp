#include "qt_dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

namespace {

QMessageBox::Icon ToQt(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::Error:
            return QMessageBox::Critical;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Qt's folder dialog refuses a typed folder that does not exist. The program
// offers to create such a folder, so the dialog hands it back instead.
class FolderDialog : public QFileDialog {
public:
    FolderDialog(QWidget* owner, const QString& title, const QString& start)
        : QFileDialog(owner, title, start) {
        setFileMode(QFileDialog::Directory);
        // Qt's own dialog offers "Create New Folder", which the platform's
        // dialog does not always do.
        setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    }

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty() && !chosen.first().isEmpty() && !QFileInfo::exists(chosen.first())) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

}  // namespace

QString WithDefaultExtension(const QString& name, const QString& extension) {
    if (name.isEmpty() || extension.isEmpty() || !QFileInfo(name).suffix().isEmpty()) {
        return name;
    }
    return name + "." + extension;
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString entry = parts[i];
#ifndef Q_OS_WIN
        // Windows matches "*.*" against every name, one without a dot too;
        // here it would list only names with a dot, so all files are "*".
        entry.replace("(*.*)", "(*)");
#endif
        entries << entry;
    }
    return entries.join(";;");
}

Dialogs::Answer QtDialogs::Message(QWidget* owner, const QString& title, const QString& text,
                                   Icon icon, Buttons buttons) {
    QMessageBox box(
        ToQt(icon), title, QString(text).replace("\r\n", "\n"),
        buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    const int result = box.exec();
    if (buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<QString> QtDialogs::InputText(QWidget* owner, const QString& caption,
                                            const QString& prompt, const QString& initial,
                                            int maxLength) {
    QInputDialog dialog(owner);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(maxLength);
        edit->selectAll();
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<QString> QtDialogs::ChooseFolder(QWidget* owner, const QString& title,
                                               const QString& start) {
    FolderDialog dialog(owner, title, start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

std::optional<QString> QtDialogs::OpenFileName(QWidget* owner, const QString& filter,
                                               const QString& defaultExtension) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QtFileFilter(filter));
    dialog.setDefaultSuffix(defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return WithDefaultExtension(dialog.selectedFiles().first(), defaultExtension);
}

std::optional<QString> QtDialogs::SaveFileName(QWidget* owner, const QString& filter,
                                               const QString& defaultExtension,
                                               const QString& proposedName) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QtFileFilter(filter));
    dialog.setDefaultSuffix(defaultExtension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return WithDefaultExtension(dialog.selectedFiles().first(), defaultExtension);
}

void QtDialogs::ShellOpen(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
