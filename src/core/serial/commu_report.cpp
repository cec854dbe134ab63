#include "core/serial/commu_report.h"

#include <utility>

#include "core/serial/commu.h"

namespace zentrivo {

namespace {

// One port layer per program, used from the user-interface thread only.
bool comm_failed = false;
std::string comm_error_text;
CommMessageSink message_sink;

bool IsTrimmedFromEnd(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte == ' ' || byte == '.' || byte < 0x20 || byte == 0x7F;
}

}  // namespace

bool CommFailed() {
    return comm_failed;
}

std::string CommErrorText() {
    return comm_error_text;
}

void SetCommMessageSink(CommMessageSink sink) {
    message_sink = std::move(sink);
}

std::string ReadPort(PortHandle handle) {
    std::string received;
    ReadPort(handle, received);
    return received;
}

namespace commu_report {

void NoteSuccess() {
    comm_failed = false;
}

bool NoteFailure(const std::string& prefix, long code, const std::string& system_text, bool quiet) {
    comm_error_text = prefix + std::to_string(code) + " (" + CleanSystemText(system_text) + ")";
    comm_failed = true;
    if (!quiet && message_sink) {
        const std::string shown = comm_error_text;  // the sink may run code that fails again
        message_sink(shown);
    }
    return false;
}

std::string CleanSystemText(std::string text) {
    while (!text.empty() && IsTrimmedFromEnd(text.back())) {
        text.pop_back();
    }
    return text;
}

}  // namespace commu_report
}  // namespace zentrivo
