#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/photos/folded_name_index.h"

namespace zentrivo {

// Photo names in the order they were added, with an index of their
// case-folded forms beside them, so that asking whether the list holds a name
// (regardless of letter case) costs the same for ten names as for fifty
// thousand. The answers are those of a search through the list, name by name.
class PhotoList {
public:
    void Add(const std::string& name);
    bool Contains(const std::string& name) const;
    // The same question for a name already folded to lower case (AsciiFolded).
    bool ContainsFolded(const std::string& folded) const { return keys_.Contains(folded); }
    void Clear();

    const std::vector<std::string>& Names() const { return names_; }
    std::size_t Count() const { return names_.size(); }

private:
    friend struct PhotoWatch;
    void AddKeyed(const std::string& name, std::string key);

    std::vector<std::string> names_;
    FoldedNameIndex keys_;
};

// The two lists of the photo watch: what the camera folder held when watching
// began, and the names that have turned up since, in the order found.
struct PhotoWatch {
    PhotoList KnownPhotos;
    PhotoList NewPhotos;

    // Starts over: `snapshot` becomes KnownPhotos, NewPhotos is emptied.
    void Begin(const std::vector<std::string>& snapshot);

    // Appends to NewPhotos, in listing order, every name of `listing` that is
    // in neither list (regardless of letter case), and returns those names.
    // Names that have left the folder stay in NewPhotos.
    std::vector<std::string> Refresh(const std::vector<std::string>& listing);

    std::size_t NewCount() const { return NewPhotos.Count(); }
};

// The status bar's count: "New Photos: " and the number.
std::string NewPhotosText(std::size_t count);

// Begins the watch on the photos `cameraFolder` holds now, in the order the
// system lists them; a missing folder gives an empty snapshot.
void BeginPhotoWatch(PhotoWatch& watch, const std::string& cameraFolder);

// Lists `cameraFolder` and adds its new photos, returning the names added.
// When the folder is empty text or not an existing folder nothing changes.
std::vector<std::string> RefreshNewPhotos(PhotoWatch& watch, const std::string& cameraFolder);

}  // namespace zentrivo
