#include "core/journal/run_journal.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <system_error>

#include "core/ascii_case.h"
#include "core/atomic_file.h"

namespace zentrivo {

namespace {

constexpr const char* kHeader = "Zentrivo run journal 1";
constexpr const char* kCheck = "check=";

// FNV-1a: enough to tell a journal cut short or altered from a whole one.
std::string Checksum(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

// Names may hold any character but a line end; "\" and line ends are escaped.
std::string Escaped(const std::string& value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescaped(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size()) {
            return std::nullopt;
        }
        const char c = value[i];
        if (c != '\\' && c != 'n' && c != 'r') {
            return std::nullopt;
        }
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : '\\';
    }
    return out;
}

bool ReadNumber(const std::string& text, std::int32_t& out) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    out = static_cast<std::int32_t>(std::stol(text));
    return true;
}

bool ReadFlag(const std::string& text, bool& out) {
    if (text != "0" && text != "1") {
        return false;
    }
    out = text == "1";
    return true;
}

bool IsPhoto(const std::string& command) {
    return !command.empty() && command[0] == 'P';
}

}  // namespace

std::string RunJournalPath(const std::string& settingsFolder) {
    return (std::filesystem::u8path(settingsFolder) / "zentrivo_run.journal").u8string();
}

std::string RunJournalText(const RunJournal& j) {
    std::ostringstream out;
    out << kHeader << "\n";
    out << "written=" << Escaped(j.Written) << "\n";
    if (!j.Stopped.empty()) {
        out << "stopped=" << Escaped(j.Stopped) << "\n";
    }
    out << "photos_done=" << j.PhotosDone << "\n";
    out << "rotations_done=" << j.RotationsDone << "\n";
    out << "rotation_underway=" << (j.RotationUnderway ? 1 : 0) << "\n";
    out << "retaken=" << j.Retaken << "\n";
    out << "direction=" << Escaped(j.Return.DirectionLetter) << "\n";
    out << "steps=" << j.Return.StepsPerPhoto << "\n";
    out << "period=" << j.Return.PeriodMs << "\n";
    out << "turned_back=" << (j.TurnedBack ? 1 : 0) << "\n";
    for (const std::string& c : j.Commands) {
        out << "command=" << Escaped(c) << "\n";
    }
    for (const std::string& name : j.PhotosAtStart) {
        out << "at_start=" << Escaped(name) << "\n";
    }
    for (const std::string& name : j.PhotosReceived) {
        out << "received=" << Escaped(name) << "\n";
    }
    for (const std::string& name : j.PhotosSetAside) {
        out << "set_aside=" << Escaped(name) << "\n";
    }
    const std::string body = out.str();
    return body + kCheck + Checksum(body) + "\n";
}

std::optional<RunJournal> ParseRunJournal(const std::string& text) {
    // The last line carries the check of everything above it.
    if (text.size() < 2 || text.back() != '\n') {
        return std::nullopt;
    }
    const std::size_t lastLine = text.rfind('\n', text.size() - 2);
    if (lastLine == std::string::npos) {
        return std::nullopt;
    }
    const std::string body = text.substr(0, lastLine + 1);
    if (text.compare(lastLine + 1, std::string::npos, kCheck + Checksum(body) + "\n") != 0) {
        return std::nullopt;
    }
    std::istringstream in(body);
    std::string line;
    if (!std::getline(in, line) || line != kHeader) {
        return std::nullopt;
    }
    RunJournal j;
    while (std::getline(in, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            return std::nullopt;
        }
        const std::string key = line.substr(0, equals);
        const std::optional<std::string> value = Unescaped(line.substr(equals + 1));
        if (!value) {
            return std::nullopt;
        }
        bool good = true;
        if (key == "written") {
            j.Written = *value;
        } else if (key == "stopped") {
            j.Stopped = *value;
        } else if (key == "photos_done") {
            good = ReadNumber(*value, j.PhotosDone);
        } else if (key == "rotations_done") {
            good = ReadNumber(*value, j.RotationsDone);
        } else if (key == "rotation_underway") {
            good = ReadFlag(*value, j.RotationUnderway);
        } else if (key == "retaken") {
            good = ReadNumber(*value, j.Retaken);
        } else if (key == "direction") {
            j.Return.DirectionLetter = *value;
            good = *value == "L" || *value == "R";
        } else if (key == "steps") {
            good = ReadNumber(*value, j.Return.StepsPerPhoto);
        } else if (key == "period") {
            good = ReadNumber(*value, j.Return.PeriodMs);
        } else if (key == "turned_back") {
            good = ReadFlag(*value, j.TurnedBack);
        } else if (key == "command") {
            j.Commands.push_back(*value);
        } else if (key == "at_start") {
            j.PhotosAtStart.push_back(*value);
        } else if (key == "received") {
            j.PhotosReceived.push_back(*value);
        } else if (key == "set_aside") {
            j.PhotosSetAside.push_back(*value);
        } else {
            good = false;
        }
        if (!good) {
            return std::nullopt;
        }
    }
    // A journal that names photos its commands never take cannot be right.
    std::int32_t photos = 0;
    for (const std::string& c : j.Commands) {
        photos += IsPhoto(c) ? 1 : 0;
    }
    if (j.Commands.empty() || j.PhotosDone > photos || j.Return.DirectionLetter.empty()) {
        return std::nullopt;
    }
    return j;
}

