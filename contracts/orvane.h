// orvane.dll: the OpenGL view control, picture decoding, GL text, zoom and
// anchoring. Every call is __stdcall with C linkage and an undecorated export
// name. No call throws, and none shows a message: failures are reported by
// the result (and, for a developer, a line on the debug output). The library
// must stay loaded while any of its views or anchored windows exist; unloaded
// with FreeLibrary once they are gone, it unregisters its window classes and
// may be loaded again, at any address.
//
// Threads. A view belongs to the thread that created it: calls that name a
// view (QI_GetGLDC, QI_SetGLzoom, QI_GetGLzoom, QI_ResizeGLWindow,
// QI_DrawGLText, QI_UpdateGLWindow) come from that thread, and on any other
// the window counts as no view. QI_BuildGLfont, QI_DeleteGLFont and
// QI_DestroyTexture work in the GL context current on the calling thread (a
// context is current on one thread at a time). QI_SetAnchorMode comes from
// the thread that owns the child's parent. The other calls may come from any
// thread. A view's state lives with its window; the library takes no lock.
//
// Compatibility. Within a major version (ORVANE_VERSION_MAJOR) the calls'
// names and export ordinals, the records' layouts and what each call returns
// never change: later versions only add calls, and fields at the end of a
// record that carries its own size (OrvaneViewFormat). The header is plain C
// (C99 and later) and C++ (C++11 and later).
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <stddef.h>
#include <stdint.h>

// The version of the library this header describes; its file's version
// resource and QI_Version carry the same numbers.
#define ORVANE_VERSION_MAJOR 1
#define ORVANE_VERSION_MINOR 0
#define ORVANE_VERSION_PATCH 0

