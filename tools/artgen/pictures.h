// The flat pictures: background, clock face, logo and the program icon.
#pragma once

#include <vector>

#include "image.h"
#include "text.h"

namespace art {

Image Background();                  // 1024 x 512
Image ClockFace(const Font& bold);   // 92 x 92
Image Logo(const Font& bold);        // 124 x 45
std::vector<unsigned char> ProgramIcon();  // .ico file: one 32 x 32, 16-colour image

}  // namespace art
