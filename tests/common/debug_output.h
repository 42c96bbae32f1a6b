// Reads this process's debug output (OutputDebugStringA) while a Capture
// lives, the way a debug-output viewer does: it makes the shared buffer and
// the two events writers look for (DBWIN_BUFFER, DBWIN_BUFFER_READY,
// DBWIN_DATA_READY) and a reader thread that takes each string in turn.
// Strings of other processes are passed over. Only one capture runs at a time
// on the machine (a named mutex), since two readers would take each other's
// strings.
#pragma once

#include <windows.h>

#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace debug_output {

class Capture {
public:
    Capture() {
        exclusive_ = CreateMutexA(nullptr, FALSE, "OrvaneTestDebugOutputCapture");
        if (!exclusive_) return;
        const DWORD waited = WaitForSingleObject(exclusive_, 60000);
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return;
        owned_ = true;
        bufferReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
        dataReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize, "DBWIN_BUFFER");
        if (mapping_) view_ = static_cast<const char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, kSize));
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!bufferReady_ || !dataReady_ || !view_ || !stop_) return;
        reader_ = std::thread([this] { Read(); });
        SetEvent(bufferReady_);
    }

    ~Capture() {
        if (reader_.joinable()) {
            SetEvent(stop_);
            reader_.join();
        }
        if (view_) UnmapViewOfFile(view_);
        for (HANDLE h : {mapping_, dataReady_, bufferReady_, stop_})
            if (h) CloseHandle(h);
        if (owned_) ReleaseMutex(exclusive_);
        if (exclusive_) CloseHandle(exclusive_);
    }

    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    bool Ok() const { return reader_.joinable(); }

    // Every string this process wrote since the capture began, up to this
    // call (each without its line end).
    std::vector<std::string> Lines() {
        // A marker written now comes after everything written before it.
        const std::string marker = "debug-output-capture-mark " + std::to_string(++marks_);
        OutputDebugStringA(marker.c_str());
        for (int i = 0; i < 500; ++i) {
            {
                std::lock_guard<std::mutex> hold(lock_);
                for (std::size_t n = 0; n < lines_.size(); ++n) {
                    if (lines_[n] != marker) continue;
                    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(n));
                    return lines_;
                }
            }
            Sleep(10);
        }
        std::lock_guard<std::mutex> hold(lock_);
        return lines_;
    }

private:
    static constexpr DWORD kSize = 4096;

    void Read() {
        const HANDLE waits[] = {dataReady_, stop_};
        while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            DWORD pid = 0;
            std::memcpy(&pid, view_, sizeof pid);
            if (pid == GetCurrentProcessId()) {
                std::string text(view_ + sizeof pid, strnlen(view_ + sizeof pid, kSize - sizeof pid));
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
                std::lock_guard<std::mutex> hold(lock_);
                lines_.push_back(text);
            }
            SetEvent(bufferReady_);
        }
    }

    HANDLE exclusive_ = nullptr;
    bool owned_ = false;
    HANDLE bufferReady_ = nullptr, dataReady_ = nullptr, mapping_ = nullptr, stop_ = nullptr;
    const char* view_ = nullptr;
    std::thread reader_;
    std::mutex lock_;
    std::vector<std::string> lines_;
    int marks_ = 0;
};

}  // namespace debug_output
