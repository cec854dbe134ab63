#include <QAction>
#include <QListWidget>
#include <QMenu>

#include "clock_text.h"
#include "main_window.h"
#include "paths.h"
#include "photo_arrival.h"
#include "photo_listing.h"
#include "proces_edit.h"
#include "ui_main_window.h"

using namespace zentrivo;

void TfrmMain::SetUpResume() {
    resumeAction_ = new QAction("Resume Interrupted Run...", this);
    resumeAction_->setObjectName("ResumeInterruptedRun");
    // Beside the other work on a shoot, before "Export 360° View...".
    ui->Program1->insertAction(findChild<QAction*>("ExportSpinView"), resumeAction_);
    connect(resumeAction_, &QAction::triggered, this, Guarded(&TfrmMain::ResumeInterruptedRun));
    RefreshResumeAction();
}

std::string TfrmMain::JournalPath() const {
    return RunJournalPath(AppDir_.toStdString());
}

void TfrmMain::RefreshResumeAction() {
    resumeAction_->setEnabled(Process.ProcessState == kProcessNotStarted &&
                              RunJournalExists(JournalPath()));
}

void TfrmMain::BeginJournal() {
    journal_ = RunJournal{};
    journal_.Commands = frmProcesEdit_->Commands();
    journal_.Return = runReturn_;
    journal_.PhotosAtStart = Photos_->KnownPhotos.Names();
    journalOn_ = true;
    // Until the first rotation there is nothing to go on from but photo 1.
    RemoveRunJournal(JournalPath());
    RefreshResumeAction();
}

void TfrmMain::JournalRotation(bool underway) {
    if (!journalOn_) {
        return;
    }
    journal_.PhotosDone =
        PhotoNumberAt(journal_.Commands, static_cast<std::size_t>(Process.CurrentIndex));
    journal_.RotationsDone = Process.RotationsDone;
    journal_.RotationUnderway = underway;
    journal_.Retaken = photoCheck_.retaken;
    journal_.PhotosReceived = Photos_->NewPhotos.Names();
    journal_.TurnedBack = false;
    JournalStop();
}

void TfrmMain::JournalStop() {
    if (!journalOn_ || (journal_.RotationsDone == 0 && !journal_.RotationUnderway)) {
        return;
    }
    journal_.Written = ClockText(clock_ ? clock_() : LocalNow());
    // A journal that cannot be written costs the resume, never the run.
    WriteRunJournal(JournalPath(), journal_);
}

void TfrmMain::JournalTurnedBack() {
    if (journalOn_) {
        journal_.TurnedBack = true;
        JournalStop();
    }
}

void TfrmMain::EndJournal() {
    journalOn_ = false;
    RemoveRunJournal(JournalPath());
    RefreshResumeAction();
}

void TfrmMain::ResumeInterruptedRun() {
    if (Process.ProcessState != kProcessNotStarted) {
        return;
    }
    const RunJournalRead read = ReadRunJournal(JournalPath());
    if (!read.exists) {
        RefreshResumeAction();
        return;
    }
    if (!read.journal) {
        SetAsideDamagedJournal(JournalPath());
        RefreshResumeAction();
        dialogs_->Notify(this, "Error",
                         "The journal of the interrupted run is damaged and can not be used. "
                         "It has been set aside.",
                         Dialogs::Icon::Error);
        return;
    }
    const RunJournal& journal = *read.journal;
    const int photos = PhotoCommandCount(journal.Commands);
    const int next = std::min(journal.PhotosDone + 1, photos);
    const QString question = QString(
                                 "The last run stopped at %1, at photo %2 of %3.\r\n\r\n"
                                 "Do you want to go on from photo %2 ?")
                                 .arg(QString::fromStdString(journal.Written))
                                 .arg(next)
                                 .arg(photos);
    if (dialogs_->Message(this, "Resume Interrupted Run", question, Dialogs::Icon::Question,
                          Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        return;
    }
    frmProcesEdit_->SetCommands(journal.Commands);
    Process.StepsPerPhoto = journal.Return.StepsPerPhoto;
    Process.DirectionLetter = journal.Return.DirectionLetter;
    madePeriodMs_ = journal.Return.PeriodMs;
    ui->gProces->setRange(0, photos);
    ResetProgress();
    ui->btnEditujProces->setEnabled(true);
    resumeFrom_ = journal;
    btnStartClick();
}

bool TfrmMain::ApplyResume(const RunJournal& journal, std::uint64_t stopsBefore) {
    // The controller may have been switched off meanwhile: the commands
    // before the first photo set its step mode, period and focus again.
    const std::size_t resumeAt = ResumeIndex(journal);
    std::vector<std::string> setup;
    for (const std::string& command : journal.Commands) {
        if (!command.empty() && command[0] == 'P') {
            break;
        }
        setup.push_back(command);
    }
    const std::string turn = TurnToResumeCommand(journal);
    if (!turn.empty()) {
        setup.push_back(turn);
    }
    for (const std::string& command : setup) {
        const ExchangeResult result = Exchange(command, PollLimitFor(command, pace_), false, true);
        if (ReportFailedExchange(command, result.Outcome)) {
            btnStopClick();
            return false;
        }
        NoteAccepted(pace_, command);
        if (stops_ != stopsBefore) {
            return false;
        }
    }

    const ResumedPhotos resumed = PhotosToResume(journal, ListFiles(Options.FotosDir));
    Photos_->Begin(resumed.known);
    Photos_->Refresh(resumed.received);
    ui->lbFotosList->clear();
    std::vector<std::string> paths;
    for (const std::string& name : Photos_->NewPhotos.Names()) {
        ui->lbFotosList->addItem(QString::fromStdString(name));
        paths.push_back(JoinPath(Options.FotosDir, name));
    }
    arrivals_.Accept(paths);
    RefreshNewPhotos();

    runReturn_ = journal.Return;
    Process.RotationsDone = RotationsAtResume(journal);
    Process.CurrentIndex = static_cast<std::int32_t>(resumeAt);
    Process.Remaining = frmProcesEdit_->CommandCount() - Process.CurrentIndex;
    photosTaken_ = journal.PhotosDone;
    photoCheck_.retaken = journal.Retaken;
    for (std::int32_t i = 0; i < Process.RotationsDone; ++i) {
        AdvanceProgress();
    }
    journal_ = journal;
    journal_.TurnedBack = false;
    journal_.RotationsDone = Process.RotationsDone;
    journal_.RotationUnderway = false;
    journalOn_ = true;
    return true;
}
