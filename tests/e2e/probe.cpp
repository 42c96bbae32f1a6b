// Looks at and acts on the running program from inside its Wine desktop, for
// the whole-program tests. Prints plain "key value" lines.
//   probe window              the main window, its client area and children
//   probe minimize | restore | close | foreground
//   probe usage               GDI/USER objects, working set, CPU time of the program
//   probe objects <dll>       GDI objects and windows counted inside the program by
//                             loading <dll> (gdi_count.dll) into it for a moment
//   probe dpichanged <dpi> <left> <top> <right> <bottom>
//                             sends the program's main window WM_DPICHANGED with
//                             that suggested rectangle (as the system does when it
//                             moves to a display of another scale)
//   probe focus               the child with the program's keyboard focus and the
//                             trackbar's position
//   probe names               the accessible names of the view and the trackbar, and
//                             the window before the trackbar in the z-order
//   probe first <delay ms> <run ms>
//                             acts as a first copy that makes its window late,
//                             after a second copy has started
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kName[] = "DEVAVOVAR";

HWND MainWindow() { return FindWindowA(kName, nullptr); }

BOOL CALLBACK PrintChild(HWND child, LPARAM parentParam) {
    HWND parent = reinterpret_cast<HWND>(parentParam);
    if (GetParent(child) != parent) return TRUE;
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("child %s %d 0x%08lx %ld %ld %ld %ld %d\n", className, GetDlgCtrlID(child),
                static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)), rect.left, rect.top,
                rect.right - rect.left, rect.bottom - rect.top, IsWindowVisible(child) ? 1 : 0);
    return TRUE;
}

int Window() {
    HWND window = MainWindow();
    if (!window) {
        std::printf("found 0\n");
        return 1;
    }
    char title[300] = {};
    GetWindowTextA(window, title, sizeof title);
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::printf("found 1\ntitle %s\n", title);
    std::printf("visible %d\niconic %d\nforeground %d\n", IsWindowVisible(window) ? 1 : 0, IsIconic(window) ? 1 : 0,
                GetForegroundWindow() == window ? 1 : 0);
    std::printf("frame %ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
    std::printf("client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(window));
    return 0;
}

int Usage() {
    HWND window = MainWindow();
    DWORD pid = 0;
    if (!window || !GetWindowThreadProcessId(window, &pid)) return 1;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto ms = [](FILETIME t) {
        return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000ull;
    };
    std::printf("gdi %lu\nuser %lu\nworkingset %lu\ncpu_ms %llu\n", GetGuiResources(process, GR_GDIOBJECTS),
                GetGuiResources(process, GR_USEROBJECTS), static_cast<unsigned long>(memory.WorkingSetSize),
                ms(kernel) + ms(user));
    CloseHandle(process);
    return 0;
}

// Loads the counting DLL into the program, which writes its counts beside
// the DLL, unloads it again and prints the counts.
int Objects(const char* dll) {
    HWND window = MainWindow();
    DWORD pid = 0;
    if (!window || !GetWindowThreadProcessId(window, &pid)) return 1;
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (!process) return 1;
    char path[MAX_PATH] = {};
    GetFullPathNameA(dll, MAX_PATH, path, nullptr);
    const SIZE_T size = std::strlen(path) + 1;
    void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process, remote, path, size, nullptr);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto run = [&](const char* function, void* argument) {
        auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            reinterpret_cast<void*>(GetProcAddress(kernel, function)));
        HANDLE thread = CreateRemoteThread(process, nullptr, 0, start, argument, 0, nullptr);
        DWORD result = 0;
        if (thread) {
            WaitForSingleObject(thread, 10000);
            GetExitCodeThread(thread, &result);
            CloseHandle(thread);
        }
        return result;
    };
    const DWORD module = run("LoadLibraryA", remote);
    if (module) run("FreeLibrary", reinterpret_cast<void*>(static_cast<UINT_PTR>(module)));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    std::strcpy(path + std::strlen(path) - 4, ".txt");
    FILE* in = std::fopen(path, "r");
    if (!in) return 1;
    char line[64];
    while (std::fgets(line, sizeof line, in)) std::fputs(line, stdout);
    std::fclose(in);
    return 0;
}

