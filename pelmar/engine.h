// The engine's one context: the current skin, the clocks' time source, the
// skin's caption font and background brush, fonts. What belongs to one
// window is kept with that window (its subclass's reference data or its
// extra bytes).
//
// Threads: every part runs on the engine's thread, the one that first starts
// it (claimed in one atomic step), and works on windows of that thread.
// Nothing else is locked.
#pragma once

#include <windows.h>

#include <string_view>

#include "helpers.h"
#include "skin.h"

namespace pelmar {

// Where the current skin came from.
enum class SkinSource { BuiltIn, File };

// Starts (or restarts) the engine with a skin file (UTF-16); null or ""
// takes the built-in look. false when the engine's window classes cannot be
// registered, or on a thread other than the engine's.
bool StartEngine(const wchar_t* skinFile);
// Starts the engine with the built-in look unless started; false off its thread.
bool EnsureStarted();
// At the library's unloading: frees the caption fonts and the background
// brush and unregisters the engine's window classes (a class whose window
// still exists stays registered).
void StopEngine() noexcept;
// A window of the engine's thread.
bool OnEngineThread(HWND window);
// The look the engine draws in: the current skin, or in high contrast the
// skin with every colour taken from the system's colours (sizes and fonts
// stay the skin's).
const Skin& CurrentSkin();
SkinSource CurrentSource();
const win32::WidePath& CurrentSkinPath();   // the file read, when SkinSource::File
const ParseReport& CurrentReport();

// High contrast: on when the system's setting is (SPI_GETHIGHCONTRAST), or
// when PELMAR_HIGH_CONTRAST=1 was in the environment as the engine started
// (a test seam: Wine cannot turn the setting on). While on, the engine
// draws its frames, captions, labels, borders, tooltips and clocks in the
// system's colours and none of its own pictures; pictures the caller asked
// to show (skStaticImage) stay.
bool HighContrast();
// Reads the setting and the system's colours again, as WM_SETTINGCHANGE
// and WM_SYSCOLORCHANGE ask; true when what the engine draws changed (the
// caller repaints).
bool FollowSystemLook();
// For in-process tests, as PELMAR_HIGH_CONTRAST: the seam on or off from
// now; like a change of the system's setting it shows at the next
// WM_SETTINGCHANGE.
void SetHighContrastSeam(bool on);
// The system's colours the engine draws in while in high contrast, other
// than those of CurrentSkin(): a label's text, and a clock's dial and hands.
struct SystemInk {
    uint32_t text;       // COLOR_WINDOWTEXT
    uint32_t grayText;   // COLOR_GRAYTEXT
    uint32_t window;     // COLOR_WINDOW
    uint32_t highlight;  // COLOR_HIGHLIGHT
};
SystemInk CurrentSystemInk();

// Local time for the clocks; tests put in a fixed time.
using TimeSource = void (*)(SYSTEMTIME* now);
void SetTimeSource(TimeSource source);   // null restores GetLocalTime
void Now(SYSTEMTIME* now);

// A font of the given face at a pixel height; when the face is not
// installed, the first installed of fallback and a list of common faces.
// The caller deletes it. Null when it cannot be made.
// cellHeight: pixelHeight is the whole line's height (ascent and descent)
// rather than the characters' height.
HFONT CreateSkinFont(std::string_view face, std::string_view fallback, int pixelHeight, bool bold,
                     bool antialias, bool cellHeight = false);

// The current skin's caption font at a DPI, made once per skin and DPI; the
// engine owns it.
HFONT CaptionFont(int dpi);
// A brush in the skin's background colour; the engine owns it.
HBRUSH BackgroundBrush();
}  // namespace pelmar
