#include "qt_dialogs.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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

// Qt's folder dialog refuses a typed folder that does not exist: it greys
// out its Choose button and will not accept. The program offers to create
// such a folder, so this dialog hands it back instead.
class FolderDialog : public QFileDialog {
public:
    FolderDialog(QWidget* owner, const QString& title, const QString& start)
        : QFileDialog(owner, title, start) {
        setFileMode(QFileDialog::Directory);
        // Qt's own dialog offers "Create New Folder", which the platform's
        // dialog does not always do.
        setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (auto* box = findChild<QDialogButtonBox*>()) {
            choose_ = box->button(QDialogButtonBox::Open);
        }
        if (choose_ != nullptr) {
            choose_->installEventFilter(this);
        }
    }

    void accept() override {
        if (TypedNewFolder()) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == choose_ && event->type() == QEvent::EnabledChange && !choose_->isEnabled() &&
            TypedNewFolder()) {
            choose_->setEnabled(true);
        }
        return QFileDialog::eventFilter(watched, event);
    }

private:
    bool TypedNewFolder() const {
        const auto* typed = findChild<QLineEdit*>("fileNameEdit");
        const QStringList chosen = selectedFiles();
        return typed != nullptr && !typed->text().trimmed().isEmpty() && !chosen.isEmpty() &&
               !QFileInfo::exists(chosen.first());
    }

    QPushButton* choose_ = nullptr;
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // As the platform's open dialog does, the default extension goes only
    // to a name that is not a file as it stands, so that a file without a
    // dot, listed under all files, opens as itself.
    const QString chosen = dialog.selectedFiles().first();
    return QFileInfo::exists(chosen) ? chosen : WithDefaultExtension(chosen, defaultExtension);
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

bool QtDialogs::ShellOpen(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
