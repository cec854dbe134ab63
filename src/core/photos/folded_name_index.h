#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrivo {

// A set of names compared with A-Z folded to a-z, for the photo watch's
// lookups: every name of a camera folder of tens of thousands of photos is
// looked up every few seconds. An open-addressed table of hashes in one
// block of memory finds a name with one or two memory reads, where a node
// per name would scatter them; each hit is still confirmed against the name.
class FoldedNameIndex {
public:
    // Adds a name given folded (AsciiFolded); one already there is kept once.
    void Insert(std::string folded);
    bool Contains(std::string_view folded) const;
    void Clear();
    std::size_t Size() const { return keys_.size(); }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t key = kEmpty;
    };
    static constexpr std::uint32_t kEmpty = UINT32_MAX;

    static std::uint64_t Hash(std::string_view folded);
    std::size_t Find(std::string_view folded, std::uint64_t hash) const;
    void Grow();

    std::vector<std::string> keys_;
    std::vector<Slot> slots_;
};

}  // namespace zentrivo
