#pragma once

#include <chrono>
#include <cstddef>
#include <string>

// The photos a run took against the photos the camera has stored so far. A
// camera stores a photo some time after its exposure (real ones take half a
// second to two seconds), so the last photos of a run come after its last
// command.
namespace zentrivo {

// How long the end of a run waits for the camera's next photo before it
// takes the rest as lost.
inline constexpr std::chrono::milliseconds kPhotoArrivalQuiet{5000};

// Whether the end of a run keeps looking at the camera folder: some photos
// came (a run without a camera gets none and does not wait), fewer than the
// run took, and the last came less than kPhotoArrivalQuiet ago.
bool AwaitMorePhotos(std::size_t taken, std::size_t received,
                     std::chrono::milliseconds sinceLastArrival);

// The line the completion message gains when fewer photos came than the run
// took, e.g. "Only 29 of 30 photos came from the camera !"; empty when all
// came, or none (a run without a camera).
std::string MissingPhotosLine(std::size_t taken, std::size_t received);

}  // namespace zentrivo
