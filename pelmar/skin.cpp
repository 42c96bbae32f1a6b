#include "skin.h"

#include <charconv>
#include <variant>

namespace pelmar {
namespace {

// A member of Skin that a key sets; low and high bound an int, or the
// length of a text.
struct Setting {
    const char* key;
    std::variant<int Skin::*, uint32_t Skin::*, bool Skin::*, SkinName Skin::*, FaceName Skin::*> member;
    int low, high;
};

constexpr Setting Int(const char* key, int Skin::*m, int low, int high) { return {key, m, low, high}; }
constexpr Setting Col(const char* key, uint32_t Skin::*m) { return {key, m, 0, 0}; }
constexpr Setting Flag(const char* key, bool Skin::*m) { return {key, m, 0, 0}; }
template <typename TextType>
constexpr Setting Text(const char* key, TextType Skin::*m) {
    return {key, m, 1, static_cast<int>(TextType::kMaxLength)};
}

const Setting kSettings[] = {
    Text("name", &Skin::name),
    Int("caption.height", &Skin::captionHeight, 16, 64),
    Int("frame.width", &Skin::frameWidth, 1, 16),
    Int("frame.corner", &Skin::cornerRadius, 0, 24),
    Col("caption.top", &Skin::captionTop),
    Col("caption.bottom", &Skin::captionBottom),
    Col("caption.inactive.top", &Skin::captionInactiveTop),
    Col("caption.inactive.bottom", &Skin::captionInactiveBottom),
    Col("caption.text", &Skin::captionText),
    Col("caption.text.inactive", &Skin::captionTextInactive),
    Col("caption.accent", &Skin::accent),
    Int("caption.accent.height", &Skin::accentHeight, 0, 8),
    Text("caption.font", &Skin::captionFont),
    Int("caption.font.size", &Skin::captionFontSize, 6, 40),
    Flag("caption.font.bold", &Skin::captionFontBold),
    Col("frame.colour", &Skin::frame),
    Col("frame.inactive", &Skin::frameInactive),
    Col("frame.outline", &Skin::frameOutline),
    Int("button.width", &Skin::buttonWidth, 12, 64),
    Int("button.height", &Skin::buttonHeight, 10, 60),
    Col("button.glyph", &Skin::glyph),
    Col("button.glyph.inactive", &Skin::glyphInactive),
    Col("button.glyph.hover", &Skin::glyphHover),
    Col("button.hover", &Skin::buttonHover),
    Col("button.pressed", &Skin::buttonPressed),
    Col("button.close.hover", &Skin::closeHover),
    Col("button.close.pressed", &Skin::closePressed),
    Col("client.background", &Skin::background),
    Col("border.colour", &Skin::border),
    Col("label.top", &Skin::labelTop),
    Col("label.bottom", &Skin::labelBottom),
    Col("label.border", &Skin::labelBorder),
    Text("label.font", &Skin::labelFont),
    Int("label.padding", &Skin::labelPadding, 0, 32),
    Col("tooltip.background", &Skin::tooltipBackground),
    Col("tooltip.text", &Skin::tooltipText),
    Col("clock.cap", &Skin::clockCap),
};

void Skip(ParseReport& report, int line, const char* why) {
    ++report.skipped;
    if (report.listed < kMaxListedSkips) report.lines[report.listed++] = {line, why};
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

// What follows the first `count` characters (count no more than there are).
// Not substr, which would bring in a check that throws.
std::string_view After(std::string_view s, std::size_t count) { return {s.data() + count, s.size() - count}; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// Printable ASCII only: a line with control bytes or high bytes is garbage.
bool Printable(std::string_view s) {
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\r') || u > 0x7E) return false;
    }
    return true;
}

bool ParseInt(std::string_view s, int& out) {
    if (s.empty()) return false;
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && ptr == end;
}

bool ParseBool(std::string_view s, bool& out) {
    if (SameText(s, "yes") || SameText(s, "true") || s == "1") { out = true; return true; }
    if (SameText(s, "no") || SameText(s, "false") || s == "0") { out = false; return true; }
    return false;
}

// full is "section.key", or key alone when there is no section.
bool SameKey(std::string_view full, std::string_view section, std::string_view key) {
    if (section.empty()) return SameText(full, key);
    return full.size() == section.size() + 1 + key.size() && SameText(full.substr(0, section.size()), section) &&
           full[section.size()] == '.' && SameText(After(full, section.size() + 1), key);
}

const Setting* Find(std::string_view section, std::string_view key) {
    for (const Setting& s : kSettings)
        if (SameKey(s.key, section, key)) return &s;
    return nullptr;
}

template <typename TextType>
bool ApplyText(const Setting& s, TextType Skin::*member, std::string_view value, Skin& skin) {
    if (value.size() < static_cast<std::size_t>(s.low) || value.size() > static_cast<std::size_t>(s.high))
        return false;
    return (skin.*member).Assign(value);
}

bool Apply(const Setting& s, std::string_view value, Skin& skin) {
    if (const auto* number = std::get_if<int Skin::*>(&s.member)) {
        int n = 0;
        if (!ParseInt(value, n) || n < s.low || n > s.high) return false;
        skin.*(*number) = n;
    } else if (const auto* colour = std::get_if<uint32_t Skin::*>(&s.member)) {
        uint32_t c = 0;
        if (!ParseColour(value, c)) return false;
        skin.*(*colour) = c;
    } else if (const auto* flag = std::get_if<bool Skin::*>(&s.member)) {
        bool b = false;
        if (!ParseBool(value, b)) return false;
        skin.*(*flag) = b;
    } else if (const auto* name = std::get_if<SkinName Skin::*>(&s.member)) {
        return ApplyText(s, *name, value, skin);
    } else if (const auto* face = std::get_if<FaceName Skin::*>(&s.member)) {
        return ApplyText(s, *face, value, skin);
    }
    return true;
}

}  // namespace

bool ParseColour(std::string_view text, uint32_t& argb) {
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#') return false;
    // Hexadecimal digits only: from_chars takes no sign and no "0x".
    uint32_t v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data() + 1, end, v, 16);
    if (ec != std::errc() || ptr != end) return false;
    argb = text.size() == 7 ? (0xFF000000u | v) : v;
    return true;
}

ParseReport ParseSkin(std::string_view text, Skin& skin) {
    ParseReport report;
    if (text.size() > kMaxSkinBytes) {
        // Cut at the limit, without the line the cut runs through: a cut
        // "width = 16" must not apply as "width = 1".
        const std::size_t lastEnd = text.substr(0, kMaxSkinBytes + 1).rfind('\n');
        text = lastEnd == std::string_view::npos ? std::string_view() : text.substr(0, lastEnd);
        report.cut = true;
    }
    std::string_view section;   // a part of text
    bool sectionValid = true;
    for (int number = 1; !text.empty(); ++number) {
        std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : After(text, eol + 1);

        if (line.size() > kMaxLineLength || !Printable(line)) {
            Skip(report, number, line.size() > kMaxLineLength ? "longer than 256 characters" : "not printable text");
            continue;
        }
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;

        if (line[0] == '[') {
            // "[name]"; "[skin]" means no prefix. A bad header makes the
            // keys under it count as skipped until the next good header.
            const bool closed = line.size() >= 2 && line.back() == ']';
            const std::string_view name =
                closed ? Trim(After(line, 1).substr(0, line.size() - 2)) : std::string_view();
            sectionValid = closed && name.find_first_of("[]=") == std::string_view::npos;
            if (!sectionValid) {
                Skip(report, number, "bad section header");
                section = {};
                continue;
            }
            section = SameText(name, "skin") ? std::string_view() : name;
            continue;
        }

        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || !sectionValid) {
            Skip(report, number, sectionValid ? "no '='" : "under a bad section header");
            continue;
        }
        const std::string_view key = Trim(line.substr(0, eq));
        const std::string_view value = Trim(After(line, eq + 1));
        const Setting* setting = Find(section, key);
        if (!setting || !Apply(*setting, value, skin)) {
            Skip(report, number, setting ? "bad or out-of-range value" : "unknown key");
            continue;
        }
        ++report.applied;
    }
    return report;
}

}  // namespace pelmar
