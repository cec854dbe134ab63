#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zentrivo {

// The messages a copy may show, each with its title.
constexpr const char* kErrorTitle = "Error";
constexpr const char* kNoticeTitle = "Notice";
constexpr const char* kChooseDestinationText =
    "First you must choose a directory for new photos to be copied !";
constexpr const char* kCreateFolderFailedText = "I could not create a directory for new photos !";

enum class MessageKind { kNotice, kError };  // information icon, error icon

// What a copy asks of the window. askFolderName and showMessage are needed;
// beforeCopy may be left empty.
struct CopyDialogs {
    // Asks for the sub-folder's name, offering `stamp`, selected; nullopt on Cancel.
    std::function<std::optional<std::string>(const std::string& stamp)> askFolderName;
    // Shows a modal message box.
    std::function<void(MessageKind kind, const std::string& title, const std::string& text)>
        showMessage;
    // Runs before photo `number` of `count` is copied from `source`: the place
    // to show progress, let events run, and wait until the camera has finished
    // writing it. False passes the photo over as not copied.
    std::function<bool(std::size_t number, std::size_t count, const std::string& source)>
        beforeCopy;
};

struct CopyRequest {
    std::string cameraFolder;       // where the photos are, as set at the moment of copying
    std::string destinationFolder;  // where the new sub-folder goes
    // Names in the order of the photo list; an empty name is a place
    // without a photo, whose number stays unused.
    std::vector<std::string> photos;
    // Photos that are no place's: copied under their own names into the
    // sub-folder kSetAsideFolder of the copy.
    std::vector<std::string> setAside;
    bool autoName = false;  // name the sub-folder by date and time without asking
    // Adds to a copy made before: a file of the sub-folder is never replaced.
    bool addOnly = false;
    std::tm now{};  // local time of the copy, for the stamp
};

struct CopyResult {
    bool done = false;                   // the sub-folder was created and the copying ran
    std::string target;                  // the sub-folder, once created
    std::size_t count = 0;               // the photos it was to copy
    std::vector<std::string> notCopied;  // photos passed over, in list order
    // Copies made of a photo that was not whole ("3.jpg", or
    // "extra/IMG_0007.JPG"): the camera had not finished writing it.
    std::vector<std::string> incomplete;
};

// Where a copy keeps the photos set aside.
constexpr const char* kSetAsideFolder = "extra";

// Creates a new sub-folder of the destination and copies the photos into it
// as 1.jpg, 2.jpg, ... in list order; a photo that cannot be copied leaves its
// number unused. Every message on the way goes through `dialogs`.
CopyResult CopyNewPhotos(const CopyRequest& request, const CopyDialogs& dialogs);

// The two halves of CopyNewPhotos, for a copy whose questions are asked in
// one place and whose files are copied in another: the new sub-folder, named
// and made (nothing when it could not be, with the message shown), and the
// photos copied into it, with only `dialogs.beforeCopy` called.
std::optional<std::string> MakeCopyFolder(const CopyRequest& request, const CopyDialogs& dialogs);
CopyResult CopyPhotosInto(const CopyRequest& request, const std::string& target,
                          const CopyDialogs& dialogs);

// Creates the one folder `path`; false when it could not be created, also
// when it exists already.
bool CreateFolderLevel(const std::string& path);

// Creates the folder `path` with every missing folder above it; true when
// it is an existing folder afterwards.
bool CreateFolderWithParents(const std::string& path);

// Copies `source` over `destination` with its modification time; on failure
// no file is left at `destination`.
bool CopyPhoto(const std::string& source, const std::string& destination);
// The same where no file is at `destination` yet; false, with that file left
// as it is, when one is.
bool AddPhoto(const std::string& source, const std::string& destination);

}  // namespace zentrivo
