#include <QListWidget>

#include "core/path_checks.h"
#include "core/paths.h"
#include "core/photos/photo_copy.h"
#include "main_window.h"
#include "ui_main_window.h"

using namespace zentrivo;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

void TfrmMain::lbFotosListDblClick() {
    QListWidgetItem* item = ui->lbFotosList->currentItem();
    if (ui->lbFotosList->count() == 0 || item == nullptr || !item->isSelected()) {
        return;
    }
    const std::string path = JoinPath(Options.FotosDir, item->text().toStdString());
    if (IsExistingFile(path)) {
        dialogs_->ShellOpen(Q(path));
    }
}

std::optional<std::string> TfrmMain::AskForFolder(const std::string& current) {
    QString start = Q(current.empty() ? DefaultPhotoFolder() : current);
    for (;;) {
        const auto chosen = dialogs_->ChooseFolder(this, "Select Directory", start);
        if (!chosen) {
            return std::nullopt;
        }
        const std::string path = chosen->toStdString();
        if (IsExistingFolder(path)) {
            return path;
        }
        // A typed folder that does not exist yet is made, with every folder
        // above it, once the user agrees; No goes back to choosing.
        if (dialogs_->Message(this, "Confirm", "The specified directory does not exist. Create it?",
                              Dialogs::Icon::Question,
                              Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
            if (CreateFolderWithParents(path)) {
                return path;
            }
            return std::nullopt;
        }
        start = *chosen;
    }
}

bool TfrmMain::ChooseFolder(std::string& folder, QLineEdit* shownIn) {
    const auto chosen = AskForFolder(folder);
    if (!chosen || *chosen == folder) {
        return false;
    }
    folder = *chosen;
    shownIn->setText(Q(*chosen));
    return true;
}

void TfrmMain::btnFotosChooseNewDirClick() {
    // The list holds photos of the folder shown. Another camera folder is
    // watched from what it holds now: its photos are not new, and no copy
    // looks in it for photos found in the folder before. So the folder stays
    // while a copy or the end of a run works on the list.
    if (shoot_->BusyWithPhotos()) {
        dialogs_->Notify(this, "Error",
                         CameraPhotos::BusyText("The camera folder can not be changed"),
                         Dialogs::Icon::Error);
        return;
    }
    if (ChooseFolder(Options.FotosDir, ui->txtFotosSrcDir)) {
        shoot_->WatchCameraFolder();
    }
}

void TfrmMain::btnFotosChooseDestDirClick() {
    ChooseFolder(Options.FotosCopyDir, ui->txtFotosDestDir);
}
