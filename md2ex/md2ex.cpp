// md2ex.dll: MD2 models in numbered slots, drawn with OpenGL 1.1 vertex
// arrays. All calls come from the thread whose GL context is current; no
// exception leaves an exported call.
#include "md2ex.h"
#include "draw.h"
#include "model.h"
#include "trace.h"

#include <memory>
#include <new>
#include <vector>

namespace {

// A file within the format's limits is a few megabytes; anything much
// larger is not a model and is not read into memory.
constexpr LONGLONG kMaxFileBytes = 32 * 1024 * 1024;

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

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = false;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxFileBytes) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        ok = true;
        while (ok && done < bytes.size()) {
            DWORD got = 0;
            ok = ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                          nullptr) && got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    return ok;
}

}  // namespace

extern "C" {

int32_t WINAPI MD2_Load(int32_t slot, const char* path, uint32_t texture, int32_t width,
                        int32_t height) {
    std::unique_ptr<Slot>* target = Find(slot);
    if (target == nullptr) return 0;
    target->reset();  // replaced, or left empty if the new file fails
    if (path == nullptr) return 0;
    orvane_trace::Step step("md2ex", "MD2_Load");
    try {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(path, bytes)) return 0;
        auto loaded = std::make_unique<Slot>();
        if (md2::Load(bytes.data(), bytes.size(), width, height, loaded->model) != md2::Error::None)
            return 0;
        loaded->texture = texture;
        loaded->buffers.Size(loaded->model);
        *target = std::move(loaded);
        return 1;
    } catch (...) {  // out of memory: the slot stays empty
        return 0;
    }
}

int32_t WINAPI MD2_GetFrameCount(int32_t slot) {
    const std::unique_ptr<Slot>* found = Find(slot);
    return found && *found ? (*found)->model.frameCount : 0;
}

int32_t WINAPI MD2_Draw(int32_t slot, float frame) {
    const std::unique_ptr<Slot>* found = Find(slot);
    if (found == nullptr || !*found) return 0;
    Slot& s = **found;
    md2::Draw(s.model, s.texture, frame, s.buffers, true);
    return 1;
}

int32_t WINAPI MD2_Delete(int32_t slot) {
    std::unique_ptr<Slot>* found = Find(slot);
    if (found == nullptr || !*found) return 0;
    found->reset();
    return 1;
}

}  // extern "C"
