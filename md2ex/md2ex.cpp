// md2ex.dll: MD2 models in numbered slots, drawn with OpenGL 1.1 vertex
// arrays. The slots are the process's; the calls take no lock (see
// md2ex.h). A model that memory cannot hold leaves its slot empty.
#include "md2ex.h"
#include "diagnostics.h"
#include "draw.h"
#include "helpers.h"
#include "model.h"
#include "owned.h"
#include "trace.h"

#include <utility>

namespace {

// A file within the format's limits is a few megabytes; anything much
// larger is not a model and is not read into memory.
constexpr std::size_t kMaxFileBytes = 32 * 1024 * 1024;

struct Slot {
    md2::Model model;
    GLuint texture = 0;
    md2::DrawBuffers buffers;  // reused by every draw
};

memory::Owned<Slot> g_slots[MD2_MAX_SLOTS];

memory::Owned<Slot>* Find(int32_t slot) {
    if (slot < 1 || slot > MD2_MAX_SLOTS) return nullptr;
    return &g_slots[slot - 1];
}

}  // namespace

extern "C" {

int32_t WINAPI MD2_LoadW(int32_t slot, const wchar_t* path, uint32_t texture, int32_t width, int32_t height) {
    memory::Owned<Slot>* target = Find(slot);
    if (target == nullptr) return 0;
    target->reset();  // replaced, or left empty if the new file fails
    if (path == nullptr) return 0;
    orvane_trace::Step step("md2ex", "MD2_Load");
    const auto named = [path] { return win32::PathForReport(path); };
    memory::Buffer<std::uint8_t> bytes;
    if (const auto read = win32::ReadWholeFile(path, kMaxFileBytes, bytes); read != win32::ReadResult::Ok) {
        md2ex::Report(md2ex::kModelUnreadable, named().c_str(), win32::ReadResultName(read));
        return 0;
    }
    memory::Owned<Slot> loaded = memory::MakeOwned<Slot>();
    md2::Error error = md2::Error::OutOfMemory;
    if (loaded) error = md2::Load(bytes.data(), bytes.size(), width, height, loaded->model);
    if (error == md2::Error::None && !loaded->buffers.Size(loaded->model)) error = md2::Error::OutOfMemory;
    if (error == md2::Error::OutOfMemory) {   // a file that could be read, but not held
        md2ex::Report(md2ex::kModelUnreadable, named().c_str(), md2::ErrorName(error));
        return 0;
    }
    if (error != md2::Error::None) {
        md2ex::Report(md2ex::kModelRefused, named().c_str(), md2::ErrorName(error));
        return 0;
    }
    loaded->texture = texture;
    *target = std::move(loaded);
    return 1;
}

int32_t WINAPI MD2_Load(int32_t slot, const char* path, uint32_t texture, int32_t width, int32_t height) {
    // Memory short for the wide path: the slot is emptied as for a null path.
    memory::Buffer<wchar_t> wide;
    return MD2_LoadW(slot, win32::AnsiToWide(path, wide, "md2ex", __func__), texture, width, height);
}

int32_t WINAPI MD2_GetFrameCount(int32_t slot) {
    const memory::Owned<Slot>* found = Find(slot);
    return found && *found ? (*found)->model.frameCount : 0;
}

int32_t WINAPI MD2_Draw(int32_t slot, float frame) {
    const memory::Owned<Slot>* found = Find(slot);
    if (found == nullptr || !*found) return 0;
    if (!win32::gl::Load() || !wglGetCurrentContext()) return 0;   // nowhere to draw
    Slot& s = **found;
    md2::Draw(s.model, s.texture, frame, s.buffers, true);
    return 1;
}

int32_t WINAPI MD2_Delete(int32_t slot) {
    memory::Owned<Slot>* found = Find(slot);
    if (found == nullptr || !*found) return 0;
    found->reset();
    return 1;
}

}  // extern "C"
