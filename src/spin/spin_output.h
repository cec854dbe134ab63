#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zentrivo {

// The names an export gives its files in the target folder.
constexpr const char* kViewerPageName = "index.html";
constexpr const char* kViewerScriptName = "spin.js";
constexpr const char* kFramesFolderName = "frames";
constexpr const char* kWebpName = "spin.webp";
constexpr const char* kVideoName = "spin.mp4";
constexpr const char* kStillsFolderName = "stills";

// Why the export must not write into `target`, or nothing: the "frames"
// folder it replaces (and "stills", when it makes stills) must not hold the
// photos or anything but what an earlier export put there.
std::string CheckTarget(const std::filesystem::path& source, const std::filesystem::path& target,
                        bool stills = false);

// An export's files are made in a hidden folder inside the target and moved
// into place only when all of them are complete: a failed or cancelled
// export leaves nothing that looks finished, and an earlier export stays
// whole until the new one replaces it. Throws std::filesystem::filesystem_error.
class StagedOutput {
public:
    // Makes the target when missing (and takes it away again, if empty,
    // unless published).
    explicit StagedOutput(const std::filesystem::path& target);
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    // Where to make a file or folder that will be published as `name`.
    std::filesystem::path Path(const std::string& name) const;
    // How the user is told of `made`, a path in the hidden folder or the
    // target: its place in `target` as the user named it.
    std::filesystem::path Shown(const std::filesystem::path& made,
                                const std::filesystem::path& target) const;
    // Moves the named files into the target in the order given, each
    // replacing its earlier version; their final paths.
    std::vector<std::filesystem::path> Publish(const std::vector<std::string>& names);

private:
    std::filesystem::path target_;
    std::filesystem::path staging_;
    bool madeTarget_ = false;
    bool published_ = false;
};

}  // namespace zentrivo
