#include "core/path_checks.h"
#include "core/settings/ini_file.h"
#include "core/settings/profile.h"
#include "core/whole_number.h"
#include "main_window.h"
#include "ui_main_window.h"

using namespace zentrivo;

TProfil TfrmMain::CaptureProfile() const {
    TProfil p;
    p.TipRotacije = ui->cbRotiranjeTip->currentIndex();
    p.ZeljeniBrFotografija = WholeNumberOrThrow(ui->txtBrojSlika->text().toStdString());
    p.PeriodRotacije = ui->udPeriodRotacije->position();
    p.SmjerRotacije = ui->btnDirRight->isChecked() ? 1 : 0;
    p.TrajanjeFokusa = ui->udFocusTrajanje->position();
    p.TrajanjeBlende = ui->udTrajanjeBlende->position();
    p.MedjuPauza = ui->udMedjuPauza->position();
    return p;
}

void TfrmMain::ApplyProfile(const TProfil& p) {
    // Setting the controls from here runs none of their change handlers:
    // the rules for the number of photos run only on the user's own edits.
    ui->cbRotiranjeTip->setCurrentIndex(p.TipRotacije);
    ui->txtBrojSlika->setText(QString::number(p.ZeljeniBrFotografija));
    ui->udPeriodRotacije->setPosition(p.PeriodRotacije);
    ui->btnDirRight->setChecked(p.SmjerRotacije == 1);
    ui->btnDirLeft->setChecked(p.SmjerRotacije != 1);
    ui->udFocusTrajanje->setPosition(p.TrajanjeFokusa);
    ui->udTrajanjeBlende->setPosition(p.TrajanjeBlende);
    ui->udMedjuPauza->setPosition(p.MedjuPauza);
    RefreshCaption();
}

void TfrmMain::RefreshCaption() {
    setWindowTitle(AppTitle_ + " - " + ProfileName_);
}

void TfrmMain::Novi1Click() {
    ProfileName_ = kNewProfileName;
    ApplyProfile(DefaultProfile_);
}

void TfrmMain::RefuseNonProfile(const QString& path) {
    dialogs_->Notify(this, "Error", "This file is not a profile !\r\n" + path,
                     Dialogs::Icon::Error);
}

bool TfrmMain::LoadProfileFile(TProfil& profile) {
    const auto chosen = dialogs_->OpenFileName(this, kProfileFilter, kProfileExtension);
    if (!chosen || !IsExistingFile(chosen->toStdString())) {
        return false;
    }
    // A photo or any other binary file chosen by mistake must not become
    // the profile that the next save writes INI lines into. A text file
    // without the profile's sections is a profile of defaults.
    const IniFile file(chosen->toStdString());
    if (!file.HoldsText()) {
        RefuseNonProfile(*chosen);
        return false;
    }
    profile = LoadProfile(file, DefaultProfile_);
    ProfileName_ = QString::fromStdString(FileNamePart(chosen->toStdString()));
    return true;
}

void TfrmMain::Uitaj1Click() {
    TProfil profile;
    if (LoadProfileFile(profile)) {
        ApplyProfile(profile);
    }
}

std::optional<QString> TfrmMain::ChooseProfileToSave() {
    QString proposed = ProfileName_;
    for (;;) {
        const auto chosen =
            dialogs_->SaveFileName(this, kProfileFilter, kProfileExtension, proposed);
        if (!chosen || !IsExistingFile(chosen->toStdString())) {
            return chosen;
        }
        if (!IniFile(chosen->toStdString()).HoldsText()) {
            RefuseNonProfile(*chosen);
            return std::nullopt;
        }
        // As the platform's save dialogs do: an existing file is replaced
        // only when the user says so; No goes back to choosing.
        proposed = QString::fromStdString(FileNamePart(chosen->toStdString()));
        if (dialogs_->Message(this, "Confirm Save As",
                              proposed + " already exists.\r\nDo you want to replace it?",
                              Dialogs::Icon::Warning,
                              Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
            return chosen;
        }
    }
}

bool TfrmMain::SaveProfileFile(const TProfil& profile) {
    const auto chosen = ChooseProfileToSave();
    if (!chosen) {
        return false;
    }
    IniFile file(chosen->toStdString());
    SaveProfile(file, profile);
    ProfileName_ = QString::fromStdString(FileNamePart(chosen->toStdString()));
    return true;
}

void TfrmMain::Snimi1Click() {
    if (SaveProfileFile(CaptureProfile())) {
        RefreshCaption();
    }
}
