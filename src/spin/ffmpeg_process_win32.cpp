#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "ffmpeg_process.h"
#include "ffmpeg_process_common.h"

namespace zentrivo {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// One argument quoted as the C runtime splits a command line: backslashes
// are literal except before a quote, where they and the quote are escaped.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

}  // namespace

bool IsExecutableFile(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.wstring().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

VideoProcess::VideoProcess(const std::filesystem::path& ffmpeg, int width, int height, int frames,
                           int turnMilliseconds, const std::filesystem::path& output,
                           const std::filesystem::path& log)
    : log_(log) {
    std::wstring commandLine;
    for (const std::string& arg :
         VideoArguments(ffmpeg, width, height, frames, turnMilliseconds, output)) {
        if (!commandLine.empty()) {
            commandLine += L' ';
        }
        AppendQuoted(commandLine, Wide(arg));
    }

    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherited, 1 << 20)) {
        throw std::runtime_error("No pipe to ffmpeg could be made.");
    }
    // Only the reading end goes to ffmpeg.
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE logFile = CreateFileW(log.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    startup.hStdOutput = nul;
    startup.hStdError = logFile != INVALID_HANDLE_VALUE ? logFile : nul;
    PROCESS_INFORMATION started{};
    const BOOL ok = CreateProcessW(ffmpeg.wstring().c_str(), commandLine.data(), nullptr, nullptr,
                                   TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started);
    CloseHandle(readEnd);
    if (logFile != INVALID_HANDLE_VALUE) {
        CloseHandle(logFile);
    }
    if (nul != INVALID_HANDLE_VALUE) {
        CloseHandle(nul);
    }
    if (!ok) {
        CloseHandle(writeEnd);
        throw std::runtime_error("ffmpeg could not be started (" + ffmpeg.string() + ").");
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    input_ = writeEnd;
}

VideoProcess::~VideoProcess() {
    Reap(true);
}

void VideoProcess::Reap(bool kill) {
    if (input_ != nullptr) {
        CloseHandle(input_);
        input_ = nullptr;
    }
    if (process_ != nullptr) {
        if (kill) {
            TerminateProcess(process_, 1);
        }
        WaitForSingleObject(process_, INFINITE);
        GetExitCodeProcess(process_, &exitCode_);
        CloseHandle(process_);
        process_ = nullptr;
    }
}

void VideoProcess::Failed(const std::string& what) {
    Reap(true);
    const std::string said = LastLogLine(log_);
    throw std::runtime_error(what + (said.empty() ? "" : ": " + said));
}

void VideoProcess::Add(const RgbImage& frame) {
    const auto* bytes = frame.pixels.data();
    std::size_t left = frame.pixels.size();
    while (left > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(input_, bytes, chunk, &written, nullptr) || written == 0) {
            // ffmpeg has gone; wait for it so its message is complete.
            Reap(false);
            Failed("ffmpeg stopped before the video was made");
        }
        bytes += written;
        left -= written;
    }
}

void VideoProcess::Finish() {
    Reap(false);
    if (exitCode_ != 0) {
        Failed("ffmpeg could not make the video");
    }
}

}  // namespace zentrivo
