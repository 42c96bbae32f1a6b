// The one global record of the program: window handles, view values,
// animation values, the overlay font and the table of pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "orvane.h"

// The program's pictures, indices 0 (background) and 1 (the model's skin).
// Not dimensioned until the start-up creates it: its highest index is then -1.
class TextureList {
public:
    void Dimension(int count) { entries_.assign(count > 0 ? count : 0, TextureEntry{}); }
    bool Dimensioned() const { return !entries_.empty(); }
    int HighIndex() const { return static_cast<int>(entries_.size()) - 1; }
    int Count() const { return static_cast<int>(entries_.size()); }
    TextureEntry* First() { return entries_.empty() ? nullptr : entries_.data(); }
    TextureEntry& operator[](int i) { return entries_.at(static_cast<std::size_t>(i)); }

private:
    std::vector<TextureEntry> entries_;
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
    std::string ResourceDir;  // program folder + "Resource\"
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
};

// All zero at process start.
extern SceneState Scene;

// The view values' start values; touches nothing else.
void ResetScene();
