// Text of a known bound, kept in place (no allocation): face names, skin
// texts, tooltips, paths; of char, or of wchar_t for UTF-16 text. Always
// zero-terminated. Text that does not fit is cut at the bound, and the call
// that cut it says so by returning false.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace memory {

template <std::size_t Capacity, typename Char = char>   // characters, the terminating zero included
class Text {
    static_assert(Capacity > 0);

public:
    using View = std::basic_string_view<Char>;
    static constexpr std::size_t kMaxLength = Capacity - 1;

    Text() noexcept = default;
    // The text, cut at the bound when longer.
    Text(View text) noexcept { Assign(text); }

    const Char* c_str() const noexcept { return text_; }
    std::size_t size() const noexcept { return length_; }
    bool empty() const noexcept { return length_ == 0; }
    View view() const noexcept { return {text_, length_}; }
    operator View() const noexcept { return view(); }
    Char operator[](std::size_t i) const noexcept { return text_[i]; }

    // False when it had to be cut.
    bool Assign(View text) noexcept {
        Clear();
        return Append(text);
    }
    bool Append(View text) noexcept {
        const std::size_t room = kMaxLength - length_;
        const std::size_t taken = text.size() < room ? text.size() : room;
        if (taken) std::memcpy(text_ + length_, text.data(), taken * sizeof(Char));
        length_ += taken;
        text_[length_] = Char();
        return taken == text.size();
    }
    void Clear() noexcept {
        length_ = 0;
        text_[0] = Char();
    }
    // Keeps the first `length` characters (no more than there are).
    void Truncate(std::size_t length) noexcept {
        if (length < length_) text_[length_ = length] = Char();
    }

    // For a call that writes the text itself: `Capacity` characters to write,
    // then Written with how many characters it wrote (cut to the bound; the
    // zero is put after them).
    Char* Room() noexcept { return text_; }
    void Written(std::size_t length) noexcept {
        length_ = length < kMaxLength ? length : kMaxLength;
        text_[length_] = Char();
    }

    friend bool operator==(const Text& a, View b) noexcept { return a.view() == b; }

private:
    Char text_[Capacity] = {};
    std::size_t length_ = 0;
};

}  // namespace memory
