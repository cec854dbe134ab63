#include "core/photos/folded_name_index.h"

namespace zentrivo {

// FNV-1a: short names, quick to mix, and spread well enough for a table kept
// at most half full.
std::uint64_t FoldedNameIndex::Hash(std::string_view folded) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : folded) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// The slot that holds `folded`, or the empty slot where it would go.
std::size_t FoldedNameIndex::Find(std::string_view folded, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.key == kEmpty || (slot.hash == hash && keys_[slot.key] == folded)) {
            return i;
        }
    }
}

bool FoldedNameIndex::Contains(std::string_view folded) const {
    if (slots_.empty()) {
        return false;
    }
    return slots_[Find(folded, Hash(folded))].key != kEmpty;
}

void FoldedNameIndex::Insert(std::string folded) {
    if ((keys_.size() + 1) * 2 > slots_.size()) {
        Grow();
    }
    const std::uint64_t hash = Hash(folded);
    Slot& slot = slots_[Find(folded, hash)];
    if (slot.key != kEmpty) {
        return;
    }
    slot.hash = hash;
    slot.key = static_cast<std::uint32_t>(keys_.size());
    keys_.push_back(std::move(folded));
}

void FoldedNameIndex::Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.key == kEmpty) {
            continue;
        }
        std::size_t i = static_cast<std::size_t>(slot.hash) & mask;
        while (slots_[i].key != kEmpty) {
            i = (i + 1) & mask;
        }
        slots_[i] = slot;
    }
}

void FoldedNameIndex::Clear() {
    keys_.clear();
    slots_.clear();
}

}  // namespace zentrivo
