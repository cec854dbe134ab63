#include "core/photos/photo_arrival.h"

#include <fstream>

namespace zentrivo {

bool AwaitMorePhotos(std::size_t taken, std::size_t whole, std::size_t listed,
                     std::chrono::milliseconds sinceLastChange) {
    if (whole >= taken && whole >= listed) {
        return false;
    }
    return sinceLastChange < (listed == 0 ? kFirstPhotoGrace : kPhotoArrivalQuiet);
}

std::string MissingPhotosLine(std::size_t taken, std::size_t received) {
    if (received >= taken) {
        return {};
    }
    return "Only " + std::to_string(received) + " of " + std::to_string(taken) +
           " photos came from the camera !";
}

std::vector<std::string> MissingFrameLines(const std::vector<std::string>& frames, int taken,
                                           int planned, const std::vector<std::string>& failed) {
    const auto named = [](const std::vector<std::string>& list, int position) {
        return static_cast<std::size_t>(position) <= list.size() &&
               !list[static_cast<std::size_t>(position) - 1].empty();
    };
    std::vector<std::string> lines;
    const std::string of = " of " + std::to_string(planned) + " ";
    for (int first = 1; first <= taken; ++first) {
        if (named(frames, first)) {
            continue;
        }
        const std::string a = std::to_string(first);
        if (named(failed, first)) {
            lines.push_back("Photo " + a + of + "did not come from the camera: " + a +
                            ".jpg is missing (" + failed[static_cast<std::size_t>(first) - 1] +
                            " could not be downloaded)");
            continue;
        }
        int last = first;
        while (last < taken && !named(frames, last + 1) && !named(failed, last + 1)) {
            ++last;
        }
        const std::string b = std::to_string(last);
        lines.push_back(
            first == last
                ? "Photo " + a + of + "did not come from the camera: " + a + ".jpg is missing"
                : "Photos " + a + " to " + b + of + "did not come from the camera: " + a +
                      ".jpg to " + b + ".jpg are missing");
        first = last;
    }
    return lines;
}

bool IsWholeJpeg(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 4) {
        return false;
    }
    unsigned char head[2] = {};
    unsigned char tail[2] = {};
    in.seekg(0);
    in.read(reinterpret_cast<char*>(head), 2);
    in.seekg(size - 2);
    in.read(reinterpret_cast<char*>(tail), 2);
    return in && head[0] == 0xFF && head[1] == 0xD8 && tail[0] == 0xFF && tail[1] == 0xD9;
}

bool IsCutShortJpeg(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    unsigned char head[2] = {};
    in.read(reinterpret_cast<char*>(head), 2);
    if (in.gcount() == 0) {
        return true;
    }
    return head[0] == 0xFF && (in.gcount() == 1 || head[1] == 0xD8) && !IsWholeJpeg(path);
}

void PhotoArrivals::Look(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (complete_.count(path) == 0 && settle_.Settled(path) && IsWholeJpeg(path)) {
            complete_.insert(path);
        }
    }
}

void PhotoArrivals::Accept(const std::vector<std::string>& paths) {
    complete_.insert(paths.begin(), paths.end());
}

void PhotoArrivals::Clear() {
    settle_.Clear();
    complete_.clear();
}

bool IsPhotoCommand(const std::string& command) {
    return !command.empty() && command[0] == 'P';
}

int PhotoCommandCount(const std::vector<std::string>& commands) {
    return PhotoNumberAt(commands, commands.size());
}

int PhotoNumberAt(const std::vector<std::string>& commands, std::size_t index) {
    int number = 0;
    for (std::size_t i = 0; i < commands.size() && i <= index; ++i) {
        number += IsPhotoCommand(commands[i]) ? 1 : 0;
    }
    return number;
}

std::string PhotoMissingText(int number, int count) {
    return "Photo " + std::to_string(number) + " of " + std::to_string(count) +
           " did not arrive from the camera, also when taken again !\r\n\r\n"
           "Please check the camera: is it on and awake, is its memory card in place and not "
           "full, is the flash ready, does it still store into the camera folder?\r\n"
           "Then press Continue to take the photo again.";
}

std::string PhotoCheckLine(int planned, std::size_t received, int retaken, std::size_t setAside) {
    return "Photos planned: " + std::to_string(planned) +
           ", received: " + std::to_string(received) + ", taken again: " + std::to_string(retaken) +
           (setAside > 0 ? ", set aside: " + std::to_string(setAside) : "");
}

}  // namespace zentrivo
