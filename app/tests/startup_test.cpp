// The start-up, hand-over and shut-down orders, against the recording fakes.
#include <windows.h>
#include <commctrl.h>

#include "app_fixture.h"
#include "controls.h"
#include "main_window.h"
#include "keys.h"
#include "navigation.h"
#include "program.h"

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using fake::Hex;

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }
std::string Inst() { return Hex(Instance()); }

int RunFirstCopy(int showCommand = SW_SHOWNORMAL) {
    return ProgramMain(Instance(), nullptr, nullptr, showCommand);
}

class StartUp : public AppTest {};

TEST_F(StartUp, FirstCopyBuildsEverythingInOrderAndReleasesInOrder) {
    EXPECT_EQ(RunFirstCopy(), 0);
    const std::string rd(Scene.ResourceDir.view());
    ASSERT_FALSE(rd.empty());
    const std::string model = rd.substr(0, rd.size()) + "Sydney.md2";
    const std::vector<std::string> expected = {
        "CreateMutexA(0x0,0,\"DEVAVOVAR\")",
        "GetLastError()",
        "qInstance()",
        "GetClassInfoExA(" + Inst() + ",\"DEVAVOVAR\",48)",
        "LoadIconA(" + Inst() + ",\"PROGRAM\")",
        "LoadCursorA(0x0,#32512)",
        "RegisterClassExA(48,3," + Hex(reinterpret_cast<void*>(&MainWndProc)) + ",0,0," + Inst() +
            ",0x1c0,0xc0,0x0,null,\"DEVAVOVAR\",0x1c0)",
        "RegisterOrvaneClass()",
        "QI_LoadDLL(null)",
        "SetRect(0,0,668,532)",
        "AdjustWindowRectEx(0xcf0000,0,0x40100)",
        "GetSystemMetrics(0)",
        "GetSystemMetrics(1)",
        "QI_Version()",
        "SysFreeString()",
        "CreateWindowExA(0x40100,\"DEVAVOVAR\",\"Orvane control 1.0.0 - \"3D lighting\" demo\",0x6cf0000,178,127,"
        "676,559,0x0,0," + Inst() + ",0x0)",
        "CreateWindowExA(0x0,\"QOPENGLCTRL\",\"3D view\",0x50000000,10,10,512,512,0x100,-1," + Inst() + ",0x0)",
        "SetWindowLongA(0x200,-4," + Hex(reinterpret_cast<void*>(&ViewProc)) + ")",
        "QI_SetAnchorMode(0x200,5)",
        "SendMessageA(0x100,0x127,65539,0x0)",   // WM_CHANGEUISTATE: UIS_INITIALIZE, UISF_HIDEFOCUS
        // The trackbar's name for the accessibility layer, just before it.
        "CreateWindowExA(0x0,\"STATIC\",\"Zoom\",0x50000000,537,457,0,0,0x100,-106," + Inst() + ",0x0)",
        "QI_SetAnchorMode(0x400,9)",
        "CreateWindowExA(0x0,\"MSCTLS_TRACKBAR32\",\"Zoom\",0x50010001,537,457,120,16,0x100,-103," + Inst() + ",0x0)",
        "QI_SetAnchorMode(0x300,9)",
        "SendMessageA(0x300,0x415,0,0x1)",
        "SendMessageA(0x300,0x417,0,0x1)",
        "SendMessageA(0x300,0x414,1,0x0)",
        "SendMessageA(0x300,0x406,1,0x640001)",
        "SendMessageA(0x300,0x405,1,0x32)",
        "SetWindowLongA(0x300,-4," + Hex(reinterpret_cast<void*>(&ZoomBarProc)) + ")",
        "QI_CreateGLTextureFromFileEX(\"" + rd + "Background.jpg\",0)",
        "QI_CreateGLTextureFromFileEX(\"" + rd + "Sydney.png\",0)",
        "MD2_Load(1,\"" + model + "\",0,0,0)",
        "MD2_GetFrameCount(1)",
        "QI_GetGLDC(0x200)",
        "QI_BuildGLfont(0xdc0," + Hex(&Scene.OverlayFont) + ",\"Arial\",10,700)",
        "skInitEngine(\"Scarlet.sks\",null)",
        "skSkinWindow(0x100,\"Dock|Undock|Minimize|Maximize|Restore|Close\")",
        "GetWindowRect(0x200)",
        "ScreenToClient(0x100,110,120)",
        "skBorder(0x200,9,9,514,514,0,1)",
        "skClockCtrl(0x100,\"" + rd + "Clock_09_92.png\",550,10,0,0,-104,0x7fcb0000,0x7f8f8f8f,0)",
        "skSetAnchorCtrl(0xc10c,2)",
        "skCreateToolTip(0xc10c,\"Pelmar clock widget\")",
        "GetClientRect(0x100)",
        "CreateWindowExA(0x0,\"STATIC\",\"" + std::string(kHelpText) + "\",0x50800001,531,150,129,135,0x100,-102," +
            Inst() + ",0x0)",
        "skSkinChildCtrl(0x400,0)",
        "QI_SetAnchorMode(0x400,2)",
        "skARGB(200,255,255,255)",
        "skSetLabelFont(0x400,\"TREBUCHET MS\",15,0xc8ffffff,1)",
        "skStaticImage(0x100,\"" + rd + "Orvane.png\",533,350,124,45,-105)",
        "QI_SetAnchorMode(0x1060,9)",
        "ShowWindow(0x100,1)",
        "SetForegroundWindow(0x100)",
        "SetFocus(0x100)",
        "SetTimer(0x100,-107,0,0x0)",
        "GetMessageA(0x0,0,0)",
        "KillTimer(0x100,-107)",
        "MD2_Delete(1)",
        "QI_DestroyTexture(" + Hex(Scene.TextureTable.First()) + ",2)",
        "CloseHandle(0x4d)",
    };
    EXPECT_THAT(WithoutGL(), ElementsAreArray(expected));
    EXPECT_EQ(std::string(kHelpText).size(), 76u);
    EXPECT_EQ(Scene.MainWindow, reinterpret_cast<HWND>(0x100));
    EXPECT_EQ(Scene.GLView, reinterpret_cast<HWND>(0x200));
    EXPECT_EQ(Scene.OldViewProc, reinterpret_cast<WNDPROC>(0x7E57));
}

