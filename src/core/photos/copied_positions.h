#pragma once

#include <functional>
#include <string>
#include <vector>

// What a copy numbered by position holds, so that a photo of the run that
// comes after it can still be added under its own position's number, never
// under another's, and never over a copy already there.
namespace zentrivo {

class CopiedPositions {
public:
    // A copy of positions 1 to `exposed` of a run of `planned`: `frames` is
    // the photo each was to hold (empty for none), of which those in
    // `notCopied` were not copied.
    void Made(int exposed, int planned, const std::vector<std::string>& frames,
              const std::vector<std::string>& notCopied);
    void Clear() { *this = CopiedPositions{}; }
    // Whether a position of the copy has no photo.
    bool LeftOut() const;

    // The photos to add, by position (empty where none): those `frames`
    // (the run's photo of each position now) gives the positions left out,
    // when `ready` holds for them. None while `frames` no longer gives each
    // photo copied the position it was copied as: the run's photos then no
    // longer tell which position is which.
    std::vector<std::string> ToAdd(const std::vector<std::string>& frames,
                                   const std::function<bool(const std::string&)>& ready) const;
    // Those of `added` (by position) not in `notCopied` were copied.
    void Added(const std::vector<std::string>& added, const std::vector<std::string>& notCopied);

    // The lines that name the positions still left out ("Photo 10 of 30 did
    // not come from the camera: 10.jpg is missing").
    std::vector<std::string> MissingLines() const;

private:
    int planned_ = 0;
    std::vector<std::string> copied_;  // by position from 1; empty where left out
};

}  // namespace zentrivo
