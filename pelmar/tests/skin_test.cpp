// Reading skin files: good settings apply, every kind of bad line is
// skipped on its own, and the file is found where the engine says.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <iterator>
#include <string>

#include "debug_output.h"
#include "engine.h"
#include "helpers.h"
#include "pelmar.h"
#include "skin.h"
#include "unicode_folders.h"

namespace pelmar {
namespace {

TEST(PelmarSkin, ColoursParseWithAndWithoutAlpha) {
    struct Case {
        const char* text;
        bool ok;
        uint32_t value;
    } cases[] = {
        {"#8E1B22", true, 0xFF8E1B22}, {"#7fcb0000", true, 0x7FCB0000}, {"#000000", true, 0xFF000000},
        {"8E1B22", false, 0},          {"#8E1B2", false, 0},            {"#8E1B22F", false, 0},
        {"#GG0000", false, 0},         {"#", false, 0},                 {"", false, 0},
        {"#-12345", false, 0},
    };
    for (const Case& c : cases) {
        uint32_t v = 0x12345678;
        EXPECT_EQ(ParseColour(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(PelmarSkin, SectionsAndFullKeysApply) {
    Skin s;
    const ParseReport r = ParseSkin("name = Test\n"
                                    "[caption]\n"
                                    "height = 33\n"
                                    "top = #102030\n"
                                    "font.bold = no\n"
                                    "[skin]\n"
                                    "frame.width = 7\n"
                                    "  BORDER.COLOUR   =   #80112233  \r\n"
                                    "; comment\n"
                                    "# comment\n",
                                    s);
    EXPECT_EQ(r.applied, 6);
    EXPECT_EQ(r.skipped, 0);
    EXPECT_EQ(s.name, "Test");
    EXPECT_EQ(s.captionHeight, 33);
    EXPECT_EQ(s.captionTop, 0xFF102030u);
    EXPECT_FALSE(s.captionFontBold);
    EXPECT_EQ(s.frameWidth, 7);
    EXPECT_EQ(s.border, 0x80112233u);
}

// Each value as the file writes it, so that a field can be compared with the
// text that set it.
std::string Shown(int v) { return std::to_string(v); }
std::string Shown(bool v) { return v ? "yes" : "no"; }
std::string Shown(std::string_view v) { return std::string(v); }
std::string Shown(uint32_t v) {
    char text[10];
    std::snprintf(text, sizeof text, "#%08X", v);
    return text;
}

TEST(PelmarSkin, EveryKeyReachesItsOwnFieldAndNoOther) {
    using Field = std::string (*)(const Skin&);
#define FIELD(member) [](const Skin& s) { return Shown(s.member); }
    // Every key of the file, a value that differs from every built-in one
    // ("" for a colour: one of its own is made below), and its field.
    const struct Row {
        const char* key;
        std::string value;
        Field field;
    } rows[] = {
        {"name", "Keyed", FIELD(name)},
        {"caption.height", "17", FIELD(captionHeight)},
        {"frame.width", "9", FIELD(frameWidth)},
        {"frame.corner", "11", FIELD(cornerRadius)},
        {"caption.top", "", FIELD(captionTop)},
        {"caption.bottom", "", FIELD(captionBottom)},
        {"caption.inactive.top", "", FIELD(captionInactiveTop)},
        {"caption.inactive.bottom", "", FIELD(captionInactiveBottom)},
        {"caption.text", "", FIELD(captionText)},
        {"caption.text.inactive", "", FIELD(captionTextInactive)},
        {"caption.accent", "", FIELD(accent)},
        {"caption.accent.height", "5", FIELD(accentHeight)},
        {"caption.font", "Courier New", FIELD(captionFont)},
        {"caption.font.size", "21", FIELD(captionFontSize)},
        {"caption.font.bold", "no", FIELD(captionFontBold)},
        {"frame.colour", "", FIELD(frame)},
        {"frame.inactive", "", FIELD(frameInactive)},
        {"frame.outline", "", FIELD(frameOutline)},
        {"button.width", "41", FIELD(buttonWidth)},
        {"button.height", "19", FIELD(buttonHeight)},
        {"button.glyph", "", FIELD(glyph)},
        {"button.glyph.inactive", "", FIELD(glyphInactive)},
        {"button.glyph.hover", "", FIELD(glyphHover)},
        {"button.hover", "", FIELD(buttonHover)},
        {"button.pressed", "", FIELD(buttonPressed)},
        {"button.close.hover", "", FIELD(closeHover)},
        {"button.close.pressed", "", FIELD(closePressed)},
        {"client.background", "", FIELD(background)},
        {"border.colour", "", FIELD(border)},
        {"label.top", "", FIELD(labelTop)},
        {"label.bottom", "", FIELD(labelBottom)},
        {"label.border", "", FIELD(labelBorder)},
        {"label.font", "Verdana", FIELD(labelFont)},
        {"label.padding", "23", FIELD(labelPadding)},
        {"tooltip.background", "", FIELD(tooltipBackground)},
        {"tooltip.text", "", FIELD(tooltipText)},
        {"clock.cap", "", FIELD(clockCap)},
    };
#undef FIELD
    EXPECT_EQ(std::size(rows), 37u);
    const Skin defaults;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        std::string value = rows[i].value;
        if (value.empty()) value = Shown(0x7F102000u + static_cast<uint32_t>(i));
        Skin s;
        const ParseReport r = ParseSkin(std::string(rows[i].key) + " = " + value + "\n", s);
        EXPECT_EQ(r.applied, 1) << rows[i].key;
        EXPECT_EQ(rows[i].field(s), value) << rows[i].key;
        for (const Row& other : rows) {
            if (&other == &rows[i]) continue;
            EXPECT_EQ(other.field(s), other.field(defaults)) << rows[i].key << " also set " << other.key;
        }
    }
}

TEST(PelmarSkin, BadLinesAreSkippedOneByOne) {
    const Skin defaults;
    struct Case {
        std::string line;
        const char* why;
        std::string reason;   // as the report names it
    } cases[] = {
        {"caption.height", "no equals sign", "no '='"},
        {"caption.height = 5", "below the range", "bad or out-of-range value"},
        {"caption.height = 400", "above the range", "bad or out-of-range value"},
        {"caption.height = 30px", "trailing junk", "bad or out-of-range value"},
        {"caption.height = 99999999999999999999", "overflow", "bad or out-of-range value"},
        {"caption.top = red", "not a colour", "bad or out-of-range value"},
        {"no.such.key = 1", "unknown key", "unknown key"},
        {"caption.font.bold = maybe", "not a boolean", "bad or out-of-range value"},
        {"caption.font = " + std::string(40, 'x'), "face name too long", "bad or out-of-range value"},
        {"name = " + std::string(300, 'n'), "line too long", "longer than 256 characters"},
        {std::string("caption.height = 3\0" "0", 20), "embedded NUL", "not printable text"},
        {"caption.height = \xff\xfe", "high bytes", "not printable text"},
        {"= #FFFFFF", "empty key", "unknown key"},
    };
    for (const Case& c : cases) {
        Skin s;
        const std::string text = c.line + "\nframe.width = 9\n";
        const ParseReport r = ParseSkin(text, s);
        EXPECT_EQ(r.skipped, 1) << c.why;
        ASSERT_EQ(r.listed, 1u) << c.why;
        EXPECT_EQ(r.lines[0].line, 1) << c.why;
        EXPECT_EQ(r.lines[0].why, c.reason) << c.why;
        EXPECT_EQ(r.applied, 1) << c.why;   // the good line after it still applies
        EXPECT_EQ(s.frameWidth, 9) << c.why;
        EXPECT_EQ(s.captionHeight, defaults.captionHeight) << c.why;
        EXPECT_EQ(s.captionTop, defaults.captionTop) << c.why;
        EXPECT_EQ(s.name, defaults.name) << c.why;
    }
}

TEST(PelmarSkin, KeysUnderABrokenSectionAreNotMisread) {
    Skin s;
    const ParseReport r = ParseSkin("[capt]ion]\nheight = 40\n[caption]\nheight = 41\n", s);
    EXPECT_EQ(s.captionHeight, 41);
    EXPECT_EQ(r.applied, 1);
    EXPECT_EQ(r.skipped, 2);
    ASSERT_EQ(r.listed, 2u);
    EXPECT_STREQ(r.lines[0].why, "bad section header");
    EXPECT_STREQ(r.lines[1].why, "under a bad section header");
    EXPECT_EQ(r.lines[1].line, 2);
}

TEST(PelmarSkin, ReadsNothingBeyondTheTextOrTheSizeLimit) {
    // A buffer whose last line has no line end, parsed through a view that
    // stops before a poisoned byte: the parser must not look past it.
    const std::string buffer = "frame.width = 6\nframe.corner = 3X";
    Skin s;
    const ParseReport r = ParseSkin(std::string_view(buffer.data(), buffer.size() - 1), s);
    EXPECT_EQ(r.applied, 2);
    EXPECT_EQ(s.cornerRadius, 3);

    // Settings past the size limit are ignored.
    std::string big;
    while (big.size() < kMaxSkinBytes) big += "# padding padding padding padding\n";
    big += "frame.width = 11\n";
    Skin t;
    ParseSkin(big, t);
    EXPECT_EQ(t.frameWidth, Skin{}.frameWidth);

    Skin u;
    EXPECT_EQ(ParseSkin("", u).applied, 0);
}

// --- finding the file ---

std::string ProgramFolder() {
    win32::Path folder;
    win32::ProgramFolder(folder);
    return std::string(folder.view());
}

void WriteText(const std::string& path, const std::string& text) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

TEST(PelmarSkin, BareNameIsFoundBesideTheProgramBeforeItsResourceFolder) {
    const std::string folder = ProgramFolder();
    CreateDirectoryA((folder + "Resource").c_str(), nullptr);
    const std::string beside = folder + "PelmarLookup.sks", inResource = folder + "Resource\\PelmarLookup.sks";
    WriteText(inResource, "name = InResource\n");
    ASSERT_NE(skInitEngine("PelmarLookup.sks", nullptr), 0);
    EXPECT_EQ(CurrentSkin().name, "InResource");
    EXPECT_EQ(CurrentSource(), SkinSource::File);

    WriteText(beside, "name = Beside\n");
    ASSERT_NE(skInitEngine("PelmarLookup.sks", nullptr), 0);
    EXPECT_EQ(CurrentSkin().name, "Beside");
    EXPECT_EQ(win32::PathForReport(CurrentSkinPath().c_str()), beside);

    DeleteFileA(beside.c_str());
    DeleteFileA(inResource.c_str());
}

TEST(PelmarSkin, MissingOrGarbageFileStillStartsTheEngine) {
    EXPECT_NE(skInitEngine("NoSuchSkin.sks", nullptr), 0);
    EXPECT_EQ(CurrentSource(), SkinSource::BuiltIn);
    EXPECT_EQ(CurrentSkin().name, "Default");
    EXPECT_NE(skInitEngine(nullptr, nullptr), 0);
    EXPECT_NE(skInitEngine("", ""), 0);

    const std::string path = ProgramFolder() + "PelmarGarbage.sks";
    std::string garbage;
    for (int i = 0; i < 3000; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
    garbage += "\ncaption.height = 35\n";
    WriteText(path, garbage);
    EXPECT_NE(skInitEngine("PelmarGarbage.sks", nullptr), 0);
    EXPECT_EQ(CurrentSource(), SkinSource::File);
    EXPECT_EQ(CurrentSkin().captionHeight, 35);
    EXPECT_GT(CurrentReport().skipped, 0);
    DeleteFileA(path.c_str());
}

TEST(PelmarSkin, AFileOverTheLimitDropsTheLineTheLimitCuts) {
    // The limit falls between "16" and its line end, inside the digits, and
    // right after a line end: only whole lines before it apply.
    struct Case { std::size_t cutAfter; int width; };
    for (const Case c : {Case{15, Skin{}.frameWidth}, Case{14, Skin{}.frameWidth}, Case{16, 16}}) {
        const std::string line = "frame.width = 16\n";
        std::string text = "frame.corner = 5\n";
        text.resize(kMaxSkinBytes - c.cutAfter - 1, '#');
        text += '\n';
        text += line + "frame.corner = 9\n";
        const std::string path = ProgramFolder() + "PelmarBig.sks";
        WriteText(path, text);
        ASSERT_NE(skInitEngine("PelmarBig.sks", nullptr), 0);
        EXPECT_EQ(CurrentSkin().frameWidth, c.width) << c.cutAfter;
        EXPECT_EQ(CurrentSkin().cornerRadius, 5) << c.cutAfter;
        DeleteFileA(path.c_str());
    }
}

TEST(PelmarSkin, ScarletFileIsCleanAndSetsItsLook) {
    ASSERT_NE(skInitEngine("Scarlet.sks", nullptr), 0);
    ASSERT_EQ(CurrentSource(), SkinSource::File) << "Scarlet.sks not found beside the tests";
    EXPECT_EQ(CurrentSkin().name, "Scarlet");
    EXPECT_EQ(CurrentReport().skipped, 0);
    EXPECT_GT(CurrentReport().applied, 30);
    EXPECT_EQ(CurrentSkin().border, 0xFFDC313Cu);
}

TEST(PelmarSkin, SkinAndPicturesAreReadUnderFoldersNamedInLettersTheCodePageLacks) {
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8)) << "in UTF-8 the ANSI calls reach these folders too";
    const auto folders = test::MakeUnicodeFolders(L"pelmar_unit_test", RESOURCE_DIR, {L"Scarlet.sks", L"Orvane.png"});
    ASSERT_EQ(folders.size(), 2u);
    HWND parent = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    const auto size = [](HWND window) {
        RECT r{};
        GetClientRect(window, &r);
        return std::pair{r.right, r.bottom};
    };
    // The picture's own size (a clock with no face would be 92 x 92).
    const auto expected = size(skStaticImage(parent, RESOURCE_DIR "/Orvane.png", 0, 0, 0, 0, 1));
    ASSERT_GT(expected.first * expected.second, 0);
    for (const std::wstring& folder : folders) {
        ASSERT_NE(skInitEngineW((folder + L"Scarlet.sks").c_str(), nullptr), 0);
        EXPECT_EQ(CurrentSkin().name, "Scarlet");
        EXPECT_EQ(std::wstring(CurrentSkinPath().view()), folder + L"Scarlet.sks");
        const std::wstring picture = folder + L"Orvane.png";
        EXPECT_EQ(size(skStaticImageW(parent, picture.c_str(), 0, 0, 0, 0, 2)), expected);
        EXPECT_EQ(size(skClockCtrlW(parent, picture.c_str(), 0, 0, 0, 0, 3, 0, 0, 0)), expected);
    }
    DestroyWindow(parent);
    skInitEngine(nullptr, nullptr);
}

// WCAG contrast ratio of two opaque colours, from their relative luminance.
double ContrastRatio(uint32_t a, uint32_t b) {
    const auto luminance = [](uint32_t argb) {
        double sum = 0;
        for (auto [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
            const double c = ((argb >> shift) & 0xFF) / 255.0;
            sum += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The edges the demo's skin draws round the help label and the view stand
// out from both sides by at least 3:1.
TEST(PelmarSkin, ScarletEdgesStandOutFromWhatSurroundsThem) {
    ASSERT_NE(skInitEngine("Scarlet.sks", nullptr), 0);
    const Skin& s = CurrentSkin();
    const struct {
        const char* what;
        uint32_t edge, beside;
    } cases[] = {
        {"label edge / client", s.labelBorder, s.background},
        {"label edge / panel top", s.labelBorder, s.labelTop},
        {"label edge / panel bottom", s.labelBorder, s.labelBottom},
        {"view border / client", s.border, s.background},
    };
    for (const auto& c : cases) EXPECT_GE(ContrastRatio(c.edge, c.beside), 3.0) << c.what;
}

// The engine's own lines among what the process wrote to the debug output.
std::vector<std::string> EngineLines(DebugOutput& capture) {
    std::vector<std::string> mine;
    for (const std::string& line : capture.Lines())
        if (line.rfind("pelmar: ", 0) == 0) mine.push_back(line);
    return mine;
}

TEST(PelmarSkin, EverySkippedLineIsReportedOnceWithItsFileAndNumber) {
    const std::string path = ProgramFolder() + "PelmarReported.sks";
    {
        DebugOutput capture;
        ASSERT_TRUE(capture.Ready());
        WriteText(path, "name = Reported\n\ncaption.height = 400\nframe.width = 7\nno.such.key = 1\n");
        ASSERT_NE(skInitEngine("PelmarReported.sks", nullptr), 0);
        EXPECT_EQ(CurrentSkin().frameWidth, 7);
        ASSERT_NE(skInitEngine("NoSuchSkin.sks", nullptr), 0);
        const std::vector<std::string> expected = {
            "pelmar: skin line skipped: " + path + ":3: bad or out-of-range value",
            "pelmar: skin line skipped: " + path + ":5: unknown key",
            "pelmar: skin file: NoSuchSkin.sks: not found",
        };
        EXPECT_EQ(EngineLines(capture), expected);
    }
    {
        // A long run of garbage lists its first lines and counts the rest.
        DebugOutput capture;
        ASSERT_TRUE(capture.Ready());
        std::string garbage;
        for (std::size_t i = 0; i < kMaxListedSkips + 10; ++i) garbage += "garbage\n";
        WriteText(path, garbage);
        ASSERT_NE(skInitEngine("PelmarReported.sks", nullptr), 0);
        const std::vector<std::string> lines = EngineLines(capture);
        ASSERT_EQ(lines.size(), kMaxListedSkips + 1);
        EXPECT_EQ(lines.front(), "pelmar: skin line skipped: " + path + ":1: no '='");
        EXPECT_EQ(lines.back(), "pelmar: skin lines skipped: " + path + ": 10 more");
    }
    DeleteFileA(path.c_str());
}

TEST(PelmarSkin, ArgbPacksAndClampsItsParts) {
    EXPECT_EQ(skARGB(200, 255, 255, 255), 0xC8FFFFFFu);
    EXPECT_EQ(skARGB(127, 203, 0, 0), 0x7FCB0000u);
    EXPECT_EQ(skARGB(0, 0, 0, 0), 0u);
    EXPECT_EQ(skARGB(300, -5, 256, 17), 0xFF00FF11u);
}

}  // namespace
}  // namespace pelmar
