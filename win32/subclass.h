// A comctl32 subclass whose reference data is an object of ours, made as the
// subclass is installed and freed as the window goes.
#pragma once

#include <windows.h>

#include "common_controls.h"

#include "owned.h"

namespace win32 {

// The reference data a window's subclass was installed with, as T*; null when
// the window does not have that subclass.
template <typename T>
T* SubclassData(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
    DWORD_PTR data = 0;
    return window && cc::GetWindowSubclass(window, proc, id, &data) ? reinterpret_cast<T*>(data) : nullptr;
}

// Installs the subclass with a new T as its reference data, which proc frees
// with RemoveSubclass at WM_NCDESTROY; null when it cannot be installed.
template <typename T>
T* Subclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
    auto* data = memory::New<T>();
    if (!data || cc::SetWindowSubclass(window, proc, id, reinterpret_cast<DWORD_PTR>(data))) return data;
    memory::Delete(data);
    return nullptr;
}

// Takes the subclass off the window and frees its reference data.
template <typename T>
void RemoveSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, T* data) {
    cc::RemoveWindowSubclass(window, proc, id);
    memory::Delete(data);
}

}  // namespace win32
