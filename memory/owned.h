// Objects on the heap without the C++ runtime's throwing allocation: New
// gives null when memory has run out, and every caller checks it. Memory
// comes from the C runtime's malloc, as every other allocation of our
// modules does.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>

namespace memory {

// A T made in fresh memory from args, or null when there is no memory.
template <typename T, typename... Args>
T* New(Args&&... args) noexcept {
    static_assert(alignof(T) <= 8, "malloc aligns to 8 bytes on every target");
    void* place = std::malloc(sizeof(T));
    return place ? ::new (place) T(std::forward<Args>(args)...) : nullptr;
}

// Ends and frees what New made; null does nothing.
template <typename T>
void Delete(T* object) noexcept {
    if (!object) return;
    object->~T();
    std::free(object);
}

struct Deleter {
    template <typename T>
    void operator()(T* object) const noexcept {
        Delete(object);
    }
};

// Sole owner of what New made.
template <typename T>
using Owned = std::unique_ptr<T, Deleter>;

template <typename T, typename... Args>
Owned<T> MakeOwned(Args&&... args) noexcept {
    return Owned<T>(New<T>(std::forward<Args>(args)...));
}

}  // namespace memory
