// Stand-in for orvane.dll: records every call; keeps a zoom per view.
#include "orvane.h"
#include "recorder.h"

#include <objbase.h>

#include <string>

using fake::Hex;
using fake::Quote;
using fake::Record;
using fake::Set;
using std::to_string;

extern "C" {

int32_t WINAPI RegisterOrvaneClass(void) {
    Record("RegisterOrvaneClass", {});
    return Set().registerResult;
}

int32_t WINAPI QI_LoadDLL(const char* reserved) {
    Record("QI_LoadDLL", {Quote(reserved)});
    return 1;
}

HINSTANCE WINAPI qInstance(void) {
    Record("qInstance", {});
    return GetModuleHandleA(nullptr);
}

BSTR WINAPI QI_Version(void) {
    Record("QI_Version", {});
    return SysAllocString(Set().version.c_str());
}

int32_t WINAPI QI_SetAnchorMode(HWND child, int32_t mode) {
    Record("QI_SetAnchorMode", {Hex(child), to_string(mode)});
    return child != nullptr;
}

HDC WINAPI QI_GetGLDC(HWND view) {
    Record("QI_GetGLDC", {Hex(view)});
    return Set().viewDC;
}

int32_t WINAPI QI_BuildGLfont(HDC dc, GLFontRecord* font) {
    Record("QI_BuildGLfont", {Hex(dc), Hex(font), font ? Quote(font->FontName) : "null",
                              font ? to_string(font->FontHeight) : "-", font ? to_string(font->FontWeight) : "-"});
    return 1;
}

int32_t WINAPI QI_DeleteGLFont(GLFontRecord* font) {
    Record("QI_DeleteGLFont", {Hex(font)});
    return 1;
}

int32_t WINAPI QI_DrawGLText(HWND view, GLFontRecord* font, int32_t x, int32_t y, const char* text,
                             uint32_t argb) {
    Record("QI_DrawGLText", {Hex(view), Hex(font), to_string(x), to_string(y), Quote(text), Hex(argb)});
    return 1;
}

int32_t WINAPI QI_CreateGLTextureFromFileEX(const char* path, int32_t* width, int32_t* height,
                                            unsigned char** pixels, int32_t option) {
    Record("QI_CreateGLTextureFromFileEX", {Quote(path), to_string(option)});
    if (pixels && *pixels) {
        CoTaskMemFree(*pixels);
        *pixels = nullptr;
    }
    if (width) *width = 0;
    if (height) *height = 0;
    const auto found = Set().pictures.find(path ? path : "");
    if (found == Set().pictures.end() || !width || !height || !pixels) return 0;
    const std::size_t bytes = static_cast<std::size_t>(found->second.width) * found->second.height * 4;
    *pixels = static_cast<unsigned char*>(CoTaskMemAlloc(bytes ? bytes : 1));
    if (!*pixels) return 0;
    *width = found->second.width;
    *height = found->second.height;
    return 1;
}

int32_t WINAPI QI_DestroyTexture(TextureEntry* first, int32_t count) {
    Record("QI_DestroyTexture", {Hex(first), to_string(count)});
    for (int32_t i = 0; first && i < count; ++i) first[i].GLTexture = 0;
    return 1;
}

int32_t WINAPI QI_SetGLzoom(HWND view, int32_t zoom) {
    Record("QI_SetGLzoom", {Hex(view), to_string(zoom)});
    Set().zoom[view] = zoom;
    return 1;
}

int32_t WINAPI QI_GetGLzoom(HWND view) {
    Record("QI_GetGLzoom", {Hex(view)});
    const auto found = Set().zoom.find(view);
    return found == Set().zoom.end() ? Set().startZoom : found->second;
}

int32_t WINAPI QI_ResizeGLWindow(HWND view) {
    Record("QI_ResizeGLWindow", {Hex(view)});
    return 1;
}

int32_t WINAPI QI_UpdateGLWindow(HWND view) {
    Record("QI_UpdateGLWindow", {Hex(view)});
    return 1;
}

int32_t WINAPI QI_IsLButtonDown(void) {
    Record("QI_IsLButtonDown", {});
    return Set().leftButton;
}

int32_t WINAPI QI_IsRButtonDown(void) {
    Record("QI_IsRButtonDown", {});
    return Set().rightButton;
}

uint32_t WINAPI QD_ColorARGB(int32_t alpha, COLORREF rgb) {
    Record("QD_ColorARGB", {to_string(alpha), Hex(static_cast<uint32_t>(rgb))});
    return (static_cast<uint32_t>(alpha & 0xFF) << 24) | (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) |
           GetBValue(rgb);
}

}  // extern "C"
