// Stand-in for md2ex.dll: records every call.
#include "md2ex.h"
#include "recorder.h"

#include <string>

using fake::Quote;
using fake::Record;
using fake::Set;
using std::to_string;

extern "C" {

int32_t WINAPI MD2_Load(int32_t slot, const char* path, uint32_t texture, int32_t width, int32_t height) {
    Record("MD2_Load", {to_string(slot), Quote(path), to_string(texture), to_string(width), to_string(height)});
    return 1;
}

int32_t WINAPI MD2_GetFrameCount(int32_t slot) {
    Record("MD2_GetFrameCount", {to_string(slot)});
    const auto found = Set().frameCounts.find(slot);
    return found == Set().frameCounts.end() ? 0 : found->second;
}

int32_t WINAPI MD2_Draw(int32_t slot, float frame) {
    Record("MD2_Draw", {to_string(slot), fake::NumF(frame)});
    return 1;
}

int32_t WINAPI MD2_Delete(int32_t slot) {
    Record("MD2_Delete", {to_string(slot)});
    return 1;
}

}  // extern "C"
