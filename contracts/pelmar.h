// pelmar.dll: the skin engine with its clock and picture widgets.
// Every call is __stdcall with C linkage and an undecorated export name.
// Texts are zero-terminated, in the process's ANSI code page (CP_ACP; a
// program's manifest may make it UTF-8); a null text means an empty one.
// Each call that takes a file's path has a twin whose name ends in W taking
// UTF-16 text (wchar_t) instead, for files named in any language whatever
// the code page; the ANSI call converts its texts from CP_ACP and goes the
// same way. Colours are ARGB: alpha in the top byte, then red, green and blue.
//
// Threads: skARGB may be called from any thread. Every other call belongs to
// the engine's thread, the thread of the first call that starts the engine
// (skInitEngine, or any other call but skARGB before it); from another
// thread they do nothing and return 0 (null for calls that return a window).
// The windows these calls dress, frame, anchor or give a tooltip (for skBorder
// and skSetAnchorCtrl: the child's parent) belong to the engine's thread;
// others are refused. What the engine knows of a window is kept with that
// window; nothing is locked, but the first call claims the engine's thread
// in one atomic step: of two threads making it at the same moment, the
// second gets 0 and nothing happens.
//
// High contrast (the system's setting, followed on WM_SETTINGCHANGE and
// WM_SYSCOLORCHANGE): frames, captions, borders, labels, tooltips and clocks
// are drawn in the system's colours; pictures of skStaticImage stay.
//
// The library must stay loaded while any window it skinned, framed,
// anchored, gave a tooltip or created exists: their window procedures are
// its code. Unloaded with FreeLibrary once they are gone, it leaves nothing
// behind (fonts, brushes, window classes) and may be loaded again.
//
// Compatibility. Within a major version (PELMAR_VERSION_MAJOR) the calls' names
// and export ordinals and what each call returns never change: later
// versions only add calls. The header is plain C (C99 and later) and C++
// (C++11 and later).
#pragma once

#include <windows.h>
#include <stdint.h>

// The version of the library this header describes; its file's version
// resource carries the same numbers.
#define PELMAR_VERSION_MAJOR 1
#define PELMAR_VERSION_MINOR 0
#define PELMAR_VERSION_PATCH 0

