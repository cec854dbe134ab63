#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>

#include "command_time.h"
#include "device.h"
#include "device_connection.h"
#include "dialogs.h"
#include "ini_file.h"
#include "photo_arrival.h"
#include "photo_settle.h"
#include "photo_watch.h"
#include "process.h"
#include "process_record.h"
#include "profile.h"
#include "return_command.h"
#include "run_journal.h"
#include "run_log.h"
#include "settings.h"
#include "time_left.h"
#include "work_gate.h"
#include "zentrivo_application.h"

namespace Ui {
class TfrmMain;
}
class DevicePanel;
class QAction;
class QFocusEvent;
class QLineEdit;
class TfrmParametri;
class TfrmProcesEdit;

// The main window: it owns the program's state and carries the operations
// of every part of the program that the user reaches from it.
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

    Ui::TfrmMain* ui;
    Dialogs& dialogs() { return *dialogs_; }

    // State the rest of the program and the tests read.
    const QString& AppTitle() const { return AppTitle_; }
    zentrivo::TOpcije Options;
    zentrivo::TProces Process;
    int DeviceState() const;
    const zentrivo::PhotoWatch& Photos() const { return *Photos_; }
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
    void btnStartClick();
    void btnPauzaClick();
    void btnStopClick();
    void btnNaPocetakClick();
    void tmrProcesTimer();

    // The photos.
    void tmrFotosDirRefresherTimer();
    void lbFotosListDblClick();
    void btnFotosChooseNewDirClick();
    void btnFotosChooseDestDirClick();
    void btnFotosKopirajSlikeClick();

    // "Export 360° View...".
    void ExportSpinView();

    // "Resume Interrupted Run...".
    void ResumeInterruptedRun();
    // "Open Run Logs".
    void OpenRunLogs();

