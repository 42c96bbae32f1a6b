// A growable array whose growth says when memory has run out, in place of
// std::vector (which throws): every call that may allocate returns false,
// leaving the buffer as it was, and the caller decides what that failure
// means. Readers have the standard names (size, data, begin, end), so a
// Buffer is a range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace memory {

template <typename T>
class Buffer {
public:
    Buffer() noexcept = default;
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    Buffer(Buffer&& other) noexcept { Take(other); }
    Buffer& operator=(Buffer&& other) noexcept {
        if (this != &other) {
            Free();
            Take(other);
        }
        return *this;
    }
    ~Buffer() { Free(); }

    std::size_t size() const noexcept { return size_; }
    std::size_t capacity() const noexcept { return capacity_; }
    bool empty() const noexcept { return size_ == 0; }
    T* data() noexcept { return items_; }
    const T* data() const noexcept { return items_; }
    T* begin() noexcept { return items_; }
    T* end() noexcept { return items_ + size_; }
    const T* begin() const noexcept { return items_; }
    const T* end() const noexcept { return items_ + size_; }
    T& operator[](std::size_t i) noexcept { return items_[i]; }
    const T& operator[](std::size_t i) const noexcept { return items_[i]; }
    T& back() noexcept { return items_[size_ - 1]; }
    const T& back() const noexcept { return items_[size_ - 1]; }

    // Room for `count` items in all without further allocation.
    [[nodiscard]] bool Reserve(std::size_t count) noexcept {
        if (count <= capacity_) return true;
        if (count > kMaxCount) return false;
        T* grown = static_cast<T*>(std::malloc(count * sizeof(T)));
        if (!grown) return false;
        for (std::size_t i = 0; i < size_; ++i) {
            ::new (grown + i) T(std::move(items_[i]));
            items_[i].~T();
        }
        std::free(items_);
        items_ = grown;
        capacity_ = count;
        return true;
    }

    // `count` items: new ones value-initialised (zero for numbers), surplus
    // ones ended.
    [[nodiscard]] bool Resize(std::size_t count) noexcept {
        if (!Reserve(count)) return false;
        while (size_ > count) items_[--size_].~T();
        for (; size_ < count; ++size_) ::new (items_ + size_) T();
        return true;
    }

    // `count` copies of `fill`, replacing what was there.
    [[nodiscard]] bool Assign(std::size_t count, const T& fill) noexcept {
        Clear();
        if (!Reserve(count)) return false;
        for (; size_ < count; ++size_) ::new (items_ + size_) T(fill);
        return true;
    }

    // A copy of `count` items from `first`, replacing what was there.
    [[nodiscard]] bool Assign(const T* first, std::size_t count) noexcept {
        Clear();
        if (!Reserve(count)) return false;
        for (; size_ < count; ++size_) ::new (items_ + size_) T(first[size_]);
        return true;
    }

    // One more item at the end; growth doubles, so appending is quick.
    template <typename... Args>
    [[nodiscard]] bool Append(Args&&... args) noexcept {
        if (size_ == capacity_ && !Reserve(Grown())) return false;
        ::new (items_ + size_) T(std::forward<Args>(args)...);
        ++size_;
        return true;
    }

    void Clear() noexcept {
        while (size_ > 0) items_[--size_].~T();
    }

    // Removes the item at `index`; the ones after it move up.
    void RemoveAt(std::size_t index) noexcept {
        for (std::size_t i = index; i + 1 < size_; ++i) items_[i] = std::move(items_[i + 1]);
        items_[--size_].~T();
    }

    // Removes every item `drop` holds true of, keeping the others' order;
    // how many went.
    template <typename Predicate>
    std::size_t RemoveIf(Predicate drop) noexcept {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < size_; ++i)
            if (!drop(items_[i])) {
                if (kept != i) items_[kept] = std::move(items_[i]);
                ++kept;
            }
        const std::size_t gone = size_ - kept;
        while (size_ > kept) items_[--size_].~T();
        return gone;
    }

private:
    static constexpr std::size_t kMaxCount = SIZE_MAX / 2 / sizeof(T);
    static_assert(alignof(T) <= 8, "malloc aligns to 8 bytes on every target");

    std::size_t Grown() const noexcept { return capacity_ < 8 ? 8 : capacity_ * 2; }
    void Free() noexcept {
        Clear();
        std::free(items_);
        items_ = nullptr;
        capacity_ = 0;
    }
    void Take(Buffer& other) noexcept {
        items_ = std::exchange(other.items_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }

    T* items_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace memory
