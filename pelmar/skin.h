// The look of the engine: every colour and size the drawing code uses, with
// a built-in default, and the reader for skin files (.sks).
//
// A skin file is plain text, one setting a line:
//     key = value          # or ; starts a comment line
//     [section]            # later keys are read as "section.key"
// Values are integers, colours (#RRGGBB opaque, #AARRGGBB with alpha),
// booleans (yes/no, true/false, 1/0) or text (font names). Unknown keys,
// lines without "=", bad values and out-of-range numbers are skipped one
// line at a time; the rest of the file still applies. The SDK's pelmar.md
// (sdk/doc/pelmar.md, section "Skin files") lists the keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "fixed_text.h"

namespace pelmar {

// A skin's name, and a font face as the font calls take it (LF_FACESIZE:
// 31 characters and the zero).
using SkinName = memory::Text<64>;
using FaceName = memory::Text<32>;

struct Skin {
    SkinName name{"Default"};

    // Frame and caption of a skinned top-level window.
    int captionHeight = 28;   // from the window's top edge to the client area
    int frameWidth = 4;       // left, right and bottom edges
    int cornerRadius = 6;     // top corners; 0 = square
    uint32_t captionTop = 0xFF3A4452, captionBottom = 0xFF2A313B;
    uint32_t captionInactiveTop = 0xFF4A4F57, captionInactiveBottom = 0xFF3B3F46;
    uint32_t captionText = 0xFFF0F0F0, captionTextInactive = 0xFFA8ACB2;
    uint32_t accent = 0xFF5A8FD0;   // line under the caption
    int accentHeight = 2;
    uint32_t frame = 0xFF2A313B, frameInactive = 0xFF3B3F46, frameOutline = 0xFF15181D;
    FaceName captionFont{"Tahoma"};
    int captionFontSize = 13;
    bool captionFontBold = true;

    // Caption buttons.
    int buttonWidth = 30, buttonHeight = 20;
    uint32_t glyph = 0xFFE0E0E0, glyphInactive = 0xFF9A9EA4, glyphHover = 0xFFFFFFFF;
    uint32_t buttonHover = 0xFF4A5564, buttonPressed = 0xFF222830;
    uint32_t closeHover = 0xFFC42B1C, closePressed = 0xFF8E1F14;

    // Client area and children.
    uint32_t background = 0xFF2B2F36;
    uint32_t border = 0xFF5A8FD0;   // frames drawn around children
    uint32_t labelTop = 0xFF353A43, labelBottom = 0xFF2B2F36, labelBorder = 0xFF5A6472;
    FaceName labelFont{"Tahoma"};   // used when a label's own face is missing
    int labelPadding = 8;
    uint32_t tooltipBackground = 0xFF2A313B, tooltipText = 0xFFF0F0F0;
    uint32_t clockCap = 0xFF202020;
};

struct SkippedLine {
    int line;          // from 1
    const char* why;
};

// Largest skin file read; anything beyond is ignored.
inline constexpr std::size_t kMaxSkinBytes = 64 * 1024;
// Longest line understood; longer lines are skipped whole.
inline constexpr std::size_t kMaxLineLength = 256;
inline constexpr std::size_t kMaxListedSkips = 64;   // skipped lines listed one by one

struct ParseReport {
    int applied = 0;   // settings taken over
    int skipped = 0;   // lines that were not understood
    SkippedLine lines[kMaxListedSkips] = {};   // the first of those, `listed` in all
    std::size_t listed = 0;
    bool cut = false;  // the text ran past kMaxSkinBytes

    std::span<const SkippedLine> Listed() const { return {lines, listed}; }
};

// Applies the settings of a skin text over skin (which keeps its values for
// everything the text does not set). Never reads outside text.
ParseReport ParseSkin(std::string_view text, Skin& skin);

// "#RRGGBB" or "#AARRGGBB" as ARGB; false for anything else.
bool ParseColour(std::string_view text, uint32_t& argb);

}  // namespace pelmar
