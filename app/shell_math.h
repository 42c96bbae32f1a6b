// Platform-neutral arithmetic of the application shell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Left (or top) of a window centred on a screen axis: the screen size minus
// both edges of the window's adjusted rectangle (the near edge is negative
// by the frame thickness), halved toward zero and never below 0.
int CentredOrigin(int screenSize, int nearEdge, int farEdge);

// Whether the animation may step: the tick count has passed NextStepTick.
// Judged on the unsigned time since the last step (NextStepTick - 30), so it
// holds across tick counts past 2^31 and the wrap at 2^32.
bool StepDue(std::uint32_t now, std::int32_t nextStepTick);

// The main window's title around the view library's version text, written
// into a fixed buffer of size bytes (cut to size - 1 characters), so that no
// memory is needed for it.
void MainWindowTitle(char* buffer, std::size_t size, std::string_view version);

// Copies text into a fixed buffer of size bytes: at most size - 1 characters
// and a terminating zero. A null text counts as empty.
void CopyText(char* buffer, std::size_t size, const char* text);
