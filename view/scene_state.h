// The one global record of the program: window handles, view values,
// animation values, the overlay font and the table of pictures.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "buffer.h"
#include "helpers.h"
#include "orvane.h"

// The program's pictures, indices 0 (background) and 1 (the model's skin).
// Not dimensioned until the start-up creates it: its highest index is then -1.
class TextureList {
public:
    // count zeroed entries (none for a count below 1); false when memory has
    // run out, and the table then has no entries.
    bool Dimension(int count) {
        return entries_.Assign(count > 0 ? static_cast<std::size_t>(count) : 0, TextureEntry{});
    }
    bool Dimensioned() const { return !entries_.empty(); }
    int HighIndex() const { return Count() - 1; }
    int Count() const { return static_cast<int>(entries_.size()); }
    TextureEntry* First() { return entries_.empty() ? nullptr : entries_.data(); }
    // Entry i. An index outside the table is refused: it gives a stand-in
    // entry that belongs to no picture and no model, blank again at every
    // such access.
    TextureEntry& operator[](int i) {
        if (i < 0 || i >= Count()) {
            outside_ = TextureEntry{};
            return outside_;
        }
        return entries_[static_cast<std::size_t>(i)];
    }

private:
    memory::Buffer<TextureEntry> entries_;
    TextureEntry outside_{};
};

struct SceneState {
    float OffsetUnit;        // view units; the two moves after the model
    float PosX;              // model position, view units
    float PosY;
    float PosZ;              // negative is away from the viewer
    float TiltAngle;         // degrees about x
    float SpinAngle;         // degrees about y
    float DragBaseA;         // drag origin values (mouse navigation)
    float DragBaseB;
    std::int32_t DragStartX;
    std::int32_t DragStartY;
    HWND MainWindow;
    HWND GLView;
    WNDPROC OldViewProc;
    GLFontRecord OverlayFont;
    win32::Path ResourceDir;  // program folder + "Resource\" (cut at MAX_PATH - 1 characters)
    float AnimFrame;          // 1-based frame position, steps of 0.25
    std::int32_t FrameCount;
    std::uint32_t OverlayColor;  // ARGB; 0 = not yet computed
    std::int32_t NextStepTick;   // tick count the next animation step waits for
    std::int32_t LeftDragging;
    std::int32_t RightDragging;
    std::int32_t LeftLastX;
    std::int32_t LeftLastY;
    std::int32_t RightLastX;
    std::int32_t RightLastY;
    TextureList TextureTable;
    // Keyboard: the zoom trackbar (its keys and Tab reach it from the view),
    // its procedure under the keyboard subclass, and the child that had the
    // focus last, which gets it back when the main window gets it.
    HWND ZoomBar;
    WNDPROC OldZoomBarProc;
    HWND FocusChild;
};

// All zero at process start.
extern SceneState Scene;

// The view values' start values; touches nothing else.
void ResetScene();
