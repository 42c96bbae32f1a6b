// pelmar.dll: the skin engine with its clock and picture widgets.
// Every call is __stdcall with C linkage and an undecorated export name.
// Texts are zero-terminated ANSI; a null text means an empty one. Colours
// are ARGB: alpha in the top byte, then red, green and blue.
#pragma once

#include <windows.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Starts the engine with a skin file. A bare file name is looked for beside
// the executable, then in its Resource folder. A missing or malformed skin
// falls back to the built-in look. key is reserved (may be null).
// Non-zero when the engine runs; 0 only when it cannot start at all.
int32_t WINAPI skInitEngine(const char* skinFile, const char* key);

// Dresses a top-level window: frame, caption and caption buttons drawn by
// the engine, client background in the skin's colours. buttonTexts holds the
// button tooltips "Dock|Undock|Minimize|Maximize|Restore|Close".
int32_t WINAPI skSkinWindow(HWND window, const char* buttonTexts);

// Draws a one-pixel frame in the parent of child on the rectangle given in
// the parent's client coordinates; the frame follows the child when it moves
// or resizes. style and width are the frame's style (0 = plain) and width in pixels.
int32_t WINAPI skBorder(HWND child, int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t style, int32_t thickness);

// An analog clock child window drawn from the face picture; width/height 0
// take the picture's size. handColor draws the hour and minute hands,
// secondColor the second hand. flags is reserved (0). Returns the window.
HWND WINAPI skClockCtrl(HWND parent, const char* facePicture, int32_t x, int32_t y,
                        int32_t width, int32_t height, int32_t id, uint32_t handColor,
                        uint32_t secondColor, int32_t flags);

// Anchors an engine child with the same codes as the GL control library.
int32_t WINAPI skSetAnchorCtrl(HWND child, int32_t mode);

// A tooltip showing text when the pointer rests on the window.
int32_t WINAPI skCreateToolTip(HWND window, const char* text);

// Draws a standard child control (static label) in the skin's style.
// style is reserved (0).
int32_t WINAPI skSkinChildCtrl(HWND control, int32_t style);

// An ARGB colour from its four parts, each 0..255.
uint32_t WINAPI skARGB(int32_t alpha, int32_t red, int32_t green, int32_t blue);

// The face (with a fallback when not installed), pixel size and colour of a
// skinned label's text; antialias non-zero smooths the glyphs.
int32_t WINAPI skSetLabelFont(HWND label, const char* face, int32_t size, uint32_t argb,
                              int32_t antialias);

// A child window showing a PNG picture with its alpha over the skin's
// background, at the size given. Returns the window.
HWND WINAPI skStaticImage(HWND parent, const char* picture, int32_t x, int32_t y, int32_t width,
                          int32_t height, int32_t id);

#ifdef __cplusplus
}
#endif
