#include "spin_output.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <random>

namespace zentrivo {

namespace fs = std::filesystem;

namespace {

// 1.jpg, 2.jpg, ...; stills may also be 1.png, ...
bool IsFrameName(const fs::path& name, bool png) {
    const std::string stem = name.stem().string();
    return (name.extension() == ".jpg" || (png && name.extension() == ".png")) && !stem.empty() &&
           stem.find_first_not_of("0123456789") == std::string::npos;
}

// Is `inner` the folder `outer` or one inside it?
bool Within(const fs::path& inner, const fs::path& outer) {
    std::error_code ignored;
    const fs::path a = fs::weakly_canonical(inner, ignored);
    const fs::path b = fs::weakly_canonical(outer, ignored);
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
        if (bi->empty()) {
            continue;  // a trailing separator
        }
        if (ai == a.end() || *ai != *bi) {
            return false;
        }
    }
    return true;
}

std::string CheckReplaced(const fs::path& source, const fs::path& folder, bool png) {
    if (Within(source, folder)) {
        return "The export would replace the folder \"" + folder.string() +
               "\", which holds the photos. Choose another target folder.";
    }
    std::error_code error;
    if (fs::is_directory(folder, error)) {
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            if (!entry.is_regular_file(error) || !IsFrameName(entry.path().filename(), png)) {
                return "The folder \"" + folder.string() + "\" holds files that are not " +
                       (png ? "stills" : "frames") +
                       " of an earlier export. Choose another target folder.";
            }
        }
    }
    return {};
}

}  // namespace

std::string CheckTarget(const fs::path& source, const fs::path& target, bool stills) {
    std::error_code error;
    if (fs::exists(target, error) && !fs::is_directory(target, error)) {
        return "The target \"" + target.string() + "\" is a file, not a folder.";
    }
    std::string why = CheckReplaced(source, target / kFramesFolderName, false);
    if (why.empty() && stills) {
        why = CheckReplaced(source, target / kStillsFolderName, true);
    }
    return why;
}

StagedOutput::StagedOutput(const fs::path& target) : target_(fs::absolute(target)) {
    madeTarget_ = !fs::exists(target_);
    fs::create_directories(target_);
    std::random_device random;
    for (;;) {
        staging_ = target_ / (".zentrivo-spin-" + std::to_string(::getpid()) + "-" +
                              std::to_string(random() % 1000000));
        if (fs::create_directory(staging_)) {
            break;
        }
    }
}

StagedOutput::~StagedOutput() {
    std::error_code ignored;
    fs::remove_all(staging_, ignored);
    if (madeTarget_ && !published_) {
        fs::remove(target_, ignored);  // only when empty
    }
}

fs::path StagedOutput::Path(const std::string& name) const {
    return staging_ / name;
}

fs::path StagedOutput::Shown(const fs::path& made, const fs::path& target) const {
    for (const fs::path& folder : {staging_, target_}) {
        const fs::path inside = made.lexically_relative(folder);
        if (!inside.empty() && *inside.begin() != "..") {
            return inside == "." ? target : target / inside;
        }
    }
    return made;
}

std::vector<fs::path> StagedOutput::Publish(const std::vector<std::string>& names) {
    std::vector<fs::path> placed;
    for (const std::string& name : names) {
        const fs::path made = Path(name);
        const fs::path final = target_ / name;
        if (fs::is_directory(made) && fs::exists(final)) {
            // A folder cannot be renamed over another: the old one goes
            // into the staging folder, which is removed at the end.
            fs::rename(final, Path(".replaced-" + name));
        }
        fs::rename(made, final);
        placed.push_back(final);
        published_ = true;
    }
    return placed;
}

}  // namespace zentrivo
