#include <QAction>
#include <QDir>
#include <QMenu>

#include "clock_text.h"
#include "main_window.h"
#include "ui_main_window.h"

using namespace zentrivo;

namespace {

std::string OutcomeText(const ExchangeResult& result) {
    std::string reply;
    for (const char c : result.Reply) {
        reply += c == '\r'   ? std::string("\\r")
                 : c == '\n' ? std::string("\\n")
                             : std::string(1, c);
    }
    switch (result.Outcome) {
        case ExchangeOutcome::Accepted:
            return "< " + reply;
        case ExchangeOutcome::DeviceError:
            return "< " + reply + " (an error)";
        case ExchangeOutcome::NoReply:
            return "< no reply" + (reply.empty() ? std::string() : ": " + reply);
        case ExchangeOutcome::DeviceLost:
            return "the device went away";
        case ExchangeOutcome::SendFailed:
            break;
    }
    return "could not be sent";
}

}  // namespace

void TfrmMain::SetUpRunLog() {
    auto* open = new QAction("Open Run Logs", this);
    open->setObjectName("OpenRunLogs");
    ui->Pomo1->insertAction(ui->Oprogramu1, open);
    connect(open, &QAction::triggered, this, Guarded(&TfrmMain::OpenRunLogs));
}

std::string TfrmMain::RunLogFolderPath() const {
#ifdef Q_OS_WIN
    // The user's local application data, where Windows programs keep what
    // is of this machine only.
    const char* stateHome = "LOCALAPPDATA";
#else
    const char* stateHome = "XDG_STATE_HOME";
#endif
    return RunLogFolder(qEnvironmentVariable(stateHome).toStdString(),
                        QDir::homePath().toStdString());
}

void TfrmMain::OpenRunLogs() {
    const QString folder = QString::fromStdString(RunLogFolderPath());
    QDir().mkpath(folder);
    dialogs_->ShellOpen(folder);
}

void TfrmMain::BeginRunLog() {
    runLog_.Open(RunLogFolderPath(), clock_ ? clock_() : LocalNow());
    LogRun("Zentrivo " + std::string(ZENTRIVO_VERSION) + ": a run begins on COM" +
           std::to_string(Options.ComPort) + ", photo check " +
           (ui->ckFotosCheck->isChecked() ? "on" : "off") + ", camera folder " + Options.FotosDir);
}

void TfrmMain::LogRun(const std::string& text) {
    runLog_.Write(text);
}

void TfrmMain::LogExchange(const std::string& command, const ExchangeResult& result,
                           std::chrono::steady_clock::time_point sent) {
    if (!runLog_.IsOpen()) {
        return;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - sent)
                        .count();
    LogRun("> " + command);
    LogRun(OutcomeText(result) + " after " + std::to_string(ms) + " ms");
}

void TfrmMain::EndRunLog(const std::string& text) {
    if (runLog_.IsOpen()) {
        LogRun(text);
        runLog_.Close();
    }
}
