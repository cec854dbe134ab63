#include "core/photos/photo_watch.h"

#include "core/ascii_case.h"
#include "core/path_checks.h"
#include "core/photos/photo_listing.h"

namespace zentrivo {

void PhotoList::Add(const std::string& name) {
    AddKeyed(name, AsciiFolded(name));
}

bool PhotoList::Contains(const std::string& name) const {
    return ContainsFolded(AsciiFolded(name));
}

void PhotoList::Clear() {
    names_.clear();
    keys_.Clear();
}

void PhotoList::AddKeyed(const std::string& name, std::string key) {
    names_.push_back(name);
    keys_.Insert(std::move(key));
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
        if (KnownPhotos.ContainsFolded(key) || NewPhotos.ContainsFolded(key)) {
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

// What the folder held at Start is only ever asked about, never shown, so
// its names are kept in the order found, with no sort.
void BeginPhotoWatch(PhotoWatch& watch, const std::string& cameraFolder) {
    watch.NewPhotos.Clear();
    watch.KnownPhotos.Clear();
    ForEachPhotoName(cameraFolder,
                     [&](std::string_view name) { watch.KnownPhotos.Add(std::string(name)); });
}

// The refresh runs every few seconds in the window's thread, on folders of
// tens of thousands of photos: each listed name is folded into one reused
// buffer and looked up once, and only the names not seen before are copied
// and sorted, so a refresh costs little more than reading the folder.
std::vector<std::string> RefreshNewPhotos(PhotoWatch& watch, const std::string& cameraFolder) {
    if (!IsExistingFolder(cameraFolder)) {
        return {};
    }
    std::vector<std::string> unseen;
    std::string key;
    ForEachPhotoName(cameraFolder, [&](std::string_view name) {
        key.assign(name);
        for (char& c : key) {
            c = AsciiLower(c);
        }
        if (!watch.KnownPhotos.ContainsFolded(key) && !watch.NewPhotos.ContainsFolded(key)) {
            unseen.emplace_back(name);
        }
    });
    SortPhotoNames(unseen);
    return watch.Refresh(unseen);
}

}  // namespace zentrivo