#ifdef __cplusplus
extern "C" {
#endif

// One picture of a scene. Arrays of these are handed to QI_DestroyTexture,
// so the layout is fixed: 280 bytes, no padding, stride 280.
typedef struct TextureEntry {
    int32_t Id;             // caller's own number; never read by the library
    char FileName[260];     // zero-terminated path of the picture file
    uint32_t GLTexture;     // OpenGL texture name, 0 = none
    int32_t LoadOption;     // passed to QI_CreateGLTextureFromFileEX
    int32_t Width;          // pixels
    int32_t Height;         // pixels
} TextureEntry;

// A bitmap font for GL text (88 bytes), belonging to the GL context current
// when it was built: it draws and is freed there only. Before QI_BuildGLfont
// the caller fills FontName, FontHeight and FontWeight and keeps the rest
// zero; the library owns the rest (Reserved tells a view's fonts apart, since
// every context numbers its display lists from 1).
typedef struct GLFontRecord {
    char FontName[64];      // face name, zero-terminated
    uint32_t ListBase;      // library: first display list (0 = not built)
    int32_t ListCount;      // library: number of display lists
    int32_t Ascent;         // library: pixels from the top of a line to its baseline
    int32_t FontHeight;     // character height in pixels; also the line spacing
    int32_t FontWeight;     // 100..900, 700 = bold
    int32_t Reserved;       // library
} GLFontRecord;

// What a host asks of a view's OpenGL framebuffer and context, handed to
// CreateWindowEx as its creation parameter (lpParam). Without one (null), or
// with every field 0 but Size, a view gets the default: double-buffered RGBA,
// a 24-bit depth buffer, no stencil, no multisampling, the driver's default
// context, swap interval 0. Size is sizeof(OrvaneViewFormat) (32): a smaller
// one is refused (creation fails and says why on the debug output); a larger
// one, from a later version of this header, is read up to the fields known.
//
// What cannot be had is stepped down in this order, each step only as far as
// needed: the samples halve (16, 8, 4, 2) down to none; then sRGB is dropped
// (and the samples tried again from the number asked); then the depth and
// stencil become the default's; last comes the default format. A version,
// profile, debug or forward-compatible flag the driver refuses fails the
// creation (saying why on the debug output), unless ORVANE_FORMAT_ALLOW_FALLBACK
// is set: then the view gets the driver's default context. A request met
// only in part says what it got on the debug output. QI_GetViewFormat tells
// what the view has.
typedef struct OrvaneViewFormat {
    uint32_t Size;          /* sizeof(OrvaneViewFormat): the record may grow */
    int32_t  Samples;       /* 0 = none; 2, 4, 8, 16 */
    int32_t  SwapInterval;  /* 0 = never wait (today's); 1 = every vertical blank; -1 = adaptive where offered */
    int32_t  DepthBits;     /* 0 = the default (24) */
    int32_t  StencilBits;   /* 0 = none */
    int32_t  MajorVersion;  /* 0 = the driver's default context (today's) */
    int32_t  MinorVersion;
    uint32_t Flags;         /* ORVANE_FORMAT_* below */
} OrvaneViewFormat;
#define ORVANE_FORMAT_SRGB               0x01u
#define ORVANE_FORMAT_CORE_PROFILE       0x02u
#define ORVANE_FORMAT_DEBUG              0x04u
#define ORVANE_FORMAT_FORWARD_COMPATIBLE 0x08u
#define ORVANE_FORMAT_ALLOW_FALLBACK     0x10u  /* a version or profile not to be had falls back to the default context */

// Registers the window class "QOPENGLCTRL" under qInstance() as a global
// class (CS_GLOBALCLASS | CS_OWNDC), so a program creates views with its own
// instance handle. A view owns a double-buffered RGBA OpenGL context with a
// depth buffer (or what its creation parameter asks, see OrvaneViewFormat),
// current on the creating thread; creation fails
// (CreateWindowEx returns 0) when none can be made, and destroying the view
// releases its context, its DC and the fonts built in it. A view adds
// WS_CLIPCHILDREN and WS_CLIPSIBLINGS to its style (a window with a pixel
// format must not draw over the windows that overlap it) and erases no
// background. Its owner draws every frame; on WM_PAINT a view puts back its
// last frame where it keeps one (see QI_UpdateGLWindow) and validates
// itself. So an owner that does not draw continuously draws a frame when the
// view gets WM_PAINT (subclass the view, draw, then pass the message on):
// that brings a covered view back where frames are swapped into it, and is
// right on either path. A subclassed view's own procedure must keep
// receiving WM_SIZE, WM_PAINT and WM_NCDESTROY at least.
// For keyboard users and screen readers, a view
//  - answers WM_GETDLGCODE with DLGC_WANTARROWS | DLGC_WANTCHARS: in a host
//    with dialog-message handling the arrow keys and characters reach the
//    view; Tab, Enter and Escape stay with the host;
//  - draws a focus cue into each frame it shows (QI_UpdateGLWindow) while it
//    has the keyboard focus and its keyboard cues are shown (WM_QUERYUISTATE
//    without UISF_HIDEFOCUS; the system hides them from mouse users until a
//    key is used, and a host without dialog handling clears UISF_HIDEFOCUS
//    with WM_CHANGEUISTATE when it moves the focus by key): a dotted ring,
//    black and white in turn, one pixel inside the client area, as wide as
//    the user's focus border (SPI_GETFOCUSBORDERWIDTH). Every OpenGL state it
//    touches is put back. A view with a core-profile or forward-compatible
//    context (OrvaneViewFormat), which has no fixed-function drawing, draws
//    no cue: its host draws its own. When the cue comes or goes (WM_SETFOCUS,
//    WM_KILLFOCUS, WM_UPDATEUISTATE) the view invalidates itself, so an
//    owner that draws on WM_PAINT shows the change at once;
//  - is named by its window text (the CreateWindowEx title or
//    SetWindowText): the system's accessibility layer reads it as the name of
//    the view's client object (OBJID_CLIENT). Give every view a short text
//    that says what it shows.
// Non-zero (the class atom) once the class exists; a repeated call is
// harmless.
int32_t WINAPI RegisterOrvaneClass(void);

// Fills *got (the caller sets got->Size, at least 32) with what the view's
// framebuffer and context have: Samples (0 without multisampling), the
// SwapInterval in force (0 where frames are copied from a hidden surface,
// which never waits), DepthBits, StencilBits, the context's Major and
// MinorVersion, and the Flags it really has (ORVANE_FORMAT_SRGB when frames
// are written in sRGB, CORE_PROFILE, DEBUG, FORWARD_COMPATIBLE). Size is left
// as the caller set it. 1, or 0 for a window that is not a view or a record
// smaller than 32 bytes.
int32_t WINAPI QI_GetViewFormat(HWND view, OrvaneViewFormat* got);

// Registers the common-control classes (ICC_WIN95_CLASSES: trackbar,
// tooltip, status and the rest; with version 6 also the themed standard
// classes such as static). The text is reserved (may be null). Non-zero on
// success.
int32_t WINAPI QI_LoadDLL(const char* reserved);

// The library's module handle: the instance under which it registers classes.
HINSTANCE WINAPI qInstance(void);

// The version its file's version resource carries, as dotted decimal digits
// in an OLE BSTR ("1.0.0": SysStringLen gives 5). The caller frees it with
// SysFreeString. Null only when out of memory.
BSTR WINAPI QI_Version(void);

// Anchoring of a child window to its parent's client edges. The code says
// what the child does horizontally and vertically when the parent's client
// size changes (full table in anchor_codes.h):
//   1 stays (top-left)        2 follows the right edge     3 follows the bottom edge
//   4 stretches wide, top     5 stretches both ways        6 stretches tall, left
//   7 stretches wide, bottom  8 stretches tall, right      9 follows the bottom-right corner
//   10..16 the centred variants; 0 removes the child's anchor.
// Margins are recorded when the code is set (again: from the child's
// current place), and positions always computed from them, so shrinking and
// growing back restores the layout exactly; a stretched size never goes
// below 0; minimising moves nothing. All anchored children of a parent move
// in one deferred batch before the parent's window procedure sees WM_SIZE
// (through a comctl32 subclass of the parent, removed on WM_NCDESTROY).
// Result 1 when set or removed; 0 for a null child, a top-level window, a
// child whose parent is another thread's or an unknown code, which are
// ignored (code 0 included).
int32_t WINAPI QI_SetAnchorMode(HWND child, int32_t mode);

// The device context the view's OpenGL context draws through: the view's own
// (CS_OWNDC), or the hidden surface's where frames are drawn on one (see
// QI_UpdateGLWindow). It carries the view's pixel format, every call that
// makes the view's context current does so with this DC, and
// wglMakeCurrent(dc, context) may be used with it. For OpenGL only: GDI
// output on it is not part of the frame, and frames are shown with
// QI_UpdateGLWindow, not SwapBuffers. Valid until the view is destroyed or
// resized; null for a window that is not a view.
HDC WINAPI QI_GetGLDC(HWND view);

// Builds bitmap display lists for characters 32..255 of the record's face,
// height and weight, in the GL context current on the calling thread (or the
// view's context when dc is a view's DC and none is current). FontHeight is
// the character cell's height in pixels (1..1000), so lines FontHeight apart
// do not overlap; FontWeight is 0..1000 (700 = bold). FontName need not be
// zero-terminated within its 64 bytes. Building a built record again frees
// its old lists first. A font built in a view's context is kept with the
// view and freed with it when the view is destroyed. Result 1 on success; 0
// leaves ListBase 0.
int32_t WINAPI QI_BuildGLfont(HDC dc, GLFontRecord* font);

// Frees the font's display lists and glyph texture in the context it was
// built in, never in another, and zeroes the library's fields. A font of a
// view of the calling thread is freed in that view's context, made current
// for the moment when another context is current (which is current again
// afterwards). A font of a view already destroyed frees nothing (its
// context took its objects), nor does a font of another thread's view (they
// go with that view). A font built in a context that is no view's is freed
// in the current context, which must be that one (when the current context
// is a view's, nothing is freed). Harmless on a font never built or already
// deleted.
int32_t WINAPI QI_DeleteGLFont(GLFontRecord* font);

// Draws text with its character cell's top-left corner at (x, y) pixels from
// the view's top-left, in an ARGB colour (0xAARRGGBB, as QD_ColorARGB makes
// it; alpha blends the text over the frame). The colour is exact: lighting,
// texturing, depth test and the like do not apply to text. A line feed starts
// a new line FontHeight pixels lower; other characters below 32 are skipped.
// Text partly outside the view shows its visible part. Makes the view's
// context current; leaves every piece of GL state as found (matrices and
// matrix mode, enables, current colour and raster position, viewport, list
// base, pixel unpacking, material) and raises no GL error. Result 1 when
// drawn; 0 for a null or unbuilt font, a font built in another context, null
// text, an empty client area or full attribute or matrix stacks, in which
// case nothing changes.
int32_t WINAPI QI_DrawGLText(HWND view, GLFontRecord* font, int32_t x, int32_t y,
                             const char* text, uint32_t argb);

// Decodes a picture file (PNG with or without alpha, JPEG, and whatever else
// the Windows Imaging Component reads) into width x height pixels of 4 bytes
// (R, G, B, A; alpha 255 where the picture has none), the picture's lowest
// row first, so that rows handed straight to glTexImage2D put it upright with
// t = 0 at its bottom. The path is text in the process's ANSI code page
// (CP_ACP: a program's manifest may make it UTF-8); a program that names
// files in any language uses QI_CreateGLTextureFromFileEXW. COM should be
// initialised on the calling thread; when it is not, the call does so for its
// own duration.
// *pixels is allocated with CoTaskMemAlloc and belongs to the caller, who
// frees it with CoTaskMemFree (the COM task allocator is shared by every
// module, whatever runtime it links). A non-null *pixels on entry is freed
// first, so a variable may be reused across calls: keep it null or a buffer
// from this call. On failure (result 0: missing, truncated or unreadable
// file, a size of 0, or more than 2 GiB of pixels) *pixels is null, the
// sizes are 0 and nothing stays allocated. option is reserved: pass 0;
// other values are ignored.
int32_t WINAPI QI_CreateGLTextureFromFileEX(const char* path, int32_t* width, int32_t* height,
                                            unsigned char** pixels, int32_t option);

// The same with a UTF-16 path (at most MAX_PATH - 1 characters), whatever
// the process's code page: the one implementation behind both, which the
// ANSI call reaches by converting its path from CP_ACP.
int32_t WINAPI QI_CreateGLTextureFromFileEXW(const wchar_t* path, int32_t* width, int32_t* height,
                                             unsigned char** pixels, int32_t option);

// Deletes the non-zero GL textures of count consecutive entries (in the
// current GL context) and zeroes their GLTexture fields; no other field
// changes. A null pointer or a count below 1 is harmless (result 0).
int32_t WINAPI QI_DestroyTexture(TextureEntry* first, int32_t count);

// Zoom: the vertical field of view in degrees, kept per view and given back
// exactly as set. A new view starts at 51 (what the demo's trackbar gives at
// its start position, 101 - 50). Set returns 1, or 0 for a window that is not
// a view; Get returns 0 for a window that is not a view.
int32_t WINAPI QI_SetGLzoom(HWND view, int32_t zoom);
int32_t WINAPI QI_GetGLzoom(HWND view);

// Makes the view's context current, sets the viewport to its client size and
// loads a perspective projection: vertical field of view = the zoom in
// degrees, held to 1..179 for zooms no projection can take; aspect = client
// width / height, or 1 for an empty client area; near plane 0.1, far plane
// 1000 view units. Leaves the modelview matrix current and unchanged, touches
// no other state (the caller's scissor box and test stay as set); raises no
// GL error. Result 1, or 0 for a window that is not a view.
int32_t WINAPI QI_ResizeGLWindow(HWND view);

// Shows the finished frame and leaves the view's context current with
// QI_GetGLDC's DC. Normally it swaps the view's buffers, with a swap interval
// of 0 where the driver offers WGL_EXT_swap_control, so presenting never
// waits for the display (pace frames with a timer), unless the view was
// asked for another (OrvaneViewFormat). Under Wine, where OpenGL
// drawn into a child window never reaches the screen (a top-level window's
// does), a child view draws on a hidden top-level surface of its size and
// this call copies the back buffer onto the view (resolved, when it is
// multisampled), which keeps the copy for WM_PAINT. ORVANE_NATIVE_CHILD_GL=1 in the environment makes child views
// draw in themselves under Wine too (to test the path Windows takes); other
// values change nothing. 0 for a window that is not a view.
int32_t WINAPI QI_UpdateGLWindow(HWND view);

// -1 while the button is physically down at the time of the call, whether or
// not its messages reached any window (swapped buttons honoured: "left" is
// the logical left button), otherwise 0.
int32_t WINAPI QI_IsLButtonDown(void);
int32_t WINAPI QI_IsRButtonDown(void);

// An ARGB colour 0xAARRGGBB from an alpha (held to 0..255) and a Windows
// COLORREF (0x00BBGGRR; its top byte is ignored). Zero only for alpha 0 and
// black.
uint32_t WINAPI QD_ColorARGB(int32_t alpha, COLORREF rgb);

// Function-pointer types of the calls, for a program that loads the library
// with LoadLibrary and takes its calls with GetProcAddress.
typedef int32_t (WINAPI *PFN_RegisterOrvaneClass)(void);
typedef int32_t (WINAPI *PFN_QI_GetViewFormat)(HWND view, OrvaneViewFormat* got);
typedef int32_t (WINAPI *PFN_QI_LoadDLL)(const char* reserved);
typedef HINSTANCE (WINAPI *PFN_qInstance)(void);
typedef BSTR (WINAPI *PFN_QI_Version)(void);
typedef int32_t (WINAPI *PFN_QI_SetAnchorMode)(HWND child, int32_t mode);
typedef HDC (WINAPI *PFN_QI_GetGLDC)(HWND view);
typedef int32_t (WINAPI *PFN_QI_BuildGLfont)(HDC dc, GLFontRecord* font);
typedef int32_t (WINAPI *PFN_QI_DeleteGLFont)(GLFontRecord* font);
typedef int32_t (WINAPI *PFN_QI_DrawGLText)(HWND view, GLFontRecord* font, int32_t x, int32_t y,
                                            const char* text, uint32_t argb);
typedef int32_t (WINAPI *PFN_QI_CreateGLTextureFromFileEX)(const char* path, int32_t* width, int32_t* height,
                                                           unsigned char** pixels, int32_t option);
typedef int32_t (WINAPI *PFN_QI_CreateGLTextureFromFileEXW)(const wchar_t* path, int32_t* width, int32_t* height,
                                                            unsigned char** pixels, int32_t option);
typedef int32_t (WINAPI *PFN_QI_DestroyTexture)(TextureEntry* first, int32_t count);
typedef int32_t (WINAPI *PFN_QI_SetGLzoom)(HWND view, int32_t zoom);
typedef int32_t (WINAPI *PFN_QI_GetGLzoom)(HWND view);
typedef int32_t (WINAPI *PFN_QI_ResizeGLWindow)(HWND view);
typedef int32_t (WINAPI *PFN_QI_UpdateGLWindow)(HWND view);
typedef int32_t (WINAPI *PFN_QI_IsLButtonDown)(void);
typedef int32_t (WINAPI *PFN_QI_IsRButtonDown)(void);
typedef uint32_t (WINAPI *PFN_QD_ColorARGB)(int32_t alpha, COLORREF rgb);

#ifdef __cplusplus
}
#endif

