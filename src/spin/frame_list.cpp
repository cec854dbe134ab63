#include "frame_list.h"

#include <algorithm>
#include <cctype>

namespace zentrivo {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool IsPhotoName(const std::string& name) {
    if (name.empty() || name[0] == '.') {
        return false;  // hidden, such as the "._" companions other systems leave on cards
    }
    const std::string extension = Lower(std::filesystem::path(name).extension().string());
    return extension == ".jpg" || extension == ".jpeg";
}

// The digits of a name like "12.jpg" without leading zeros, or nothing.
bool NumberOf(const std::filesystem::path& photo, std::string& digits) {
    const std::string stem = photo.stem().string();
    if (stem.empty() || !std::all_of(stem.begin(), stem.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return false;
    }
    const auto first = stem.find_first_not_of('0');
    digits = first == std::string::npos ? "0" : stem.substr(first);
    return true;
}

bool TurnOrder(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::string da, db;
    const bool na = NumberOf(a, da);
    const bool nb = NumberOf(b, db);
    if (na != nb) {
        return na;
    }
    if (na && da != db) {
        // Any number of digits: the shorter is the smaller.
        return da.size() != db.size() ? da.size() < db.size() : da < db;
    }
    const std::string ia = Lower(a.filename().string());
    const std::string ib = Lower(b.filename().string());
    return ia != ib ? ia < ib : a.filename() < b.filename();
}

}  // namespace

std::vector<std::filesystem::path> ListTurnPhotos(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> photos;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::error_code ignored;
        if (entry.is_regular_file(ignored) && IsPhotoName(entry.path().filename().string())) {
            photos.push_back(entry.path());
        }
    }
    std::sort(photos.begin(), photos.end(), TurnOrder);
    return photos;
}

std::vector<std::filesystem::path> ChooseFrames(const std::vector<std::filesystem::path>& photos,
                                                const FrameChoice& choice, bool reverse,
                                                std::string& why) {
    std::vector<std::filesystem::path> frames;
    const std::size_t total = photos.size();
    switch (choice.kind) {
        case FrameChoice::Kind::kAll:
            frames = photos;
            break;
        case FrameChoice::Kind::kEvery:
            for (std::size_t i = 0; i < total; i += static_cast<std::size_t>(choice.every)) {
                frames.push_back(photos[i]);
            }
            break;
        case FrameChoice::Kind::kCount: {
            const auto count = static_cast<std::size_t>(choice.count);
            if (count > total) {
                why = "The source folder holds " + std::to_string(total) + " photos; " +
                      std::to_string(count) + " frames cannot be taken from them.";
                return {};
            }
            for (std::size_t i = 0; i < count; ++i) {
                frames.push_back(photos[i * total / count]);
            }
            break;
        }
    }
    if (reverse && frames.size() > 1) {
        std::reverse(frames.begin() + 1, frames.end());
    }
    return frames;
}

}  // namespace zentrivo
