// libFuzzer target: any bytes give an orientation of 1 to 8 and a status
// that agrees with it (the sanitizers watch every read).
#include "exif.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const exif::Orientation o = exif::JpegOrientation(data, size);
    if (o.value < 1 || o.value > 8 || (o.status != exif::Status::Found && o.value != 1)) std::abort();
    return 0;
}