std::string StoppedAt(const RunJournal& journal) {
    return journal.Stopped.empty() ? journal.Written : journal.Stopped;
}

bool WriteRunJournal(const std::string& path, const RunJournal& journal) {
    return WriteFileAtomically(path, RunJournalText(journal));
}

bool RunJournalExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::u8path(path), ec);
}

RunJournalRead ReadRunJournal(const std::string& path) {
    RunJournalRead read;
    read.exists = RunJournalExists(path);
    if (!read.exists) {
        return read;
    }
    if (const std::optional<std::string> text = ReadWholeFile(path)) {
        read.journal = ParseRunJournal(*text);
    }
    return read;
}

void RemoveRunJournal(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(std::filesystem::u8path(path), ec);
}

void SetAsideDamagedJournal(const std::string& path) {
    std::error_code ec;
    std::filesystem::rename(std::filesystem::u8path(path),
                            std::filesystem::u8path(path + ".damaged"), ec);
    if (ec) {
        RemoveRunJournal(path);
    }
}

std::size_t ResumeIndex(const RunJournal& journal) {
    std::int32_t photos = 0;
    for (std::size_t i = 0; i < journal.Commands.size(); ++i) {
        if (IsPhoto(journal.Commands[i]) && photos++ == journal.PhotosDone) {
            return i;
        }
    }
    return journal.Commands.size();
}

std::int32_t RotationsAtResume(const RunJournal& journal) {
    return journal.RotationsDone + (journal.RotationUnderway ? 1 : 0);
}

std::string TurnToResumeCommand(const RunJournal& journal) {
    const std::int32_t rotations = RotationsAtResume(journal);
    if (!journal.TurnedBack || rotations == 0) {
        return {};
    }
    // The way back of a run turned the other way is this run's way forward.
    ReturnPlan forward = journal.Return;
    forward.DirectionLetter = journal.Return.DirectionLetter == "R" ? "L" : "R";
    return ReturnCommand(forward, rotations);
}

std::vector<std::string> ResumeSetup(const RunJournal& journal) {
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
    return setup;
}

ResumedPhotos PhotosToResume(const RunJournal& journal, const std::vector<std::string>& listing) {
    ResumedPhotos photos;
    std::set<std::string> seen;
    for (const std::string& name : journal.PhotosAtStart) {
        seen.insert(AsciiFolded(name));
    }
    for (const std::string& name : journal.PhotosReceived) {
        photos.received.push_back(name);
        seen.insert(AsciiFolded(name));
    }
    // Set-aside photos are no position's: they leave room for one more.
    const auto taken = static_cast<std::size_t>(journal.PhotosDone) + journal.PhotosSetAside.size();
    for (const std::string& name : listing) {
        const std::string key = AsciiFolded(name);
        if (seen.count(key) == 0 && photos.received.size() < taken) {
            photos.received.push_back(name);
            seen.insert(key);
        }
    }
    std::set<std::string> received;
    for (const std::string& name : photos.received) {
        received.insert(AsciiFolded(name));
    }
    for (const std::string& name : listing) {
        if (received.count(AsciiFolded(name)) == 0) {
            photos.known.push_back(name);
        }
    }
    return photos;
}

}  // namespace zentrivo
