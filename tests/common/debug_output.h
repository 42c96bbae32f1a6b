// Captures what this process writes with OutputDebugStringA while an object
// lives, the way a debug-output viewer does: it owns the shared buffer and
// the two events of the debug-output protocol (DBWIN_BUFFER,
// DBWIN_BUFFER_READY, DBWIN_DATA_READY) and a thread that reads each string.
// The objects are the session's: captures of several processes take turns
// through a named mutex, so that no other reader takes their strings. Under
// a debugger the strings go to the debugger instead.
#pragma once

#include <windows.h>

#include <string.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class DebugOutput {
public:
    DebugOutput() {
        turn_ = CreateMutexA(nullptr, FALSE, "DebugOutputCaptureTurn");
        if (!turn_ || WaitForSingleObject(turn_, 60000) == WAIT_TIMEOUT) return;
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize, "DBWIN_BUFFER");
        bufferReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
        dataReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        view_ = mapping_ ? static_cast<const char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, kSize)) : nullptr;
        if (view_ && bufferReady_ && dataReady_ && stop_) reader_ = std::thread([this] { Read(); });
    }
    ~DebugOutput() {
        if (stop_) SetEvent(stop_);
        if (reader_.joinable()) reader_.join();
        if (view_) UnmapViewOfFile(view_);
        for (HANDLE h : {mapping_, bufferReady_, dataReady_, stop_})
            if (h) CloseHandle(h);
        if (turn_) {
            ReleaseMutex(turn_);
            CloseHandle(turn_);
        }
    }
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    bool Ready() const { return reader_.joinable(); }

    // The lines this process wrote so far, without their line feeds. Writes
    // a marker line first and waits until it arrives, so every line written
    // before the call is in.
    std::vector<std::string> Lines() {
        const std::string marker = "debug-output-mark " + std::to_string(++marks_);
        OutputDebugStringA(marker.c_str());
        for (int tries = 0; tries < 400; ++tries) {
            {
                std::lock_guard<std::mutex> hold(lock_);
                for (auto at = lines_.begin(); at != lines_.end(); ++at)
                    if (*at == marker) {
                        lines_.erase(at);
                        return lines_;
                    }
            }
            Sleep(5);
        }
        std::lock_guard<std::mutex> hold(lock_);
        return lines_;
    }

    // The received lines that start with prefix.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) {
        std::vector<std::string> found;
        for (const std::string& line : Lines())
            if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
        return found;
    }

private:
    static constexpr DWORD kSize = 4096;   // a process id, then the text

    void Read() {
        const HANDLE wait[2] = {dataReady_, stop_};
        for (;;) {
            SetEvent(bufferReady_);
            if (WaitForMultipleObjects(2, wait, FALSE, INFINITE) != WAIT_OBJECT_0) return;
            if (*reinterpret_cast<const DWORD*>(view_) != GetCurrentProcessId()) continue;
            std::string line(view_ + sizeof(DWORD), strnlen(view_ + sizeof(DWORD), kSize - sizeof(DWORD)));
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            std::lock_guard<std::mutex> hold(lock_);
            lines_.push_back(std::move(line));
        }
    }

    HANDLE turn_ = nullptr, mapping_ = nullptr, bufferReady_ = nullptr, dataReady_ = nullptr, stop_ = nullptr;
    const char* view_ = nullptr;
    std::thread reader_;
    std::mutex lock_;
    std::vector<std::string> lines_;
    int marks_ = 0;
};
