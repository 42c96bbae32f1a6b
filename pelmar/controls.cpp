// The engine's own child controls: the analog clock and the picture.
#include <algorithm>

#include "dpi.h"
#include "engine.h"
#include "helpers.h"
#include "owned.h"
#include "paint.h"
#include "parts.h"
#include "picture.h"
#include "report.h"

namespace pelmar {
namespace {

constexpr char kClockClass[] = "PelmarClock";
constexpr char kPictureClass[] = "PelmarPicture";
constexpr UINT_PTR kTickTimer = 1;
constexpr int kPlainFaceSize = 92;   // a clock without a readable face picture, 96-DPI units

struct ClockState {
    Picture face;
    ClockColours colours{};
    int shownSecond = -1;
};

template <typename T>
T* StateOf(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrA(window, 0));
}

// The window takes its state over from the creator's holder in WM_NCCREATE
// and frees it in WM_NCDESTROY, so a creation that fails after that point
// frees it exactly once, whatever the parent does meanwhile.
template <typename T>
void TakeState(HWND window, LPARAM createParam) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(createParam);
    auto* holder = cs ? static_cast<memory::Owned<T>*>(cs->lpCreateParams) : nullptr;
    SetWindowLongPtrA(window, 0, holder ? reinterpret_cast<LONG_PTR>(holder->release()) : 0);
}

// Draws a picture with its alpha at (x, y); nothing when it is empty.
void BlendPicture(HDC target, const Picture& picture, int x, int y) {
    if (!picture.Bitmap()) return;
    HDC source = CreateCompatibleDC(target);
    if (!source) return;
    HGDIOBJ old = SelectObject(source, picture.Bitmap());
    const int width = picture.Width(), height = picture.Height();
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(target, x, y, width, height, source, 0, 0, width, height, blend);
    SelectObject(source, old);
    DeleteDC(source);
}

// Wakes up just after the next whole second.
void ArmTick(HWND clock) {
    SYSTEMTIME now{};
    Now(&now);
    const UINT wait = 1000u - std::min<UINT>(now.wMilliseconds, 999u) + 15u;
    SetTimer(clock, kTickTimer, wait, nullptr);
}

void PaintClock(HWND clock, ClockState& st) {
    st.face.FollowDpi(win32::dpi::OfWindow(clock));
    SYSTEMTIME now{};
    Now(&now);
    NameClock(clock, now);
    PaintBuffered(clock, [&st, &now](BackBuffer& buffer, const RECT& client) {
        FillSolid(buffer.Dc(), client, CurrentSkin().background);
        const double cx = client.right / 2.0, cy = client.bottom / 2.0;
        const double radius = std::min(client.right, client.bottom) / 2.0;
        // In high contrast the dial and hands are drawn in the system's
        // colours, never from the face picture.
        const bool system = HighContrast();
        const SystemInk ink = CurrentSystemInk();
        if (st.face.Bitmap() && !system) {
            BlendPicture(buffer.Dc(), st.face, (client.right - st.face.Width()) / 2,
                         (client.bottom - st.face.Height()) / 2);
        } else if (system) {
            DrawPlainFace(buffer.Pixels(), cx, cy, radius, ink.window, ink.text);
        } else {
            DrawPlainFace(buffer.Pixels(), cx, cy, radius, 0xFFF4F1EC, 0xFF303030);
        }
        st.shownSecond = now.wSecond;
        const ClockColours colours =
            system ? ClockColours{ink.text, ink.highlight, CurrentSkin().clockCap} : st.colours;
        DrawClockHands(buffer.Pixels(), cx, cy, radius, AnglesFor(now.wHour, now.wMinute, now.wSecond), colours);
    });
}

void PaintPicture(HWND window, Picture* picture) {
    if (picture) picture->FollowDpi(win32::dpi::OfWindow(window));
    PaintBuffered(window, [picture](BackBuffer& buffer, const RECT& client) {
        FillSolid(buffer.Dc(), client, CurrentSkin().background);
        if (picture) BlendPicture(buffer.Dc(), *picture, 0, 0);
    });
}

