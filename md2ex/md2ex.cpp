// md2ex.dll: MD2 models in numbered slots, drawn with OpenGL 1.1 vertex
// arrays. The slots are the process's; the calls take no lock (see
// md2ex.h). No exception leaves an exported call.
#include "md2ex.h"
#include "boundary.h"
#include "diagnostics.h"
#include "draw.h"
#include "helpers.h"
#include "model.h"
#include "trace.h"

#include <memory>
#include <vector>

namespace {

// A file within the format's limits is a few megabytes; anything much
// larger is not a model and is not read into memory.
constexpr std::size_t kMaxFileBytes = 32 * 1024 * 1024;

struct Slot {
    md2::Model model;
    GLuint texture = 0;
    md2::DrawBuffers buffers;  // reused by every draw
};

std::unique_ptr<Slot> g_slots[MD2_MAX_SLOTS];

std::unique_ptr<Slot>* Find(int32_t slot) {
    if (slot < 1 || slot > MD2_MAX_SLOTS) return nullptr;
    return &g_slots[slot - 1];
}

}  // namespace

extern "C" {

int32_t WINAPI MD2_Load(int32_t slot, const char* path, uint32_t texture, int32_t width, int32_t height) {
    return win32::Guard("md2ex", __func__, 0, [&] {
        std::unique_ptr<Slot>* target = Find(slot);
        if (target == nullptr) return 0;
        target->reset();  // replaced, or left empty if the new file fails
        if (path == nullptr) return 0;
        orvane_trace::Step step("md2ex", "MD2_Load");
        try {
            std::vector<std::uint8_t> bytes;
            if (const auto read = win32::ReadWholeFile(path, kMaxFileBytes, bytes); read != win32::ReadResult::Ok) {
                md2ex::Report(md2ex::kModelUnreadable, path, win32::ReadResultName(read));
                return 0;
            }
            auto loaded = std::make_unique<Slot>();
            if (const md2::Error error = md2::Load(bytes.data(), bytes.size(), width, height, loaded->model);
                error != md2::Error::None) {
                md2ex::Report(md2ex::kModelRefused, path, md2::ErrorName(error));
                return 0;
            }
            loaded->texture = texture;
            loaded->buffers.Size(loaded->model);
            *target = std::move(loaded);
            return 1;
        } catch (...) {  // out of memory: the slot stays empty
            md2ex::Report(md2ex::kModelUnreadable, path, "out of memory");
            return 0;
        }
    });
}

int32_t WINAPI MD2_GetFrameCount(int32_t slot) {
    return win32::Guard("md2ex", __func__, 0, [&] {
        const std::unique_ptr<Slot>* found = Find(slot);
        return found && *found ? (*found)->model.frameCount : 0;
    });
}

int32_t WINAPI MD2_Draw(int32_t slot, float frame) {
    return win32::Guard("md2ex", __func__, 0, [&] {
        const std::unique_ptr<Slot>* found = Find(slot);
        if (found == nullptr || !*found) return 0;
        if (!wglGetCurrentContext()) return 0;   // nowhere to draw
        Slot& s = **found;
        md2::Draw(s.model, s.texture, frame, s.buffers, true);
        return 1;
    });
}

int32_t WINAPI MD2_Delete(int32_t slot) {
    return win32::Guard("md2ex", __func__, 0, [&] {
        std::unique_ptr<Slot>* found = Find(slot);
        if (found == nullptr || !*found) return 0;
        found->reset();
        return 1;
    });
}

}  // extern "C"
