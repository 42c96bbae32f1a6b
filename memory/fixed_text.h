// Text of a known bound, kept in place (no allocation): face names, skin
// texts, tooltips, paths. Always zero-terminated. Text that does not fit is
// cut at the bound, and the call that cut it says so by returning false.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace memory {

template <std::size_t Capacity>   // characters, the terminating zero included
class Text {
    static_assert(Capacity > 0);

public:
    static constexpr std::size_t kMaxLength = Capacity - 1;

    Text() noexcept = default;
    // The text, cut at the bound when longer.
    Text(std::string_view text) noexcept { Assign(text); }

    const char* c_str() const noexcept { return text_; }
    std::size_t size() const noexcept { return length_; }
    bool empty() const noexcept { return length_ == 0; }
    std::string_view view() const noexcept { return {text_, length_}; }
    operator std::string_view() const noexcept { return view(); }
    char operator[](std::size_t i) const noexcept { return text_[i]; }

    // False when it had to be cut.
    bool Assign(std::string_view text) noexcept {
        Clear();
        return Append(text);
    }
    bool Append(std::string_view text) noexcept {
        const std::size_t room = kMaxLength - length_;
        const std::size_t taken = text.size() < room ? text.size() : room;
        if (taken) std::memcpy(text_ + length_, text.data(), taken);
        length_ += taken;
        text_[length_] = '\0';
        return taken == text.size();
    }
    void Clear() noexcept {
        length_ = 0;
        text_[0] = '\0';
    }
    // Keeps the first `length` characters (no more than there are).
    void Truncate(std::size_t length) noexcept {
        if (length < length_) text_[length_ = length] = '\0';
    }

    // For a call that writes the text itself: `Capacity` bytes to write,
    // then Written with how many characters it wrote (cut to the bound; the
    // zero is put after them).
    char* Room() noexcept { return text_; }
    void Written(std::size_t length) noexcept {
        length_ = length < kMaxLength ? length : kMaxLength;
        text_[length_] = '\0';
    }

    friend bool operator==(const Text& a, std::string_view b) noexcept { return a.view() == b; }

private:
    char text_[Capacity] = {};
    std::size_t length_ = 0;
};

}  // namespace memory