#ifdef __cplusplus
extern "C" {
#endif

// Starts the engine with a skin file. A bare file name is looked for beside
// the executable first, then in its Resource folder; a name with a folder is
// used as given. A missing skin gives the built-in look; bad lines of a skin
// are skipped and the rest applies. A second call replaces the skin. key is
// reserved (may be null). Non-zero when the engine runs; 0 only when it
// cannot start at all (or on a thread other than the engine's).
int32_t WINAPI skInitEngine(const char* skinFile, const char* key);
int32_t WINAPI skInitEngineW(const wchar_t* skinFile, const wchar_t* key);

// Dresses a top-level window: frame, caption and caption buttons drawn by
// the engine, client background in the skin's colours. The client area keeps
// its size. buttonTexts holds the button tooltips
// "Dock|Undock|Minimize|Maximize|Restore|Close" (null keeps these words).
int32_t WINAPI skSkinWindow(HWND window, const char* buttonTexts);

// Draws a frame in the parent of child on the rectangle given in the
// parent's client coordinates; the frame follows the child when it moves or
// resizes. style is reserved (every style draws a plain frame); thickness is
// the frame's width in pixels (1..16).
int32_t WINAPI skBorder(HWND child, int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t style, int32_t thickness);

// An analog clock child window drawn from the face picture, showing the
// local time; width/height 0 take the picture's size (92 x 92 with a drawn
// face when the picture cannot be read). handColor draws the hour and minute
// hands, secondColor the second hand. Its window text and accessible name
// are the time it shows ("10:42"). flags is reserved (0). Returns the
// window, or null when parent is not a window.
HWND WINAPI skClockCtrl(HWND parent, const char* facePicture, int32_t x, int32_t y,
                        int32_t width, int32_t height, int32_t id, uint32_t handColor,
                        uint32_t secondColor, int32_t flags);
HWND WINAPI skClockCtrlW(HWND parent, const wchar_t* facePicture, int32_t x, int32_t y,
                         int32_t width, int32_t height, int32_t id, uint32_t handColor,
                         uint32_t secondColor, int32_t flags);

// Anchors a child window with the same codes as the GL control library
// (anchor_codes.h); 0 removes the anchor. 0 for an unknown code, a window
// that is not a child window, or a child whose parent is another thread's
// (code 0 included).
int32_t WINAPI skSetAnchorCtrl(HWND child, int32_t mode);

// A tooltip showing text when the pointer rests on the window.
int32_t WINAPI skCreateToolTip(HWND window, const char* text);

// Draws a standard child control (static label) in the skin's style.
// style is reserved (0).
int32_t WINAPI skSkinChildCtrl(HWND control, int32_t style);

// An ARGB colour from its four parts, each 0..255 (clamped).
uint32_t WINAPI skARGB(int32_t alpha, int32_t red, int32_t green, int32_t blue);

// The face (with a fallback when not installed), size and colour of a
// skinned label's text; size is the line height in pixels. antialias
// non-zero smooths the glyphs. Skins the label when it is not yet.
int32_t WINAPI skSetLabelFont(HWND label, const char* face, int32_t size, uint32_t argb,
                              int32_t antialias);

// A child window showing a PNG picture with its alpha over the skin's
// background, scaled to the size given (0 keeps the picture's). Its window
// text, set by the caller, is its accessible name; without one screen
// readers pass over it. Returns the window (also when the picture cannot be
// read), or null when parent is not a window.
HWND WINAPI skStaticImage(HWND parent, const char* picture, int32_t x, int32_t y, int32_t width,
                          int32_t height, int32_t id);
HWND WINAPI skStaticImageW(HWND parent, const wchar_t* picture, int32_t x, int32_t y,
                           int32_t width, int32_t height, int32_t id);

// Function-pointer types of the calls, for a program that loads the library
// with LoadLibrary and takes its calls with GetProcAddress.
typedef int32_t (WINAPI *PFN_skInitEngine)(const char* skinFile, const char* key);
typedef int32_t (WINAPI *PFN_skInitEngineW)(const wchar_t* skinFile, const wchar_t* key);
typedef int32_t (WINAPI *PFN_skSkinWindow)(HWND window, const char* buttonTexts);
typedef int32_t (WINAPI *PFN_skBorder)(HWND child, int32_t x, int32_t y, int32_t width, int32_t height,
                                       int32_t style, int32_t thickness);
typedef HWND (WINAPI *PFN_skClockCtrl)(HWND parent, const char* facePicture, int32_t x, int32_t y,
                                       int32_t width, int32_t height, int32_t id, uint32_t handColor,
                                       uint32_t secondColor, int32_t flags);
typedef HWND (WINAPI *PFN_skClockCtrlW)(HWND parent, const wchar_t* facePicture, int32_t x, int32_t y,
                                        int32_t width, int32_t height, int32_t id, uint32_t handColor,
                                        uint32_t secondColor, int32_t flags);
typedef int32_t (WINAPI *PFN_skSetAnchorCtrl)(HWND child, int32_t mode);
typedef int32_t (WINAPI *PFN_skCreateToolTip)(HWND window, const char* text);
typedef int32_t (WINAPI *PFN_skSkinChildCtrl)(HWND control, int32_t style);
typedef uint32_t (WINAPI *PFN_skARGB)(int32_t alpha, int32_t red, int32_t green, int32_t blue);
typedef int32_t (WINAPI *PFN_skSetLabelFont)(HWND label, const char* face, int32_t size, uint32_t argb,
                                             int32_t antialias);
typedef HWND (WINAPI *PFN_skStaticImage)(HWND parent, const char* picture, int32_t x, int32_t y, int32_t width,
                                         int32_t height, int32_t id);
typedef HWND (WINAPI *PFN_skStaticImageW)(HWND parent, const wchar_t* picture, int32_t x, int32_t y,
                                          int32_t width, int32_t height, int32_t id);

#ifdef __cplusplus
}
#endif
