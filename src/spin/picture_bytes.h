#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace zentrivo {

// An allocator that leaves a new element as it comes when it is made
// without a value, rather than zeroing it.
template <class T>
struct UnfilledAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UnfilledAllocator<U>;
    };
    UnfilledAllocator() = default;
    template <class U>
    explicit UnfilledAllocator(const UnfilledAllocator<U>&) noexcept {}

    template <class U>
    void construct(U* at) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(at)) U;
    }
    template <class U, class... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};

// A picture's bytes. A picture made with a size is zeroed, as any vector
// is; one made Unfilled is not, for a picture that is written whole before
// it is read (a decoder's, a scaler's): zeroing a large frame first would
// cost a pass over its memory for nothing.
using PictureBytes = std::vector<std::uint8_t, UnfilledAllocator<std::uint8_t>>;

struct Unfilled {};

inline PictureBytes ZeroedBytes(std::size_t count) {
    return PictureBytes(count, std::uint8_t{0});
}

}  // namespace zentrivo