TEST_F(StartUp, MessageLoopDispatchesUntilQuitAndReturnsItsCode) {
    MSG timer{};
    timer.message = WM_TIMER;
    MSG key{};
    key.message = WM_KEYDOWN;
    fake::Win32().messages = {timer, key};
    fake::Win32().quitCode = 7;
    EXPECT_EQ(RunFirstCopy(), 7);
    EXPECT_THAT(Only({"GetMessageA", "TranslateMessage", "DispatchMessageA", "KillTimer"}),
                ElementsAreArray({"GetMessageA(0x0,0,0)", "TranslateMessage(0x113)", "DispatchMessageA(0x113)",
                                  "GetMessageA(0x0,0,0)", "TranslateMessage(0x100)", "DispatchMessageA(0x100)",
                                  "GetMessageA(0x0,0,0)", "KillTimer(0x100,-107)"}));
}

TEST_F(StartUp, ExistingClassIsNotRegisteredAgain) {
    fake::Win32().classExists = true;
    EXPECT_EQ(RunFirstCopy(), 0);
    EXPECT_EQ(Count("RegisterClassExA"), 0);
    EXPECT_EQ(Count("ShowWindow"), 1);
}

struct EarlyEnd {
    const char* name;
    void (*arrange)();
    int exitCode;
    std::vector<std::string> tail;   // names of the last calls, in order
    bool closesMutex;
};

class EarlyEnds : public AppTest, public ::testing::WithParamInterface<EarlyEnd> {};

