#include "photo_arrival.h"

namespace zentrivo {

namespace {

bool SomeMissing(std::size_t taken, std::size_t received) {
    return received > 0 && received < taken;
}

}  // namespace

bool AwaitMorePhotos(std::size_t taken, std::size_t received,
                     std::chrono::milliseconds sinceLastArrival) {
    return SomeMissing(taken, received) && sinceLastArrival < kPhotoArrivalQuiet;
}

std::string MissingPhotosLine(std::size_t taken, std::size_t received) {
    if (!SomeMissing(taken, received)) {
        return {};
    }
    return "Only " + std::to_string(received) + " of " + std::to_string(taken) +
           " photos came from the camera !";
}

}  // namespace zentrivo
