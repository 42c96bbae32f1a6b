// The engine's parts as the exported calls reach them.
#pragma once

#include <windows.h>

#include <cstdint>

namespace pelmar {

// controls.cpp: the clock and picture controls.
bool RegisterEngineClasses();
void UnregisterEngineClasses() noexcept;
HWND CreateClock(HWND parent, const wchar_t* face, int x, int y, int width, int height, int id, uint32_t handColour,
                 uint32_t secondColour);
HWND CreatePicture(HWND parent, const wchar_t* picture, int x, int y, int width, int height, int id);

// accessible.cpp: what screen readers are told of the clock and picture.
enum class ControlKind { Clock, Picture };
// WM_GETOBJECT of either control.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, ControlKind kind);
// The clock's name is the time it shows; a change is announced.
void NameClock(HWND clock, const SYSTEMTIME& shown);

// frame.cpp: the skinned frame and caption of a top-level window.
bool SkinWindow(HWND window, const char* buttonTexts);
bool IsSkinned(HWND window);

// parent.cpp: what the engine draws and moves inside a parent's client
// area: the skin's background, frames around children, anchored children.
bool PaintClientBackground(HWND parent);   // from now on
bool AddBorder(HWND child, const RECT& frame, int style, int thickness);
bool SetAnchor(HWND child, int code);

// label.cpp
bool SkinLabel(HWND label);
bool SetLabelFont(HWND label, const char* face, int size, uint32_t argb, bool antialias);

// tooltip.cpp
bool AddToolTip(HWND window, const char* text);
HWND ToolTipOf(HWND window);   // null when there is none
// A tracking tooltip for places that are not windows (caption buttons).
HWND CreateTrackingTip(HWND owner);
void ShowTrackingTip(HWND tip, HWND owner, const char* text, POINT screen);
void HideTrackingTip(HWND tip, HWND owner);

// Subclass ids the engine uses with SetWindowSubclass.
inline constexpr UINT_PTR kFrameSubclass = 0x5E1F0001;
inline constexpr UINT_PTR kParentSubclass = 0x5E1F0002;
inline constexpr UINT_PTR kChildSubclass = 0x5E1F0003;
inline constexpr UINT_PTR kLabelSubclass = 0x5E1F0004;
inline constexpr UINT_PTR kToolSubclass = 0x5E1F0005;
inline constexpr UINT_PTR kAnchorSubclass = 0x5E1F0006;
inline constexpr UINT_PTR kTipSubclass = 0x5E1F0007;

}  // namespace pelmar