// The suggested rectangle is written into the program's memory, where
// lParam points.
int DpiChanged(int dpi, const RECT& suggested) {
    HWND window = MainWindow();
    DWORD pid = 0;
    if (!window || !GetWindowThreadProcessId(window, &pid)) return 1;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 1;
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
    int result = 1;
    if (remote && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
        DWORD_PTR answer = 0;
        result = SendMessageTimeoutA(window, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                     SMTO_NORMAL, 10000, &answer)
                     ? 0
                     : 1;
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return result;
}

// Asked of the program's own thread: where its keyboard focus is.
int Focus() {
    HWND window = MainWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!window || !GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return 1;
    std::printf("focus %d\n", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    std::printf("zoompos %ld\n", static_cast<long>(SendMessageA(GetDlgItem(window, -103), TBM_GETPOS, 0, 0)));
    return 0;
}

// What a screen reader reads, through the system's accessibility interface.
void PrintName(HWND child) {
    IAccessible* accessible = nullptr;
    BSTR name = nullptr;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    if (SUCCEEDED(AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                             reinterpret_cast<void**>(&accessible))) &&
        SUCCEEDED(accessible->get_accName(self, &name)) && name) {
        std::printf("name %d %ls\n", GetDlgCtrlID(child), name);
    } else {
        std::printf("name %d\n", GetDlgCtrlID(child));
    }
    SysFreeString(name);
    if (accessible) accessible->Release();
}

int Names() {
    HWND window = MainWindow();
    if (!window) return 1;
    CoInitialize(nullptr);
    HWND bar = GetDlgItem(window, -103);
    PrintName(GetDlgItem(window, -1));
    PrintName(bar);
    // Windows names a slider from the static text just before it.
    HWND before = GetWindow(bar, GW_HWNDPREV);
    char className[32] = {}, text[64] = {};
    GetClassNameA(before, className, sizeof className);
    GetWindowTextA(before, text, sizeof text);
    std::printf("before %s %d %s\n", className, IsWindowVisible(before) ? 1 : 0, text);
    CoUninitialize();
    return 0;
}

// True once a process of the given file name runs.
bool Running(const char* exe) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, exe) == 0;
    CloseHandle(snapshot);
    return found;
}

// A first copy that holds the mutex at once but makes its window, minimised,
// only once a second copy of the program runs and delayMs more have passed;
// it reports whether the window was made so and whether it got restored.
int First(DWORD delayMs, DWORD runMs) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kName);
    std::printf("mutex %d\n", mutex ? 1 : 0);
    std::fflush(stdout);
    bool second = false;
    for (int i = 0; i < 600 && !second; ++i) {
        second = Running("orvane_demo.exe");
        if (!second) Sleep(50);
    }
    Sleep(delayMs);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kName;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, kName, "some other title", WS_OVERLAPPEDWINDOW | WS_MINIMIZE | WS_VISIBLE, 50,
                                  50, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    const bool made = window && second && Running("orvane_demo.exe");
    const DWORD start = GetTickCount();
    bool foreground = false;
    while (GetTickCount() - start < runMs) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        foreground = foreground || GetForegroundWindow() == window;
        Sleep(10);
    }
    std::printf("made %d\nrestored %d\nforeground %d\n", made ? 1 : 0, window && !IsIconic(window) ? 1 : 0,
                foreground ? 1 : 0);
    DestroyWindow(window);
    CloseHandle(mutex);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const char* command = argv[1];
    if (!std::strcmp(command, "window")) return Window();
    if (!std::strcmp(command, "usage")) return Usage();
    if (!std::strcmp(command, "focus")) return Focus();
    if (!std::strcmp(command, "names")) return Names();
    if (!std::strcmp(command, "objects") && argc >= 3) return Objects(argv[2]);
    if (!std::strcmp(command, "dpichanged") && argc >= 7)
        return DpiChanged(std::atoi(argv[2]), {std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                                               std::atoi(argv[6])});
    if (!std::strcmp(command, "first") && argc >= 4) return First(std::atoi(argv[2]), std::atoi(argv[3]));
    HWND window = MainWindow();
    if (!window) return 1;
    if (!std::strcmp(command, "minimize")) return ShowWindow(window, SW_MINIMIZE), 0;
    if (!std::strcmp(command, "restore")) return ShowWindow(window, SW_RESTORE), 0;
    if (!std::strcmp(command, "close")) return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (!std::strcmp(command, "foreground")) return std::printf("%d\n", GetForegroundWindow() == window), 0;
    return 2;
}
