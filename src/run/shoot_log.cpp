#include "shoot_log.h"

#include <QDir>
#include <QtGlobal>

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
            if (result.PortClosed) {
                return "not sent: the port is closed";
            }
            break;
    }
    return "could not be sent";
}

}  // namespace

std::string ShootLog::Folder() {
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

void ShootLog::Begin(const std::tm& now, const std::string& portName, const std::string& device,
                     bool photoCheck, const std::string& cameraFolder) {
    log_.Open(Folder(), now);
    // "COM3" alone does not say which device it led to.
    const std::string port =
        device.empty() || device == portName ? portName : portName + " (" + device + ")";
    Write("Zentrivo " + std::string(ZENTRIVO_VERSION) + ": a run begins on " + port +
          ", photo check " + (photoCheck ? "on" : "off") + ", camera folder " + cameraFolder);
}

void ShootLog::Write(const std::string& text) {
    log_.Write(text);
}

void ShootLog::Sent(const std::string& command) {
    Write("> " + command);
}

void ShootLog::Replied(const ExchangeResult& result, std::chrono::steady_clock::time_point sent) {
    if (!log_.IsOpen()) {
        return;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - sent)
                        .count();
    Write(OutcomeText(result) + " after " + std::to_string(ms) + " ms");
}

void ShootLog::End(const std::string& text) {
    if (log_.IsOpen()) {
        Write(text);
        log_.Close();
    }
}
