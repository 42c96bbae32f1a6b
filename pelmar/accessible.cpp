// What screen readers are told of the engine's clock and picture controls.
// Each answers WM_GETOBJECT for its client area with the system's own
// object for the window (oleacc's CreateStdAccessibleObject, which names it
// by its window text and knows its place, parent and focus), wrapped to say
// what kind of control it is and, for a picture whose caller gave it no
// text, that it is hidden. The clock keeps its window text as the time it
// shows. oleacc is loaded from the system folder at the first question;
// without it the default handling answers.
#include <windows.h>

#include <oleacc.h>

#include <atomic>

#include <cstdio>

#include "helpers.h"
#include "owned.h"
#include "parts.h"
#include "system_library.h"

namespace pelmar {
namespace {

using CreateStd = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

// The system's object with the control's role, and its state marked
// invisible while hidden() holds; everything else is the system's answer.
class Wrapped final : public IAccessible {
public:
    Wrapped(IAccessible* inner, HWND window, ControlKind kind) : inner_(inner), window_(window), kind_(kind) {}
    Wrapped(const Wrapped&) = delete;
    Wrapped& operator=(const Wrapped&) = delete;

    // IUnknown. Enumerating children and finding the window are the
    // system object's own.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        if (iid == IID_IEnumVARIANT || iid == IID_IOleWindow) return inner_->QueryInterface(iid, out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            inner_->Release();
            memory::Delete(this);
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return inner_->GetTypeInfo(i, l, t); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
        return inner_->GetIDsOfNames(r, n, c, l, d);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                     UINT* a) override {
        return inner_->Invoke(d, r, l, f, p, v, e, a);
    }

    // IAccessible: the role and state of the control itself.
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!Self(child) || !role) return inner_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = kind_ == ControlKind::Clock ? ROLE_SYSTEM_CLOCK : ROLE_SYSTEM_GRAPHIC;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT hr = inner_->get_accState(child, state);
        if (SUCCEEDED(hr) && Self(child) && state && state->vt == VT_I4 && Hidden())
            state->lVal |= STATE_SYSTEM_INVISIBLE;
        return hr;
    }

    // The rest as the system answers it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return inner_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override { return inner_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override { return inner_->get_accChild(c, p); }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT c, BSTR* s) override { return inner_->get_accName(c, s); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* s) override { return inner_->get_accValue(c, s); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* s) override {
        return inner_->get_accDescription(c, s);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* s) override { return inner_->get_accHelp(c, s); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override {
        return inner_->get_accHelpTopic(f, c, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* s) override {
        return inner_->get_accKeyboardShortcut(c, s);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* v) override { return inner_->get_accFocus(v); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* v) override { return inner_->get_accSelection(v); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* s) override {
        return inner_->get_accDefaultAction(c, s);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override { return inner_->accSelect(f, c); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override {
        return inner_->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override {
        return inner_->accNavigate(d, s, e);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* v) override { return inner_->accHitTest(x, y, v); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return inner_->accDoDefaultAction(c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR s) override { return inner_->put_accName(c, s); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR s) override { return inner_->put_accValue(c, s); }

private:
    static bool Self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
    // A picture without a name says nothing: screen readers pass over it.
    bool Hidden() const { return kind_ == ControlKind::Picture && GetWindowTextLengthA(window_) == 0; }

    IAccessible* inner_;
    HWND window_;
    ControlKind kind_;
    LONG references_ = 1;
};

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, ControlKind kind) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    // Looked up once while this module is loaded (each lookup takes a
    // reference to oleacc, which stays loaded for the objects it made); the
    // window's thread asks, and a second thread would find the same calls.
    static std::atomic<CreateStd> g_create{nullptr};
    static std::atomic<FromObject> g_answer{nullptr};
    if (!g_create.load() || !g_answer.load()) {
        g_create = reinterpret_cast<CreateStd>(
            reinterpret_cast<void*>(win32::SystemFunction("oleacc.dll", "CreateStdAccessibleObject")));
        g_answer = reinterpret_cast<FromObject>(
            reinterpret_cast<void*>(win32::SystemFunction("oleacc.dll", "LresultFromObject")));
    }
    const CreateStd create = g_create;
    const FromObject answer = g_answer;
    IAccessible* inner = nullptr;
    if (!create || !answer || FAILED(create(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&inner))) ||
        !inner)
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    Wrapped* wrapped = memory::New<Wrapped>(inner, window, kind);
    if (!wrapped) {
        inner->Release();
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    }
    // The answer holds its own reference.
    const LRESULT result = answer(IID_IAccessible, wParam, static_cast<IAccessible*>(wrapped));
    wrapped->Release();
    return result;
}

void NameClock(HWND clock, const SYSTEMTIME& shown) {
    // The time without seconds as the user's locale writes it ("10:42").
    char name[64] = {};
    if (!GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &shown, nullptr, name, sizeof name))
        std::snprintf(name, sizeof name, "%d:%02d", shown.wHour, shown.wMinute);
    char old[64] = {};
    GetWindowTextA(clock, old, sizeof old);
    if (lstrcmpA(old, name) == 0) return;
    SetWindowTextA(clock, name);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, clock, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace pelmar