public:
    std::int32_t MaxPhotos() const;
    bool ValidateInputs();

    // The progress display.
    void ResetProgress();
    void AdvanceProgress();
    void HighlightPhase(const QString& letter);

    // Profiles.
    zentrivo::TProfil CaptureProfile() const;
    void ApplyProfile(const zentrivo::TProfil& profile);

    // The link to the device.
    bool ConnectDevice();
    void DisconnectDevice();
    // How a poll waits between reads; 10 ms unless a test shortens it.
    void SetPollSleep(std::function<void()> sleep) { pollSleep_ = std::move(sleep); }
    // The local time a copy names its sub-folder by; the clock unless a test
    // sets a time.
    void SetClock(std::function<std::tm()> clock) { clock_ = std::move(clock); }

    // The photos.
    void BeginPhotoWatch();
    void RefreshNewPhotos();
    struct CopyOutcome {
        bool done = false;  // the sub-folder was made and the copying ran
        QString missed;     // which photos could not be copied, if any
    };
    CopyOutcome CopyNewPhotos();

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
    void StretchProcessPanel();
    bool MovesToAnotherControl(const QFocusEvent& event) const;
    void RefreshCaption();
    bool LoadProfileFile(zentrivo::TProfil& profile);
    bool SaveProfileFile(const zentrivo::TProfil& profile);
    std::optional<QString> ChooseProfileToSave();
    void RefuseNonProfile(const QString& path);
    zentrivo::ShootParameters ReadShootParameters() const;
    void ShowProgress();
    void RepaintStatusBar();
    void SetUpDevice();
    // Closes the port of a device that went away and tells the user, with
    // the port layer's text on a second line.
    void ReportLostDevice(bool inConnectionTest);
    void WatchPort();
    zentrivo::ExchangeResult Exchange(const std::string& command, std::int32_t pollLimit,
                                      bool quietWrite, bool markWaiting);
    void StartProcess();
    // Lets the next tick come: after the timer's interval, or at once (as
    // soon as the events queued by now have run) at the fast pace.
    void ScheduleTick();
    // Tells the user why an exchange failed; true when it did.
    bool ReportFailedExchange(const std::string& command, zentrivo::ExchangeOutcome outcome);
    void CompleteProcess();
    void ReturnToStart();
    std::optional<std::string> AskForFolder(const std::string& current);
    // True when the user chose another folder than `folder`.
    bool ChooseFolder(std::string& folder, QLineEdit* shownIn);
    bool WaitUntilWritten(const std::string& path);
    void SetUpSpinExport();
    void AwaitLastPhotos();

    // "Check that each photo arrives": whether the run may send `command`
    // (or complete, when `complete`) now; false when it waits for the photo
    // or has paused for the user. May rewind the run to take the photo again.
    bool PhotoAccountedFor(const std::string& command, bool complete);

    // The run journal: begun when a run begins, written around each
    // rotation and at a Stop, removed when the run completes or a new
    // process is made.
    void SetUpResume();

    // The run log: begun when a run has its device, each exchange, the
    // photos and retakes, and the end.
    void SetUpRunLog();
    std::string RunLogFolderPath() const;
    void BeginRunLog();
    void LogRun(const std::string& text);
    void LogExchange(const std::string& command, const zentrivo::ExchangeResult& result,
                     std::chrono::steady_clock::time_point sent);
    void EndRunLog(const std::string& text);
    // The time left of the run, from `command` accepted after the wait
    // since `sent`.
    void NoteRunPace(const std::string& command, std::chrono::steady_clock::time_point sent);
    void BeginJournal();
    void JournalRotation(bool underway);
    void JournalStop();
    void JournalTurnedBack();
    void EndJournal();
    void RefreshResumeAction();
    std::string JournalPath() const;
    // At a Start that resumes: the controller set up as the run had it, the
    // table turned back to its place if need be, the photos so far restored.
    // False when the run must not go on.
    bool ApplyResume(const zentrivo::RunJournal& journal, std::uint64_t stopsBefore);
    // Before and after a photo command is exchanged.
    void BeforePhotoCommand();
    void AfterPhotoCommand();
    void LookForArrivals();
    std::string CheckedPhotoText() const;  // "2 of 8"
    QString PhotoCheckSummary();
    QString BusyWithPhotosText(const QString& refused) const;

    // Holds the photo gate, with "Copy photos" disabled meanwhile.
    class PhotoWork {
    public:
        explicit PhotoWork(TfrmMain& window);
        ~PhotoWork();
        PhotoWork(const PhotoWork&) = delete;
        PhotoWork& operator=(const PhotoWork&) = delete;

    private:
        TfrmMain& window_;
        WorkGate::Hold hold_;
    };
    // A slot that runs `handler` and shows any error it raises.
    template <typename Handler>
    auto Guarded(Handler handler) {
        return [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); };
    }

    std::unique_ptr<Dialogs> dialogs_;
    TfrmProcesEdit* frmProcesEdit_ = nullptr;
    TfrmParametri* frmParametri_ = nullptr;

    QString AppDir_;
    QString AppTitle_;
    QString ProfileName_;
    zentrivo::TProfil DefaultProfile_;
    std::unique_ptr<zentrivo::IniFile> SettingsFile;
    std::unique_ptr<zentrivo::PhotoWatch> Photos_;
    zentrivo::PhotoSettle photoLooks_{zentrivo::kPhotoSettleTime};
    std::unique_ptr<zentrivo::DeviceConnection> device_;
    std::function<void()> pollSleep_;
    std::function<std::tm()> clock_;

    // The fast pace's tick: a single shot with no delay, beside tmrProces.
    QTimer tickAtOnce_;

    // The port carries one exchange at a time: an operation that exchanges
    // holds this gate from before its command is written until it has judged
    // and counted the reply.
    WorkGate portGate_{this};
    // One piece of photo work at a time: a copy, or the end of a run from its
    // last look at the camera folder to its copy.
    WorkGate photoGate_{this};

    // What the controller has been told of its pace, over every run.
    zentrivo::ControllerPace pace_;
    // The step period of the last made process, and the way back of the run
    // that made the rotations counted in Process.RotationsDone.
    std::int32_t madePeriodMs_ = 0;
    zentrivo::ReturnPlan runReturn_;
    // Photo commands the controller accepted since the last Start.
    std::int32_t photosTaken_ = 0;
    // The photo check of the run: off unless ticked at its Start.
    struct PhotoCheck {
        bool on = false;
        bool pending = false;    // a photo taken and not yet accounted for
        bool waiting = false;    // its wait has begun, until `deadline`
        bool retaking = false;   // the run was rewound to take it again
        bool retakeNow = false;  // paused for the user: Continue takes it again
        int photoIndex = 0;      // the photo command's place in the list
        std::size_t baseline = 0;
        int attempts = 0;  // times this photo was taken again
        int retaken = 0;   // over the run
        std::chrono::steady_clock::time_point deadline;
    } photoCheck_;
    zentrivo::PhotoArrivals arrivals_;
    zentrivo::RunPaceSoFar runPace_;
    zentrivo::RunLog runLog_;
    bool completing_ = false;  // the end of a run stops it, and logs its own end
    // The journal of the run going on or ended early, kept while `journalOn_`.
    zentrivo::RunJournal journal_;
    bool journalOn_ = false;
    // The journal a Start is to go on from.
    std::optional<zentrivo::RunJournal> resumeFrom_;
    QAction* resumeAction_ = nullptr;
    // Stops so far: a Start tells by it whether one came during its test.
    std::uint64_t stops_ = 0;
    QString lastCopyFolder_;  // the sub-folder the last copy made, offered for export
    QTimer portWatch_;

    QLabel* sbClock_ = nullptr;
    DevicePanel* devicePanel_ = nullptr;
    QLabel* sbProcess_ = nullptr;
    QLabel* sbPhotos_ = nullptr;
    QLabel* sbTimeLeft_ = nullptr;
};
