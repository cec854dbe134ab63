#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <memory>

#include "dialogs.h"
#include "ini_file.h"
#include "process.h"
#include "process_record.h"
#include "settings.h"

namespace Ui {
class TfrmMain;
}
class DevicePanel;
class TfrmParametri;
class TfrmProcesEdit;

// The main window: it owns the program's state and carries the operations
// of every part of the program that the user reaches from it.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    // `appDir` is the folder that holds the settings file, the program's own
    // folder in use and one of its own in each test.
    TfrmMain(const QString& appDir, std::unique_ptr<Dialogs> dialogs, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The two dialogs are made after the main window and live as long.
    void AttachDialogs(TfrmProcesEdit* procesEdit, TfrmParametri* parametri);

    Ui::TfrmMain* ui;
    Dialogs& dialogs() { return *dialogs_; }

    // State the rest of the program and the tests read.
    const QString& AppDir() const { return AppDir_; }
    const QString& AppTitle() const { return AppTitle_; }
    zentrivo::TOpcije Options;
    zentrivo::TProces Process;
    int DeviceState = 0;
    QTimer tmrSat;
    QTimer tmrProces;
    QTimer tmrFotosDirRefresher;

    QString StatusText(int panel) const;
    DevicePanel* devicePanel() const { return devicePanel_; }

public slots:
    void Izlaz1Click();
    void Oprogramu1Click();
    void Parametri1Click();
    void tmrSatTimer();

    // Making the process.
    void btnKreirajProcesClick();
    void btnEditujProcesClick();
    void txtBrojSlikaExit();
    void cbRotiranjeTipChange();

    // Playing it.
    void btnStartClick();

public:
    std::int32_t MaxPhotos() const;
    bool ValidateInputs();

    // The progress display.
    void ResetProgress();
    void AdvanceProgress();
    void HighlightPhase(const QString& letter);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    bool FormClose();
    void SetUpLook();
    void SetUpStatusBar();
    void NameToolbarButtons();
    void NameForAssistiveTechnology();
    void ConnectHandlers();
    void ShowOptions();
    zentrivo::TPreferences CurrentPreferences() const;
    void BeginPhotoWatch();
    void StretchProcessPanel();
    zentrivo::ShootParameters ReadShootParameters() const;
    void ShowProgress();
    void RepaintStatusBar();

    std::unique_ptr<Dialogs> dialogs_;
    TfrmProcesEdit* frmProcesEdit_ = nullptr;
    TfrmParametri* frmParametri_ = nullptr;

    QString AppDir_;
    QString AppTitle_;
    QString ProfileName_;
    std::unique_ptr<zentrivo::IniFile> SettingsFile;

    QLabel* sbClock_ = nullptr;
    DevicePanel* devicePanel_ = nullptr;
    QLabel* sbProcess_ = nullptr;
    QLabel* sbPhotos_ = nullptr;
};
