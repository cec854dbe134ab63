#pragma once

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

#include "core/process/process.h"
#include "core/settings/ini_file.h"
#include "core/settings/profile.h"
#include "core/settings/settings.h"
#include "dialogs.h"
#include "run/handler_errors.h"
#include "run/shoot.h"

namespace Ui {
class TfrmMain;
}
class DevicePanel;
class MainStatusBar;
class QAction;
class QFocusEvent;
class QLineEdit;
class ShootDisplay;
class TfrmParametri;
class TfrmProcesEdit;

// The main window: it shows the shoot's parameters, the process and its
// progress, the photos and the status bar, and forwards what the user does
// to the shoot (see Shoot), to the profiles and to the settings.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    // `appDir` is the folder that holds the settings file: the program's own
    // folder or the user's configuration folder in use (see
    // SettingsFolderFor), one of its own in each test.
    TfrmMain(const QString& appDir, std::unique_ptr<Dialogs> dialogs, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The two dialogs are made after the main window and live as long.
    void AttachDialogs(TfrmProcesEdit* procesEdit, TfrmParametri* parametri);

    Dialogs& dialogs() { return *dialogs_; }
    const QString& AppTitle() const { return AppTitle_; }
    // The settings: the machine's, and the choices the window's boxes show.
    zentrivo::TOpcije Options;
    Shoot& shoot() { return *shoot_; }
    QTimer tmrSat;

    QString StatusText(int panel) const;
    DevicePanel* devicePanel() const;

public slots:
    void Izlaz1Click();
    void Oprogramu1Click();
    void Parametri1Click();
    void tmrSatTimer();

    // Profiles.
    void Novi1Click();
    void Uitaj1Click();
    void Snimi1Click();

    // Making the process.
    void btnKreirajProcesClick();
    void btnEditujProcesClick();
    void txtBrojSlikaExit();
    void cbRotiranjeTipChange();

    // Playing it.
    void btnStartClick() { shoot_->Start(); }
    void btnPauzaClick() { shoot_->PauseOrContinue(); }
    void btnStopClick() { shoot_->Stop(); }
    void btnNaPocetakClick() { shoot_->TurnBack(); }

    // The photos.
    void tmrFotosDirRefresherTimer() { shoot_->RefreshPhotos(); }
    void lbFotosListDblClick();
    void btnFotosChooseNewDirClick();
    void btnFotosChooseDestDirClick();
    void btnFotosKopirajSlikeClick() { shoot_->CopyPhotos(); }

    void ExportSpinView();
    void ResumeInterruptedRun() { shoot_->ResumeInterrupted(); }
    void TakeCleanPlate();
    void OpenRunLogs();

public:
    std::int32_t MaxPhotos() const;
    bool ValidateInputs();

    // The progress display.
    void AdvanceProgress();
    void HighlightPhase(const QString& letter);

    // Profiles.
    zentrivo::TProfil CaptureProfile() const;
    void ApplyProfile(const zentrivo::TProfil& profile);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    bool FormClose();
    void SetUpLook();
    void NameToolbarButtons();
    void NameForAssistiveTechnology();
    void ConnectHandlers();
    void AddMenuActions();
    void ShowOptions();
    void FollowChoices();
    zentrivo::TPreferences CurrentPreferences() const;
    void StretchProcessPanel();
    bool MovesToAnotherControl(const QFocusEvent& event) const;
    void RefreshCaption();
    bool LoadProfileFile(zentrivo::TProfil& profile);
    bool SaveProfileFile(const zentrivo::TProfil& profile);
    std::optional<QString> ChooseProfileToSave();
    void RefuseNonProfile(const QString& path);
    zentrivo::ShootParameters ReadShootParameters() const;
    std::optional<std::string> AskForFolder(const std::string& current);
    // True when the user chose another folder than `folder`.
    bool ChooseFolder(std::string& folder, QLineEdit* shownIn);
    // A slot that runs `handler` and shows any error it raises.
    template <typename Handler>
    auto Guarded(Handler handler) {
        return [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); };
    }

    Ui::TfrmMain* ui;
    std::unique_ptr<Dialogs> dialogs_;
    TfrmProcesEdit* frmProcesEdit_ = nullptr;
    TfrmParametri* frmParametri_ = nullptr;

    QString AppDir_;
    QString AppTitle_;
    QString ProfileName_;
    zentrivo::TProfil DefaultProfile_;
    std::unique_ptr<zentrivo::IniFile> SettingsFile;
    QAction* resumeAction_ = nullptr;
    std::unique_ptr<MainStatusBar> statusBar_;
    std::unique_ptr<ShootDisplay> display_;
    std::unique_ptr<Shoot> shoot_;
};
