// The real Verselume.scr under Wine: its modes, its window, what closes it and what does not,
// the password-change call and the Windows 95-family password check, with stand-ins for the
// password components, and the libraries it loads, none of them from beside it.

#include "support/files.h"
#include "support/help_server_stand_in.h"
#include "support/pixels.h"
#include "support/registry.h"
#include "support/installed.h"
#include "support/saver_process.h"
#include "support/system_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char PasswordDialogTitle[] = "VerifyScreenSavePwd";

std::string Number(HWND window) {
    return std::to_string(reinterpret_cast<UINT_PTR>(window));
}

// A visible top-level window of the test process: a preview parent or a password owner.
HWND MakeOwnWindow() {
    HWND window = MakeTestWindow("VerselumeTestWindow", DefWindowProcA, 100, 100, 400, 300);
    PumpUntil([] { return true; });
    return window;
}

// The number of a window that existed once and is gone.
std::string StaleWindowNumber() {
    HWND gone = MakeOwnWindow();
    std::string number = Number(gone);
    DestroyWindow(gone);
    EXPECT_FALSE(IsWindow(gone));
    return number;
}

void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
}

void ClickLeftButton() {
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1] = input[0];
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, input, sizeof(INPUT)), 2u);
}

// Pumps until the process ends, cancelling any dialog it shows meanwhile (the configuration
// dialog and its error boxes, once they exist).
DWORD CancelDialogsUntilExit(SaverProcess& saver) {
    PumpUntil([&] {
        if (HWND dialog = saver.WaitForDialog(nullptr, 0)) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return !saver.Running();
    });
    return saver.WaitForExit();
}

// A copy of the program in a scratch folder, with stand-ins for the components it loads in the
// system folder, where it takes them from; they log to a file of the scratch folder.
struct Installation {
    ScratchDir dir;
    std::string program = dir.File("Verselume.scr");
    std::string log = dir.File("stand-in.log");
    ScopedEnvironment logName{"VERSELUME_STAND_IN_LOG", log};
    std::vector<std::unique_ptr<SystemLibraryStandIn>> standIns;

    explicit Installation(std::initializer_list<std::pair<const char*, const char*>> libraries) {
        EXPECT_TRUE(CopyFileA(BuiltSaverPath().c_str(), program.c_str(), FALSE));
        for (const auto& [source, name] : libraries) {
            standIns.push_back(std::make_unique<SystemLibraryStandIn>(source, name));
        }
    }