TEST_P(EarlyEnds, StopAtTheRightPlaceWithTheRightCode) {
    GetParam().arrange();
    EXPECT_EQ(RunFirstCopy(), GetParam().exitCode);
    std::vector<std::string> names;
    for (const std::string& name : fake::Names())
        if (name.rfind("gl", 0) != 0) names.push_back(name);
    ASSERT_GE(names.size(), GetParam().tail.size());
    EXPECT_THAT(std::vector<std::string>(names.end() - static_cast<long>(GetParam().tail.size()), names.end()),
                ElementsAreArray(GetParam().tail));
    EXPECT_EQ(Count("CloseHandle"), GetParam().closesMutex ? 1 : 0);
    EXPECT_EQ(Count("ShowWindow") + Count("SetTimer") + Count("GetMessageA") + Count("KillTimer"), 0);
}

INSTANTIATE_TEST_SUITE_P(Failures, EarlyEnds, ::testing::Values(
    EarlyEnd{"ClassNotRegistered", [] { fake::Win32().atom = 0; }, 0, {"RegisterClassExA", "CloseHandle"}, true},
    EarlyEnd{"ViewClassNotRegistered", [] { fake::Set().registerResult = 0; }, 99, {"RegisterOrvaneClass"}, false},
    EarlyEnd{"NoMainWindow", [] { fake::Win32().windows.erase("DEVAVOVAR"); }, 0,
             {"CreateWindowExA", "CloseHandle"}, true},
    EarlyEnd{"SkinEngineFails", [] { fake::Set().initResult = 0; }, 0,
             {"skInitEngine", "MD2_Delete", "QI_DestroyTexture", "CloseHandle"}, true},
    EarlyEnd{"NoMutexIsNeverClosed", [] { fake::Win32().mutex = nullptr; fake::Set().initResult = 0; }, 0,
             {"skInitEngine", "MD2_Delete", "QI_DestroyTexture"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

class HandOver : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        fake::Win32().lastErrorAfterMutex = ERROR_ALREADY_EXISTS;
    }
};

TEST_F(HandOver, RestoresAMinimisedFirstCopyAndEnds) {
    fake::Win32().findWindow = {reinterpret_cast<HWND>(0x999)};
    fake::Win32().iconic = true;
    EXPECT_EQ(RunFirstCopy(), 0);
    EXPECT_THAT(fake::Texts(), ElementsAreArray({"CreateMutexA(0x0,0,\"DEVAVOVAR\")", "GetLastError()",
                                                 "FindWindowA(\"DEVAVOVAR\",null)", "IsIconic(0x999)",
                                                 "ShowWindow(0x999,9)", "SetForegroundWindow(0x999)"}));
}

TEST_F(HandOver, OnlyBringsForwardAWindowThatIsNotMinimised) {
    fake::Win32().findWindow = {reinterpret_cast<HWND>(0x999)};
    EXPECT_EQ(RunFirstCopy(), 0);
    EXPECT_EQ(Count("ShowWindow"), 0);
    EXPECT_EQ(Count("SetForegroundWindow"), 1);
    EXPECT_EQ(Count("CreateWindowExA"), 0);
}

TEST_F(HandOver, WaitsForTheFirstCopysWindowDroppingItsOwnMessages) {
    fake::Win32().findWindow = {nullptr, nullptr, reinterpret_cast<HWND>(0x999)};
    EXPECT_EQ(RunFirstCopy(), 0);
    // Between two looks it gives the processor back for a few milliseconds,
    // waking early for a message of its own queue.
    const std::string pause = "MsgWaitForMultipleObjects(0,0x0,0,5,0x4ff)";
    EXPECT_THAT(Only({"FindWindowA", "PeekMessageA", "CloseHandle", "OpenMutexA", "MsgWaitForMultipleObjects",
                      "SetForegroundWindow"}),
                ElementsAreArray(std::vector<std::string>{
                                  "FindWindowA(\"DEVAVOVAR\",null)", "PeekMessageA(0x0,0,0,1)", "CloseHandle(0x4d)",
                                  "OpenMutexA(0x100000,0,\"DEVAVOVAR\")", "CloseHandle(0x4e)", pause,
                                  "FindWindowA(\"DEVAVOVAR\",null)", "PeekMessageA(0x0,0,0,1)",
                                  "OpenMutexA(0x100000,0,\"DEVAVOVAR\")", "CloseHandle(0x4e)", pause,
                                  "FindWindowA(\"DEVAVOVAR\",null)", "SetForegroundWindow(0x999)"}));
}

TEST_F(HandOver, EndsWhenTheFirstCopyIsGone) {
    fake::Win32().mutexProbes = 2;
    EXPECT_EQ(RunFirstCopy(), 0);
    EXPECT_EQ(Count("FindWindowA"), 3);
    EXPECT_EQ(Count("SetForegroundWindow"), 0);
}

TEST_F(HandOver, EndsAfterItsTimeBound) {
    fake::Win32().tickStep = 1000;
    EXPECT_EQ(RunFirstCopy(), 0);
    EXPECT_GE(Count("FindWindowA"), 5);
    EXPECT_LE(Count("FindWindowA"), 12);
    EXPECT_EQ(Count("CreateWindowExA"), 0);
}

class ProcessStartTest : public AppTest {};

TEST_F(ProcessStartTest, WrapsTheMainProcedureInComAndExitsWithItsResult) {
    fake::Win32().startupFlags = STARTF_USESHOWWINDOW;
    fake::Win32().startupShow = SW_SHOWMINIMIZED;
    fake::Win32().quitCode = 5;
    try {
        ProcessStart();
        FAIL() << "ProcessStart returned";
    } catch (const fake::ProcessExit& exit) {
        EXPECT_EQ(exit.code, 5u);
    }
    const auto log = WithoutGL();
    EXPECT_EQ(log.front(), "GetModuleHandleA(null)");
    EXPECT_EQ(log[1], "GetStartupInfoA(68)");
    EXPECT_EQ(log[2], "CoInitialize(0x0)");
    EXPECT_EQ(log[3], "CreateMutexA(0x0,0,\"DEVAVOVAR\")");
    EXPECT_THAT(std::vector<std::string>(log.end() - 3, log.end()),
                ElementsAreArray({"CloseHandle(0x4d)", "CoUninitialize()", "ExitProcess(5)"}));
    EXPECT_THAT(Only({"ShowWindow"}), ElementsAreArray({"ShowWindow(0x100,2)"}));
}

TEST_F(ProcessStartTest, ShowsWithTheDefaultCommandWhenTheStartupInfoGivesNone) {
    fake::Win32().startupShow = SW_SHOWMINIMIZED;   // ignored without STARTF_USESHOWWINDOW
    EXPECT_THROW(ProcessStart(), fake::ProcessExit);
    EXPECT_THAT(Only({"ShowWindow"}), ElementsAreArray({"ShowWindow(0x100,10)"}));
}

TEST_F(StartUp, MainWindowIsCentredForScreenAndFrame) {
    struct { int screenW, screenH, frame, caption, x, y; } cases[] = {
        {1024, 768, 4, 19, 178, 127}, {800, 600, 8, 30, 66, 49}, {600, 400, 4, 19, 0, 0}, {668, 900, 0, 0, 0, 184},
    };
    for (const auto& c : cases) {
        fake::Reset();
        fake::Win32().screenWidth = c.screenW;
        fake::Win32().screenHeight = c.screenH;
        fake::Win32().frame = c.frame;
        fake::Win32().caption = c.caption;
        RunFirstCopy();
        const auto windows = Only({"CreateWindowExA"});
        ASSERT_FALSE(windows.empty());
        const std::string place = "," + std::to_string(c.x) + "," + std::to_string(c.y) + "," +
                                  std::to_string(668 + 2 * c.frame) + "," + std::to_string(532 + 2 * c.frame + c.caption) + ",";
        EXPECT_NE(windows.front().find(place), std::string::npos) << windows.front() << " wants " << place;
    }
}

TEST_F(StartUp, LongVersionTextCutsTheTitleAt259Characters) {
    fake::Set().version = std::wstring(400, L'7');
    RunFirstCopy();
    const auto windows = Only({"CreateWindowExA"});
    const std::string expected = "\"Orvane control " + std::string(259 - 15, '7') + "\"";
    EXPECT_NE(windows.front().find(expected), std::string::npos);
}

}  // namespace
