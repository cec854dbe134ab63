#include "core/photos/photo_copy.h"

#include <filesystem>

#include "core/clock_text.h"
#include "core/path_checks.h"
#include "core/paths.h"
#include "core/photos/photo_arrival.h"
#include "core/photos/photo_folder_name.h"

namespace zentrivo {

namespace fs = std::filesystem;

namespace {

std::string SubFolderName(const CopyRequest& request, const CopyDialogs& dialogs) {
    // The stamp is offered free of any folder there, so that two copies made
    // within one second each get a folder of their own.
    const std::string stamp = UnusedStamp(request.destinationFolder, FolderStamp(request.now));
    if (request.autoName) {
        return stamp;
    }
    const std::string typed = dialogs.askFolderName(stamp).value_or(stamp);
    FolderNameChoice choice = ChooseFolderName(request.destinationFolder, typed, stamp);
    if (!choice.notice.empty()) {
        dialogs.showMessage(MessageKind::kNotice, kNoticeTitle, choice.notice);
    }
    return std::move(choice.name);
}

}  // namespace

bool CreateFolderLevel(const std::string& path) {
    std::error_code ec;
    return fs::create_directory(fs::path(path), ec) && !ec;
}

bool CreateFolderWithParents(const std::string& path) {
    std::error_code ec;
    fs::create_directories(fs::path(path), ec);
    return IsExistingFolder(path);
}

namespace {

// copy_file lets the system copy in the kernel (sendfile on Linux,
// CopyFile on Windows), which keeps large photos about as fast as `cp`.
bool CopyKeepingTime(const fs::path& source, const fs::path& destination,
                     fs::copy_options options) {
    std::error_code ec;
    if (fs::copy_file(source, destination, options, ec) && !ec) {
        // The copy keeps the camera's file time, so that photos sorted by
        // date stay in the order they were taken. A time that cannot be
        // set costs the order, never the photo.
        const fs::file_time_type taken = fs::last_write_time(source, ec);
        if (!ec) {
            fs::last_write_time(destination, taken, ec);
        }
        return true;
    }
    // A copy broken off half way must not pass for the photo; but a failure
    // to copy a file onto itself must not delete the photo, nor an addition
    // a file that was there before it.
    std::error_code ignored;
    if (ec != std::errc::file_exists && !fs::equivalent(source, destination, ignored)) {
        fs::remove(destination, ignored);
    }
    return false;
}

}  // namespace

bool CopyPhoto(const std::string& source, const std::string& destination) {
#ifdef _WIN32
    // The standard library for Windows sees no inode numbers there and
    // refuses to overwrite any file as if it were the source itself; a copy
    // onto itself is still refused below.
    std::error_code ec;
    if (!fs::equivalent(fs::path(source), fs::path(destination), ec)) {
        fs::remove(fs::path(destination), ec);
    }
#endif
    return CopyKeepingTime(fs::path(source), fs::path(destination),
                           fs::copy_options::overwrite_existing);
}

bool AddPhoto(const std::string& source, const std::string& destination) {
    std::error_code ec;
    if (fs::exists(fs::path(destination), ec) || ec) {
        return false;
    }
    return CopyKeepingTime(fs::path(source), fs::path(destination), fs::copy_options::none);
}

CopyResult CopyNewPhotos(const CopyRequest& request, const CopyDialogs& dialogs) {
    const std::optional<std::string> target = MakeCopyFolder(request, dialogs);
    if (!target) {
        return CopyResult{};
    }
    return CopyPhotosInto(request, *target, dialogs);
}

std::optional<std::string> MakeCopyFolder(const CopyRequest& request, const CopyDialogs& dialogs) {
    if (!IsExistingFolder(request.destinationFolder)) {
        dialogs.showMessage(MessageKind::kError, kErrorTitle, kChooseDestinationText);
        return std::nullopt;
    }
    std::string target = JoinPath(request.destinationFolder, SubFolderName(request, dialogs));
    if (!CreateFolderLevel(target)) {
        dialogs.showMessage(MessageKind::kError, kErrorTitle, kCreateFolderFailedText);
        return std::nullopt;
    }
    return target;
}

CopyResult CopyPhotosInto(const CopyRequest& request, const std::string& target,
                          const CopyDialogs& dialogs) {
    CopyResult result;
    result.target = target;
    // Each photo with the name of its copy, relative to the sub-folder.
    std::vector<std::pair<std::string, std::string>> copies;
    for (std::size_t i = 0; i < request.photos.size(); ++i) {
        if (!request.photos[i].empty()) {
            copies.emplace_back(request.photos[i], std::to_string(i + 1) + ".jpg");
        }
    }
    const std::string aside = JoinPath(target, kSetAsideFolder);
    if (!request.setAside.empty() && !CreateFolderLevel(aside)) {
        result.notCopied = request.setAside;
    } else {
        for (const std::string& name : request.setAside) {
            copies.emplace_back(name, JoinPath(kSetAsideFolder, name));
        }
    }
    const std::size_t count = copies.size();
    // Set-aside photos without their folder count as not copied.
    result.count = count + result.notCopied.size();
    for (std::size_t i = 0; i < count; ++i) {
        const auto& [name, copy] = copies[i];
        const std::string source = JoinPath(request.cameraFolder, name);
        const bool ready = !dialogs.beforeCopy || dialogs.beforeCopy(i + 1, count, source);
        const std::string destination = JoinPath(target, copy);
        const bool copied = ready && (request.addOnly ? AddPhoto(source, destination)
                                                      : CopyPhoto(source, destination));
        if (!copied) {
            result.notCopied.push_back(name);
        } else if (IsCutShortJpeg(source)) {
            result.incomplete.push_back(copy);
        }
    }
    result.done = true;
    return result;
}

}  // namespace zentrivo