    std::vector<std::string> LogLines() const {
        std::istringstream text(ReadBytes(log));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

const std::pair<const char*, const char*> MprStandIn = {MPR_STAND_IN, "MPR.DLL"};
const std::pair<const char*, const char*> PasswordStandIn = {PASSWORD_STAND_IN, "PASSWORD.CPL"};

TEST(LaunchModes, ConfigurationAndPasswordModesExitWithZeroAndNoSaverWindow) {
    for (const char* tail : {"", "/c", "/C", "/c:123", "/c /s", "/x", "123", "-", "/a"}) {
        SaverProcess saver(tail);
        EXPECT_EQ(CancelDialogsUntilExit(saver), 0u) << "tail \"" << tail << "\"";
        EXPECT_EQ(saver.CreatedSaverWindows(), 0u) << "tail \"" << tail << "\"";
    }
}

TEST(LaunchModes, PreviewWithoutAnExistingParentMakesNoWindow) {
    for (const std::string& tail : {std::string("/p"), std::string("/p 0"), std::string("/p:123"),
                                    std::string("/p abc"), "/p " + StaleWindowNumber()}) {
        SaverProcess saver(tail);
        EXPECT_EQ(saver.WaitForExit(), 0u) << "tail \"" << tail << "\"";
        EXPECT_TRUE(saver.CreatedWindows().empty())
            << "tail \"" << tail << "\" made " << saver.CreatedWindows().size() << " windows";
    }
}

TEST(LaunchModes, ProgramNameIsSkippedBeforeTheLettersAreScanned) {
    Installation installed({});
    // Without its closing quote the path is scanned: its drive letter C asks for the
    // configuration.
    ASSERT_EQ(installed.program.rfind("C:\\", 0), 0u) << installed.program;
    SaverProcess unclosed(installed.program, "\"" + installed.program + " /s");
    EXPECT_EQ(CancelDialogsUntilExit(unclosed), 0u);
    EXPECT_EQ(unclosed.CreatedSaverWindows(), 0u);

    for (const std::string& line :
         {"\"" + installed.program + "\"/s", "\"" + installed.program + "\"   -S",
          installed.program + " s"}) {
        FullScreenSaver saver(installed.program, line);
        ASSERT_NE(saver.window, nullptr) << line;
        EXPECT_EQ(saver.process.EndWithAKey(saver.window), 0u) << line;
    }
}

// Windows starts a saver selected from a folder with spaces and no short names with its path
// unquoted; the "P" of "Popescu" must not be read as the preview letter.
TEST(LaunchModes, UnquotedOwnPathWithSpacesStartsTheSaver) {
    ScratchDir dir;
    std::string folder = dir.File("Ion Popescu");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string program = folder + "\\Verselume.scr";
    ASSERT_TRUE(CopyFileA(BuiltSaverPath().c_str(), program.c_str(), FALSE));
    FullScreenSaver saver(program, program + " /s");
    ASSERT_NE(saver.window, nullptr);
    saver.Close();
}

TEST(FullScreen, TopmostBlackPopupCoversEveryMonitorAndAKeyEndsIt) {
    FullScreenSaver saver;
    ASSERT_NE(saver.window, nullptr);
    EXPECT_TRUE(saver.process.SawOneSaverWindowCreated());
    char title[64] = "";
    GetWindowTextA(saver.window, title, sizeof title);
    EXPECT_STREQ(title, "SCREENSAVER");
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    LONG_PTR style = GetWindowLongPtrA(saver.window, GWL_STYLE) & ~WS_CLIPSIBLINGS;
    EXPECT_EQ(style, WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongPtrA(saver.window, GWL_EXSTYLE), WS_EX_TOPMOST);
    RECT bounds{};
    GetWindowRect(saver.window, &bounds);
    EXPECT_EQ(bounds.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(bounds.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(bounds.right - bounds.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(bounds.bottom - bounds.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_EQ(GetParent(saver.window), nullptr);
    ASSERT_TRUE(WaitForFocus(saver.window));

    PressKey('V');
    EXPECT_EQ(saver.process.WaitForExit(), 0u);
}

TEST(FullScreen, ButtonPressEndsTheSaver) {
    FullScreenSaver saver;
    ASSERT_NE(saver.window, nullptr);
    ASSERT_TRUE(WaitForFocus(saver.window));
    ClickLeftButton();
    EXPECT_EQ(saver.process.WaitForExit(), 0u);
}

TEST(FullScreen, PointerMovedByOnePixelEndsTheSaver) {
    for (POINT step : {POINT{1, 0}, POINT{0, -1}}) {
        FullScreenSaver saver;
        ASSERT_NE(saver.window, nullptr);
        POINT moved = {RestingPointer.x + step.x, RestingPointer.y + step.y};
        EXPECT_TRUE(
            NudgePointerUntil(RestingPointer, moved, [&] { return !saver.process.Running(); }))
            << "step " << step.x << "," << step.y;
        EXPECT_EQ(saver.process.WaitForExit(), 0u) << "step " << step.x << "," << step.y;
    }
}

TEST(FullScreen, InputThatIsNoPressOrMovementLeavesTheSaverRunning) {
    FullScreenSaver saver;
    ASSERT_NE(saver.window, nullptr);
    // The pointer rests where it was when the saver started; the position in the message is
    // not what counts.
    struct Sent {
        UINT message;
        WPARAM wParam;
    };
    for (Sent sent :
         {Sent{WM_MOUSEMOVE, 0}, Sent{WM_ACTIVATE, WA_INACTIVE}, Sent{WM_ACTIVATEAPP, FALSE},
          Sent{WM_NCACTIVATE, FALSE}, Sent{WM_KEYUP, 'V'}, Sent{WM_CHAR, 'v'},
          Sent{WM_SYSKEYUP, VK_MENU}, Sent{WM_LBUTTONUP, 0}, Sent{WM_LBUTTONDBLCLK, 0},
          Sent{WM_RBUTTONUP, 0}, Sent{WM_MBUTTONUP, 0}, Sent{WM_MOUSEWHEEL, WHEEL_DELTA << 16}}) {
        SendMessageA(saver.window, sent.message, sent.wParam, MAKELPARAM(3, 5));
    }
    WaitForPostedMessages(saver.window);
    EXPECT_TRUE(IsWindow(saver.window));
    EXPECT_TRUE(saver.process.Running());

    PostMessageA(saver.window, WM_MBUTTONDOWN, 0, 0);
    EXPECT_EQ(saver.process.WaitForExit(), 0u);
}

TEST(FullScreen, SystemCommandsAreSwallowedAndASystemKeyEndsTheSaver) {
    FullScreenSaver saver;
    ASSERT_NE(saver.window, nullptr);
    for (WPARAM command : {SC_CLOSE, SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
        EXPECT_EQ(SendMessageA(saver.window, WM_SYSCOMMAND, command, 0), 0) << command;
    }
    // Without a verifier the verification message is answered with 1.
    EXPECT_EQ(SendMessageA(saver.window, WM_APP, 0, 0), 1);
    WaitForPostedMessages(saver.window);
    EXPECT_TRUE(IsWindow(saver.window));

    // Alt+F4: the key press closes; the close command that follows it is swallowed.
    PostMessageA(saver.window, WM_SYSKEYDOWN, VK_F4, 1 << 29);
    EXPECT_EQ(saver.process.WaitForExit(), 0u);
}

TEST(Preview, ChildFillsTheParentIgnoresInputAndEndsWithIt) {
    HWND parent = MakeOwnWindow();
    SetCursorPos(RestingPointer.x, RestingPointer.y);
    SaverProcess saver("/p " + Number(parent));
    HWND child = saver.WaitForSaverWindow(parent);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(saver.SawOneSaverWindowCreated());
    EXPECT_EQ(GetParent(child), parent);
    char title[64] = "";
    GetWindowTextA(child, title, sizeof title);
    EXPECT_STREQ(title, "SCREENSAVER");
    EXPECT_EQ(GetWindowLongPtrA(child, GWL_STYLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongPtrA(child, GWL_EXSTYLE), 0);
    EXPECT_EQ(GetDlgCtrlID(child), 0);
    RECT parentClient{};
    GetClientRect(parent, &parentClient);
    RECT childBounds{};
    GetWindowRect(child, &childBounds);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&childBounds), 2);
    EXPECT_EQ(childBounds.left, 0);
    EXPECT_EQ(childBounds.top, 0);
    EXPECT_EQ(childBounds.right, parentClient.right);
    EXPECT_EQ(childBounds.bottom, parentClient.bottom);

    SetCursorPos(RestingPointer.x + 20, RestingPointer.y + 20);
    for (UINT message : {WM_MOUSEMOVE, WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                         WM_MBUTTONDOWN, WM_ACTIVATE, WM_NCACTIVATE, WM_ACTIVATEAPP}) {
        SendMessageA(child, message, 0, 0);
    }
    EXPECT_EQ(SendMessageA(child, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    // The preview leaves the verification message to the platform, which answers 0.
    EXPECT_EQ(SendMessageA(child, WM_APP, 0, 0), 0);
    WaitForPostedMessages(child);
    EXPECT_TRUE(IsWindow(child));
    EXPECT_TRUE(saver.Running());

    DestroyWindow(parent);
    EXPECT_EQ(saver.WaitForExit(), 0u);
}

TEST(Preview, CloseRequestReachesThePlatformWhichEndsThePreview) {
    HWND parent = MakeOwnWindow();
    SaverProcess saver("/p" + Number(parent));
    HWND child = saver.WaitForSaverWindow(parent);
    ASSERT_NE(child, nullptr);
    PostMessageA(child, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.WaitForExit(), 0u);
    EXPECT_TRUE(IsWindow(parent));
}

TEST(ChangePassword, DialogGetsTheProviderTheOwnerAndZeros) {
    Installation installed{MprStandIn};
    HWND owner = MakeOwnWindow();
    SaverProcess saver(installed.program, QuotedCommand(installed.program, "/a " + Number(owner)));
    EXPECT_EQ(saver.WaitForExit(), 0u);
    EXPECT_EQ(installed.LogLines(),
              std::vector<std::string>{"PwdChangePasswordA SCRSAVE " + Number(owner) + " 0 0"});
}

TEST(ChangePassword, MissingOrUnknownOwnerFallsBackToTheForegroundWindow) {
    Installation installed{MprStandIn};
    HWND foreground = MakeOwnWindow();
    SetForegroundWindow(foreground);
    ASSERT_EQ(GetForegroundWindow(), foreground);
    std::vector<std::string> expected;
    for (const std::string& tail : {std::string("/a"), std::string("-A 0"), std::string("/a:5"),
                                    "/a " + StaleWindowNumber()}) {
        SaverProcess saver(installed.program, QuotedCommand(installed.program, tail));
        EXPECT_EQ(saver.WaitForExit(), 0u) << tail;
        expected.push_back("PwdChangePasswordA SCRSAVE " + Number(foreground) + " 0 0");
        EXPECT_EQ(installed.LogLines(), expected) << tail;
    }
}

// Wine reports the Windows 95 family (platform 1) to a program set to "win98".
struct Windows98 : Installation {
    ScopedRegistryValue version{HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Verselume.scr",
                                "Version"};
    ScopedRegistryValue usePassword{HKEY_CURRENT_USER, "Control Panel\\Desktop",
                                    "ScreenSaveUsePassword"};

    Windows98() : Installation{PasswordStandIn} { version.SetString("win98"); }

    size_t Verifications() const {
        size_t count = 0;
        for (const std::string& line : LogLines()) {
            count += line.rfind("VerifyScreenSavePwd ", 0) == 0 ? 1 : 0;
        }
        return count;
    }
};

TEST(Windows9x, WithoutTheDesktopValueNoVerifierIsLoaded) {
    Windows98 system;
    for (bool present : {false, true}) {
        if (present) {
            system.usePassword.SetDword(0);
        } else {
            system.usePassword.Remove();
        }
        FullScreenSaver saver(system.program, QuotedCommand(system.program, "/s"));
        ASSERT_NE(saver.window, nullptr);
        saver.Close();
        EXPECT_TRUE(system.LogLines().empty()) << "value present: " << present;
    }
}

TEST(Windows9x, AcceptedPasswordEndsTheSaver) {
    Windows98 system;
    system.usePassword.SetDword(1);
    FullScreenSaver saver(system.program, QuotedCommand(system.program, "/s"));
    ASSERT_TRUE(WaitForFocus(saver.window));
    PressKey(VK_SPACE);
    HWND box = saver.process.WaitForDialog(PasswordDialogTitle);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), saver.window);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(saver.process.WaitForExit(), 0u);
    EXPECT_EQ(system.LogLines(), (std::vector<std::string>{
                                     "PASSWORD.CPL loaded",
                                     "VerifyScreenSavePwd " + Number(saver.window), "accepted"}));
}

TEST(Windows9x, RefusedPasswordKeepsTheSaverAndMeasuresMovementAfresh) {
    Windows98 system;
    system.usePassword.SetDword(1);
    FullScreenSaver saver(system.program, QuotedCommand(system.program, "/s"));
    ASSERT_NE(saver.window, nullptr);

    // Three queued close requests: the first one asks, the others find the question open.
    for (int i = 0; i < 3; i++) {
        PostMessageA(saver.window, WM_CLOSE, 0, 0);
    }
    HWND box = saver.process.WaitForDialog(PasswordDialogTitle);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(box) != FALSE; }));
    // While the question is open, input and movement request nothing. The saver takes in the X
    // events of its own window only now, in the question's loop; the move waits until every
    // position they carry has been overtaken, or the refusal could re-take one of them.
    WaitForPostedMessages(saver.window);
    const POINT moved = {RestingPointer.x + 50, RestingPointer.y + 30};
    ASSERT_TRUE(MovePointer(moved)) << "the pointer does not settle";
    SendMessageA(saver.window, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(saver.window, WM_LBUTTONDOWN, 0, 0);
    PostMessageA(saver.window, WM_CLOSE, 0, 0);
    WaitForPostedMessages(saver.window);
    EXPECT_EQ(system.Verifications(), 1u);

    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return system.LogLines().size() == 3; }));
    WaitForPostedMessages(saver.window);
    EXPECT_TRUE(saver.process.Running());
    EXPECT_EQ(system.Verifications(), 1u);

    // Movement is measured from where the pointer was at the refusal.
    SendMessageA(saver.window, WM_MOUSEMOVE, 0, 0);
    WaitForPostedMessages(saver.window);
    EXPECT_EQ(system.Verifications(), 1u);
    box = nullptr;
    EXPECT_TRUE(NudgePointerUntil(moved, {moved.x + 1, moved.y}, [&] {
        box = saver.process.WaitForDialog(PasswordDialogTitle, 0);
        return box != nullptr;
    }));
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(saver.process.WaitForExit(), 0u);
    std::string verify = "VerifyScreenSavePwd " + Number(saver.window);
    EXPECT_EQ(system.LogLines(), (std::vector<std::string>{"PASSWORD.CPL loaded", verify, "refused",
                                                           verify, "accepted"}));
}

// A marker under the name of every library the program loads while it runs, beside it, which
// Wine is told to prefer to its own: the saver showing verses and asking for the password, the
// configuration asked for help with F1 (no registration: the control by its name) and the
// password change take each from the system folder.
TEST(SystemLibraries, NoneIsLoadedFromBesideTheProgram) {
    Installed installed(3, 200);
    installed.key.SetString("HelpFile", "C:\\verselume.chm");
    Windows98 system;
    system.usePassword.SetDword(1);
    SystemLibraryStandIn mpr(MPR_STAND_IN, "MPR.DLL"), help(StandInModulePath(), "hhctrl.ocx");
    HelpServerStandIn server;
    server.Unregister();
    ScopedEnvironment overrides{"WINEDLLOVERRIDES", "winmm,comctl32=n,b"};
    for (const char* name :
         {"winmm.dll", "comctl32.dll", "hhctrl.ocx", "MPR.DLL", "PASSWORD.CPL"}) {
        ASSERT_TRUE(CopyFileA(MARKER_DLL, system.dir.File(name).c_str(), FALSE)) << name;
    }
    auto logged = [&](const std::string& start) {
        std::vector<std::string> lines = system.LogLines();
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    };
    {
        FullScreenSaver saver(system.program, QuotedCommand(system.program, "/s"));
        ASSERT_NE(saver.window, nullptr);
        EXPECT_TRUE(PumpUntil([&] { return LitPixels(ReadScreen(saver.window)) > 0; }));
        PostMessageA(saver.window, WM_CLOSE, 0, 0);
        if (HWND box = saver.process.WaitForDialog(PasswordDialogTitle)) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        EXPECT_EQ(saver.process.WaitForExit(), 0u);
    }
    {
        SaverProcess saver(system.program, QuotedCommand(system.program, "/c"));
        HWND dialog = saver.WaitForDialog("Verselume");
        constexpr UINT KeyF1 = 0x004D; // what the system posts for the key
        PostMessageA(dialog, KeyF1, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return logged("HtmlHelpA C:\\verselume.chm"); }));
        EXPECT_EQ(CancelDialogsUntilExit(saver), 0u);
    }
    SaverProcess change(system.program, QuotedCommand(system.program, "/a"));
    EXPECT_EQ(change.WaitForExit(), 0u);
    EXPECT_TRUE(logged("PwdChangePasswordA SCRSAVE ") && logged("VerifyScreenSavePwd "));
    EXPECT_FALSE(logged("loaded ")) << ReadBytes(system.log);
}

} // namespace
