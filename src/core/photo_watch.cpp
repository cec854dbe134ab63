#include "photo_watch.h"

#include "ascii_case.h"
#include "path_checks.h"
#include "photo_listing.h"

namespace zentrivo {

void PhotoList::Add(const std::string& name) {
    AddKeyed(name, AsciiFolded(name));
}

bool PhotoList::Contains(const std::string& name) const {
    return ContainsKey(AsciiFolded(name));
}

void PhotoList::Clear() {
    names_.clear();
    keys_.clear();
}

void PhotoList::AddKeyed(const std::string& name, std::string key) {
    names_.push_back(name);
    keys_.insert(std::move(key));
}

void PhotoWatch::Begin(const std::vector<std::string>& snapshot) {
    NewPhotos.Clear();
    KnownPhotos.Clear();
    for (const std::string& name : snapshot) {
        KnownPhotos.Add(name);
    }
}

std::vector<std::string> PhotoWatch::Refresh(const std::vector<std::string>& listing) {
    std::vector<std::string> added;
    for (const std::string& name : listing) {
        std::string key = AsciiFolded(name);
        if (KnownPhotos.ContainsKey(key) || NewPhotos.ContainsKey(key)) {
            continue;
        }
        NewPhotos.AddKeyed(name, std::move(key));
        added.push_back(name);
    }
    return added;
}

std::string NewPhotosText(std::size_t count) {
    return "New Photos: " + std::to_string(count);
}

void BeginPhotoWatch(PhotoWatch& watch, const std::string& cameraFolder) {
    watch.Begin(ListFiles(cameraFolder));
}

std::vector<std::string> RefreshNewPhotos(PhotoWatch& watch, const std::string& cameraFolder) {
    if (!IsExistingFolder(cameraFolder)) {
        return {};
    }
    return watch.Refresh(ListFiles(cameraFolder));
}

}  // namespace zentrivo
