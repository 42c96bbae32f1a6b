// The life of the process: start-up, single instance, message loop, shut-down.
#pragma once

#include <windows.h>

// Identifiers of the main window's children and its timer.
constexpr int kViewId = -1;
constexpr int kHelpLabelId = -102;
constexpr int kZoomTrackbarId = -103;
constexpr int kClockId = -104;
constexpr int kLogoId = -105;
constexpr int kZoomLabelId = -106;
constexpr int kAnimationTimerId = -107;

// Exit code when the view control's class cannot be registered.
constexpr int kNoViewClassExit = 99;

// The class, mutex and single-instance name.
inline constexpr char kInstanceName[] = "DEVAVOVAR";

// How long a second copy waits for the first copy's main window.
constexpr DWORD kHandOverWaitMs = 10000;
// Pause between two looks for the first copy's window.
constexpr DWORD kHandOverPauseMs = 5;

// The main procedure: returns the process exit code.
int ProgramMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// The process start: instance, show command, COM around ProgramMain, exit.
[[noreturn]] void ProcessStart();

// The instance handle ProgramMain was given (used for the children).
HINSTANCE ProgramInstance();
