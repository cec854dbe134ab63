#include "folder_camera.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "jpeg_encoder.h"
#include "turntable_picture.h"
#include "write_all.h"

namespace {

constexpr int kLastNumber = 9999;
constexpr int kParts = 4;

const std::string& ExistingFolder(const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw std::runtime_error("the camera folder " + folder + " does not exist");
    }
    return folder;
}

bool SameLetters(std::string_view text, std::string_view upper_case) {
    for (std::size_t i = 0; i < upper_case.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != upper_case[i]) {
            return false;
        }
    }
    return true;
}

// The number of a name such as IMG_0042.JPG or img_0042.jpg; 0 for other names.
int PhotoNumber(std::string_view name) {
    if (name.size() != 12 || !SameLetters(name.substr(0, 4), "IMG_") ||
        !SameLetters(name.substr(8), ".JPG")) {
        return 0;
    }
    int number = 0;
    for (const char c : name.substr(4, 4)) {
        if (c < '0' || c > '9') {
            return 0;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

int HighestPhotoNumber(const std::string& folder) {
    int highest = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        highest = std::max(highest, PhotoNumber(entry->path().filename().string()));
    }
    return highest;
}

std::string PhotoName(int number, const char* extension = "JPG") {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.%s", number, extension);
    return name;
}

void Complain(const std::string& what) {
    std::cerr << "turntable_sim: camera: " << what << std::endl;
}

// The RAW twin of a photo; its content matters to no one, only that it is
// another file of the same shot.
void StoreRaw(const std::string& path, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 || !WriteAll(fd, "RAW " + bytes)) {
        Complain("cannot write " + path + ": " + std::strerror(errno));
    }
    if (fd >= 0) {
        close(fd);
    }
}

}  // namespace

FolderCamera::FolderCamera(const std::string& folder, std::chrono::milliseconds delay,
                           std::chrono::milliseconds write_time, const CameraFaults& faults)
    : folder_(ExistingFolder(folder)),
      write_time_(write_time),
      faults_(faults),
      queue_(delay, faults, HighestPhotoNumber(folder), [this](const Shot& shot) { Store(shot); }) {
}

FolderCamera::~FolderCamera() {
    queue_.Stop();
}

void FolderCamera::TakePhoto(std::int64_t /*shutter_ms*/, double angle_degrees) {
    queue_.Take(angle_degrees);
}

void FolderCamera::Store(const Shot& shot) {
    for (int number = shot.FileNumber; number <= kLastNumber; ++number) {
        const std::string path = (std::filesystem::path(folder_) / PhotoName(number)).string();
        // Never over a file that is there already, even one that came after
        // the camera looked at the folder.
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            Complain("cannot create " + path + ": " + std::strerror(errno));
            return;
        }
        const std::string jpeg = TurntablePhoto(shot.AngleDegrees, number, shot.Number);
        const std::string_view bytes(jpeg);
        for (int part = 0; part < kParts; ++part) {
            if (part > 0) {
                std::this_thread::sleep_for(write_time_ / (kParts - 1));
            }
            if (part == kParts / 2 && shot.Number == faults_.Cut) {
                std::this_thread::sleep_for(std::chrono::milliseconds(faults_.CutMs));
            }
            const std::size_t begin = bytes.size() * part / kParts;
            const std::size_t end = bytes.size() * (part + 1) / kParts;
            if (!WriteAll(fd, bytes.substr(begin, end - begin))) {
                Complain("cannot write " + path + ": " + std::strerror(errno));
                break;
            }
        }
        close(fd);
        if (faults_.Raw) {
            StoreRaw((std::filesystem::path(folder_) / PhotoName(number, "CR2")).string(), jpeg);
        }
        return;
    }
    Complain("no photo number is left after " + PhotoName(kLastNumber) + " in " + folder_);
}
