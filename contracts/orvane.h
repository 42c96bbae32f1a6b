// orvane.dll: the OpenGL view control, picture decoding, GL text, zoom and
// anchoring. Every call is __stdcall with C linkage and an undecorated export
// name. All calls are made from the thread that created the view.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <stddef.h>
#include <stdint.h>

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

// A bitmap font for GL text. The caller fills FontName, FontHeight and
// FontWeight and keeps the rest zero before QI_BuildGLfont; the library owns
// every other field. The caller reserves 88 bytes.
typedef struct GLFontRecord {
    char FontName[64];      // face name, zero-terminated
    uint32_t ListBase;      // library: first display list (0 = not built)
    int32_t ListCount;      // library: number of display lists
    int32_t Ascent;         // library: pixels from the top of a line to its baseline
    int32_t FontHeight;     // character height in pixels; also the line spacing
    int32_t FontWeight;     // 100..900, 700 = bold
    int32_t Reserved;       // library
} GLFontRecord;

// A window class "QOPENGLCTRL" whose windows own a double-buffered RGBA
// OpenGL context with a depth buffer, current on the creating thread.
// Returns non-zero once the class exists (a repeated call is harmless).
int32_t WINAPI RegisterOrvaneClass(void);

// Makes sure the common-control classes the program uses (trackbar, tooltip,
// static) are registered. The text is reserved and may be null. Non-zero on success.
int32_t WINAPI QI_LoadDLL(const char* reserved);

// The library's module handle: the instance under which it registers classes.
HINSTANCE WINAPI qInstance(void);

// The library version as dotted decimal digits ("1.0.0"), plain ASCII held
// in a UTF-16 OLE BSTR. The caller owns it and frees it with SysFreeString.
BSTR WINAPI QI_Version(void);

// Anchoring of a child window to its parent's client edges. The code says
// what the child does horizontally and vertically when the parent's client
// size changes (full table in anchor_codes.h):
//   1 stays (top-left)        2 follows the right edge     3 follows the bottom edge
//   4 stretches wide, top     5 stretches both ways        6 stretches tall, left
//   7 stretches wide, bottom  8 stretches tall, right      9 follows the bottom-right corner
//   10..16 the centred variants; 0 removes the child's anchor.
// Margins are recorded when the code is set. All anchored children of a
// parent are moved in one deferred batch before the parent's window
// procedure sees WM_SIZE. A null child or an unknown code is ignored (result 0).
int32_t WINAPI QI_SetAnchorMode(HWND child, int32_t mode);

// The view's own device context (CS_OWNDC); valid for the view's life.
HDC WINAPI QI_GetGLDC(HWND view);

// Builds bitmap display lists for characters 32..255 of the record's face,
// height and weight, in the GL context current on the calling thread.
int32_t WINAPI QI_BuildGLfont(HDC dc, GLFontRecord* font);

// Frees the font's display lists. Harmless on a font that was never built.
int32_t WINAPI QI_DeleteGLFont(GLFontRecord* font);

// Draws text with its top-left corner at (x, y) pixels from the view's
// top-left, in an ARGB colour (alpha blended). Leaves all GL state as found.
int32_t WINAPI QI_DrawGLText(HWND view, GLFontRecord* font, int32_t x, int32_t y,
                             const char* text, uint32_t argb);

// Decodes a PNG or JPEG file into width x height pixels of 4 bytes (R, G, B,
// A), rows delivered bottom row first (the first row is the picture's lowest).
// Buffer ownership: *pixels is allocated with CoTaskMemAlloc and belongs to
// the caller, who frees it with CoTaskMemFree. A non-null *pixels on entry is
// freed by the library first. On failure (result 0) *pixels is null, the
// sizes are 0 and nothing stays allocated. option is reserved: pass 0.
int32_t WINAPI QI_CreateGLTextureFromFileEX(const char* path, int32_t* width, int32_t* height,
                                            unsigned char** pixels, int32_t option);

// Deletes the non-zero GL textures of count consecutive entries and zeroes
// their GLTexture fields. A null pointer or a count below 1 is harmless.
int32_t WINAPI QI_DestroyTexture(TextureEntry* first, int32_t count);

// Zoom: the vertical field of view in degrees, kept per view.
int32_t WINAPI QI_SetGLzoom(HWND view, int32_t zoom);
int32_t WINAPI QI_GetGLzoom(HWND view);

// Fits the viewport to the view's client size and loads a perspective
// projection from its zoom. Leaves the modelview matrix current and unchanged.
int32_t WINAPI QI_ResizeGLWindow(HWND view);

// Shows the finished frame (swaps the view's buffers).
int32_t WINAPI QI_UpdateGLWindow(HWND view);

// -1 while the button is physically down at the time of the call (swapped
// buttons honoured), otherwise 0.
int32_t WINAPI QI_IsLButtonDown(void);
int32_t WINAPI QI_IsRButtonDown(void);

// An ARGB colour from an alpha 0..255 and a Windows COLORREF (0x00BBGGRR).
uint32_t WINAPI QD_ColorARGB(int32_t alpha, COLORREF rgb);

#ifdef __cplusplus
}

static_assert(sizeof(TextureEntry) == 280, "TextureEntry is 280 bytes");
static_assert(offsetof(TextureEntry, Id) == 0);
static_assert(offsetof(TextureEntry, FileName) == 4);
static_assert(offsetof(TextureEntry, GLTexture) == 264);
static_assert(offsetof(TextureEntry, LoadOption) == 268);
static_assert(offsetof(TextureEntry, Width) == 272);
static_assert(offsetof(TextureEntry, Height) == 276);

static_assert(sizeof(GLFontRecord) == 88, "the font record is 88 bytes");
static_assert(offsetof(GLFontRecord, FontName) == 0);
static_assert(offsetof(GLFontRecord, FontHeight) == 76);
static_assert(offsetof(GLFontRecord, FontWeight) == 80);
#endif
