// The memory of thrown exceptions, for every module that links this
// library: the linker is told to take __cxa_allocate_exception from here
// (see CMakeLists.txt).
//
// The toolchain's runtime takes an exception's memory from the heap and,
// when the heap has none, from a reserve behind a lock that is itself made
// on the heap the first time it is taken. When memory has run out for good,
// making that lock fails, which throws, which needs the reserve again, until
// the stack overflows: the first std::bad_alloc ends the process. Here the
// reserve is a few blocks in static storage, claimed and given back without
// a lock, so an exception can be thrown as long as one block is free. As
// with the toolchain's, an exception that finds no memory at all ends the
// process (std::terminate).
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>

#if defined(__GLIBCXX__)

namespace {

// What the runtime puts before a thrown object (its reference count and
// unwinding record), and the size of the record that std::rethrow_exception
// throws, as the toolchain lays them out for 32-bit x86 and for x64 (whose
// unwinding record is the larger one of Windows' structured exceptions).
constexpr std::size_t kHeader = sizeof(void*) == 8 ? 0xa0 : 0x60;
constexpr std::size_t kDependent = sizeof(void*) == 8 ? 0x90 : 0x50;

constexpr std::size_t kBlock = 512;
constexpr int kBlocks = 16;
alignas(16) unsigned char g_reserve[kBlocks][kBlock];
volatile LONG g_taken = 0;   // one bit a block

void* Take(std::size_t size) {
    if (size > kBlock) return nullptr;
    for (;;) {
        const LONG taken = g_taken;
        int free = 0;
        while (free < kBlocks && (taken & (1L << free))) ++free;
        if (free == kBlocks) return nullptr;
        if (InterlockedCompareExchange(&g_taken, taken | (1L << free), taken) == taken) return g_reserve[free];
    }
}

// Gives a block back to the reserve; false when it came from the heap.
bool GiveBack(void* block) {
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    const auto first = reinterpret_cast<std::uintptr_t>(g_reserve);
    if (at < first || at >= first + sizeof g_reserve) return false;
    InterlockedAnd(&g_taken, ~(1L << ((at - first) / kBlock)));
    return true;
}

// size bytes from the heap or the reserve, the first `zeroed` of them zero.
void* Allocate(std::size_t size, std::size_t zeroed) {
    void* block = std::malloc(size);
    if (!block) block = Take(size);
    if (!block) std::terminate();
    std::memset(block, 0, zeroed);
    return block;
}

void Free(void* block) {
    if (!GiveBack(block)) std::free(block);
}

}  // namespace

extern "C" {

void* __cxa_allocate_exception(std::size_t size) noexcept {
    if (size > SIZE_MAX - kHeader) std::terminate();
    return static_cast<unsigned char*>(Allocate(size + kHeader, kHeader)) + kHeader;
}

void __cxa_free_exception(void* object) noexcept { Free(static_cast<unsigned char*>(object) - kHeader); }

void* __cxa_allocate_dependent_exception() noexcept { return Allocate(kDependent, kDependent); }

void __cxa_free_dependent_exception(void* record) noexcept { Free(record); }

}  // extern "C"

#endif
