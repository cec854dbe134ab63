#pragma once

#include <chrono>
#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/photos/photo_settle.h"

// The photos a run took against the photos the camera has stored so far. A
// camera stores a photo some time after its exposure (real ones take half a
// second to two seconds), so the last photos of a run come after its last
// command.
namespace zentrivo {

// How long the end of a run waits after the camera folder last changed (a
// photo came, or grew) before it takes the rest as lost; a camera that
// writes slowly, or a tethering program that copies over a slow link, takes
// several seconds a photo.
inline constexpr std::chrono::milliseconds kPhotoArrivalQuiet{30000};
// How long it waits for the first photo when none has come at all: a setup
// without a camera in that folder is not kept waiting for long.
inline constexpr std::chrono::milliseconds kFirstPhotoGrace{5000};

// Whether the end of a run keeps looking at the camera folder: fewer photos
// are whole than the run took, or some are still being written, and the
// folder changed less than kPhotoArrivalQuiet ago (kFirstPhotoGrace while
// none is there). `whole` counts the new photos arrived whole, `listed`
// every new photo.
bool AwaitMorePhotos(std::size_t taken, std::size_t whole, std::size_t listed,
                     std::chrono::milliseconds sinceLastChange);

// The line the completion message gains when fewer photos came than the run
// took, e.g. "Only 29 of 30 photos came from the camera !", none included;
// empty when all came.
std::string MissingPhotosLine(std::size_t taken, std::size_t received);
// The lines that name the positions of `frames` (the photo of each position
// from 1, empty for none) up to `taken` that have no photo, with the copy
// each leaves out: "Photo 10 of 30 did not come from the camera: 10.jpg is
// missing", a run of them on one line ("Photos 5 to 30 of 30 ...: 5.jpg to
// 30.jpg are missing"). `failed` holds the camera's file of a position
// that could not be downloaded, empty for the others: its line names it, on
// its own ("... 2.jpg is missing (IMG_0002.JPG could not be downloaded)").
std::vector<std::string> MissingFrameLines(const std::vector<std::string>& frames, int taken,
                                           int planned,
                                           const std::vector<std::string>& failed = {});

// The check that each photo arrives before the turntable moves on.

// How long a photo is waited for before it is taken again, and how often it
// is taken again before the run pauses for the user.
inline constexpr std::chrono::milliseconds kPhotoArrivalLimit{10000};
inline constexpr int kMostRetakes = 2;

// Whether the file at `path` holds a whole JPEG: it begins with the
// start-of-image marker and ends with the end-of-image marker. A photo the
// camera is still writing, or one it cut short, does not.
bool IsWholeJpeg(const std::string& path);
// Whether the file at `path` is a JPEG the camera has not finished: empty, or
// begun with the start-of-image marker and not yet ended. A file of another
// kind is not taken for one.
bool IsCutShortJpeg(const std::string& path);

// How long a whole JPEG must stay unchanged before it counts as arrived. Its
// end marker says the camera has written it to the end; the short settle
// covers a file cut at the end of the preview picture embedded in it, which
// ends with the same marker. A camera writes a photo in one go, so a pause
// of this length in the middle of one is not met.
inline constexpr std::chrono::milliseconds kWholePhotoSettle{100};

// The new photos of a run that have arrived whole: a photo counts once it is
// a whole JPEG and its size and time have stayed the same for
// kWholePhotoSettle. Looks come from the window, several times a second.
class PhotoArrivals {
public:
    explicit PhotoArrivals(PhotoSettle::Clock clock = &std::chrono::steady_clock::now)
        : settle_(kWholePhotoSettle, std::move(clock)) {}

    // Looks again at each of `paths` not yet counted.
    void Look(const std::vector<std::string>& paths);
    // Counts `paths` as arrived without looking: the photos a resumed run
    // took before it was interrupted.
    void Accept(const std::vector<std::string>& paths);
    std::size_t Complete() const { return complete_.size(); }
    bool Arrived(const std::string& path) const { return complete_.count(path) != 0; }
    void Clear();

private:
    PhotoSettle settle_;
    std::set<std::string> complete_;
};

// The photo commands ("P...") of a command list, and which of them the
// command at `index` belongs to, counted from 1: the number of photo
// commands up to and including it.
bool IsPhotoCommand(const std::string& command);
int PhotoCommandCount(const std::vector<std::string>& commands);
int PhotoNumberAt(const std::vector<std::string>& commands, std::size_t index);

// The message that pauses a run whose photo did not come even when taken
// again.
std::string PhotoMissingText(int number, int count);

// The line the completion message gains when the check is on, e.g.
// "Photos planned: 8, received: 8, taken again: 1"; photos that were no
// position's add ", set aside: 1".
std::string PhotoCheckLine(int planned, std::size_t received, int retaken,
                           std::size_t setAside = 0);

}  // namespace zentrivo