LRESULT CALLBACK ClockProc(HWND clock, UINT message, WPARAM wParam, LPARAM lParam) {
    ClockState* st = StateOf<ClockState>(clock);
    switch (message) {
    case WM_NCCREATE:
        TakeState<ClockState>(clock, lParam);
        break;
    case WM_CREATE: {
        SYSTEMTIME now{};
        Now(&now);
        NameClock(clock, now);
        ArmTick(clock);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTickTimer && st) {
            SYSTEMTIME now{};
            Now(&now);
            if (now.wSecond != st->shownSecond) InvalidateRect(clock, nullptr, FALSE);
            ArmTick(clock);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (st) {
            PaintClock(clock, *st);
            return 0;
        }
        break;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_GETOBJECT:
        return AnswerGetObject(clock, wParam, lParam, ControlKind::Clock);
    case WM_NCDESTROY:
        KillTimer(clock, kTickTimer);
        memory::Delete(st);
        SetWindowLongPtrA(clock, 0, 0);
        break;
    }
    return DefWindowProcA(clock, message, wParam, lParam);
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Picture* picture = StateOf<Picture>(window);
    switch (message) {
    case WM_NCCREATE:
        TakeState<Picture>(window, lParam);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintPicture(window, picture);
        return 0;
    case WM_GETOBJECT:
        return AnswerGetObject(window, wParam, lParam, ControlKind::Picture);
    case WM_NCDESTROY:
        memory::Delete(picture);
        SetWindowLongPtrA(window, 0, 0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Register(const char* name, WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = sizeof(void*);
    wc.hInstance = win32::ThisModule();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    return win32::RegisterClassOnce(wc) != 0;
}

// Loads path for a child of parent; a width or height of 0 becomes the
// picture's own (or unreadable when it cannot be read), in 96-DPI units at
// the parent's DPI. Given sizes are pixels.
void LoadSized(Picture& picture, HWND parent, const wchar_t* path, int& width, int& height, int unreadable) {
    const int dpi = win32::dpi::OfWindow(parent);
    const bool own = !width || !height;
    bool loaded = picture.Load(path, width, height);
    if (!width) width = win32::dpi::Scale(loaded ? picture.Width() : unreadable, dpi);
    if (!height) height = win32::dpi::Scale(loaded ? picture.Height() : unreadable, dpi);
    if (loaded && own && (width != picture.Width() || height != picture.Height()))
        loaded = picture.Load(path, width, height);
    if (loaded) picture.FollowDpi(dpi);
}

// state is the address of the creator's holder; see TakeState.
HWND CreateChild(const char* className, HWND parent, int x, int y, int width, int height, int id, void* state) {
    return CreateWindowExA(0, className, nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), win32::ThisModule(), state);
}

}  // namespace

bool RegisterEngineClasses() { return Register(kClockClass, ClockProc) && Register(kPictureClass, PictureProc); }

void UnregisterEngineClasses() noexcept {
    for (const char* name : {kClockClass, kPictureClass}) UnregisterClassA(name, win32::ThisModule());
}

HWND CreateClock(HWND parent, const wchar_t* face, int x, int y, int width, int height, int id, uint32_t handColour,
                 uint32_t secondColour) {
    if (!parent || !IsWindow(parent) || width < 0 || height < 0) return nullptr;
    auto st = memory::MakeOwned<ClockState>();
    if (!st) {
        win32::ReportOutOfMemory("pelmar", __func__);
        return nullptr;
    }
    st->colours = {handColour, secondColour, CurrentSkin().clockCap};
    LoadSized(st->face, parent, face, width, height, kPlainFaceSize);
    // Past WM_NCCREATE the window owns st; before it, st still does.
    return CreateChild(kClockClass, parent, x, y, width, height, id, &st);
}

HWND CreatePicture(HWND parent, const wchar_t* picture, int x, int y, int width, int height, int id) {
    if (!parent || !IsWindow(parent) || width < 0 || height < 0) return nullptr;
    auto shown = memory::MakeOwned<Picture>();
    if (!shown) {
        win32::ReportOutOfMemory("pelmar", __func__);
        return nullptr;
    }
    LoadSized(*shown, parent, picture, width, height, 0);
    return CreateChild(kPictureClass, parent, x, y, width, height, id, &shown);
}

}  // namespace pelmar