// The records' layouts, checked by every compiler that can: C++11 (and
// Visual C++ 2010, which reports an older __cplusplus) and C11.
#if defined(__cplusplus) && (__cplusplus >= 201103L || (defined(_MSC_VER) && _MSC_VER >= 1600))
#define ORVANE_LAYOUT_CHECK(what, text) static_assert(what, text)
#elif !defined(__cplusplus) && defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define ORVANE_LAYOUT_CHECK(what, text) _Static_assert(what, text)
#endif
#ifdef ORVANE_LAYOUT_CHECK
ORVANE_LAYOUT_CHECK(sizeof(TextureEntry) == 280, "TextureEntry is 280 bytes");
ORVANE_LAYOUT_CHECK(offsetof(TextureEntry, Id) == 0, "TextureEntry.Id at 0");
ORVANE_LAYOUT_CHECK(offsetof(TextureEntry, FileName) == 4, "TextureEntry.FileName at 4");
ORVANE_LAYOUT_CHECK(offsetof(TextureEntry, GLTexture) == 264, "TextureEntry.GLTexture at 264");
ORVANE_LAYOUT_CHECK(offsetof(TextureEntry, LoadOption) == 268, "TextureEntry.LoadOption at 268");
ORVANE_LAYOUT_CHECK(offsetof(TextureEntry, Width) == 272, "TextureEntry.Width at 272");
ORVANE_LAYOUT_CHECK(offsetof(TextureEntry, Height) == 276, "TextureEntry.Height at 276");
ORVANE_LAYOUT_CHECK(sizeof(GLFontRecord) == 88, "the font record is 88 bytes");
ORVANE_LAYOUT_CHECK(offsetof(GLFontRecord, FontName) == 0, "GLFontRecord.FontName at 0");
ORVANE_LAYOUT_CHECK(offsetof(GLFontRecord, FontHeight) == 76, "GLFontRecord.FontHeight at 76");
ORVANE_LAYOUT_CHECK(offsetof(GLFontRecord, FontWeight) == 80, "GLFontRecord.FontWeight at 80");
ORVANE_LAYOUT_CHECK(sizeof(OrvaneViewFormat) == 32, "the view format record's first version is 32 bytes");
#undef ORVANE_LAYOUT_CHECK
#endif
