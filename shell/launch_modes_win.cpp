#include "launch_modes.h"

#include "registry_store.h"
#include "resource_ids.h"
#include "saver_shell.h"
#include "shell_core.h"
#include "shell_state.h"
#include "system_library.h"

#include <commctrl.h>

#include <cstdint>

// Written by the process entry's thread, which is also the thread of every window and dialog of
// the shell; no other thread touches it.
ShellState Shell;

namespace {

constexpr char SaverClassName[] = "WindowsScreenSaverClass";
constexpr char SaverWindowTitle[] = "SCREENSAVER";
constexpr UINT SaverClassStyle = CS_VREDRAW | CS_HREDRAW | CS_PARENTDC | CS_SAVEBITS;

// The Windows 95-family password-change dialog exported by MPR.DLL.
using PwdChangePasswordProc = DWORD(WINAPI*)(LPCSTR provider, HWND owner, DWORD, DWORD);

HWND WindowFromNumber(uint32_t number) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
}

bool IsWindows95Family() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// Windows 95-family systems verify the saver password through PASSWORD.CPL; later systems lock
// the session themselves.
void PreparePasswordCheck() {
    if (!IsWindows95Family()) {
        return;
    }
    Shell.Windows95Family = 1;
    if (!DesktopAsksForPassword()) {
        return;
    }
    Shell.PasswordApplet = LoadSystemLibrary(L"PASSWORD.CPL");
    Shell.VerifyScreenSavePwd =
        FindEntry<VerifyScreenSavePwdProc>(Shell.PasswordApplet, "VerifyScreenSavePwd");
}

void ReleasePasswordApplet() {
    if (Shell.PasswordApplet != nullptr) {
        Shell.VerifyScreenSavePwd = nullptr;
        FreeLibrary(Shell.PasswordApplet);
        Shell.PasswordApplet = nullptr;
    }
}

// Windows 95-family systems are told when the full-screen saver starts and stops.
void TellSaverRunning(UINT running) {
    if (Shell.Windows95Family == 0 || Shell.PreviewMode != 0) {
        return;
    }
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running, &previous, 0);
}

HWND CreateSaverWindow(HWND parent) {
    if (parent != nullptr) {
        RECT client{};
        GetClientRect(parent, &client);
        return CreateWindowExA(0, SaverClassName, SaverWindowTitle, WS_CHILD, 0, 0, client.right,
                               client.bottom, parent, nullptr, Shell.ModuleInstance, nullptr);
    }
    // Every monitor: the virtual screen, which starts left of or above the primary monitor's
    // origin when a monitor lies there.
    return CreateWindowExA(WS_EX_TOPMOST, SaverClassName, SaverWindowTitle, WS_POPUP | WS_VISIBLE,
                           GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                           GetSystemMetrics(SM_CXVIRTUALSCREEN),
                           GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr, nullptr,
                           Shell.ModuleInstance, nullptr);
}

// Ends on the quit message and on a fetch error; the result is the last message's parameter.
int RunMessageLoop() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) == 1) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int RunPreview(uint32_t number) {
    Shell.PreviewMode = 1;
    HWND parent = WindowFromNumber(number);
    if (number == 0 || !IsWindow(parent)) {
        return 0;
    }
    return RunSaver(parent);
}

HWND PasswordOwner(uint32_t number) {
    HWND owner = WindowFromNumber(number);
    if (number == 0 || !IsWindow(owner)) {
        return GetForegroundWindow();
    }
    return owner;
}

void RunConfiguration() {
    // The dialog opens even when its classes cannot be registered.
    Shell.Parts.RegisterDialogClasses(Shell.ModuleInstance);
    // The up-down and trackbar of template 2003 must exist before it is instantiated; loading
    // the common controls registers them, and asking for them makes sure of it.
    Shell.Parts.InitCommonControlClasses(ICC_BAR_CLASSES | ICC_UPDOWN_CLASS);
    // A Unicode dialog, as are the editors it opens: every letter of a list shows as it is.
    DialogBoxParamW(Shell.ModuleInstance, MAKEINTRESOURCEW(IDD_CONFIG), GetForegroundWindow(),
                    Shell.Parts.ConfigDialogProc, 0);
}

} // namespace

const char* GetCommandTail() {
    char longPath[MAX_PATH] = {};
    char shortPath[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, longPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        longPath[0] = '\0';
    } else if (GetShortPathNameA(longPath, shortPath, MAX_PATH) >= MAX_PATH) {
        shortPath[0] = '\0';
    }
    return SkipOwnProgramName(GetCommandLineA(), longPath, shortPath);
}

int SaverMain(HINSTANCE instance, const char* commandTail, const SaverParts& parts) {
    Shell.ModuleInstance = instance;
    Shell.Parts = parts;
    PreparePasswordCheck();
    LaunchCommand command = ScanCommandTail(commandTail);
    switch (command.Mode) {
    case LaunchMode::Saver:
        return RunSaver(nullptr);
    case LaunchMode::Preview:
        return RunPreview(command.Window);
    case LaunchMode::ChangePassword:
        ChangePassword(PasswordOwner(command.Window));
        return 0;
    case LaunchMode::Configure:
        RunConfiguration();
        return 0;
    }
    return 0;
}

int RunSaver(HWND parent) {
    TellSaverRunning(TRUE);
    int result = 0;
    if (!RegisterClasses()) {
        MessageBoxA(nullptr, "RegisterClasses() failed", nullptr, MB_ICONHAND);
    } else {
        Shell.ShellWindow = CreateSaverWindow(parent);
        if (Shell.ShellWindow != nullptr) {
            UpdateWindow(Shell.ShellWindow);
            ShowWindow(Shell.ShellWindow, SW_SHOW);
            result = RunMessageLoop();
        }
    }
    TellSaverRunning(FALSE);
    ReleasePasswordApplet();
    return result;
}

BOOL RegisterClasses() {
    WNDCLASSA saverClass{};
    saverClass.style = SaverClassStyle;
    saverClass.lpfnWndProc = ShellWindowProc;
    saverClass.hInstance = Shell.ModuleInstance;
    saverClass.hIcon = LoadIconA(Shell.ModuleInstance, MAKEINTRESOURCEA(IDI_VERSELUME));
    // No class cursor: the shell hides the pointer itself.
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = SaverClassName;
    if (RegisterClassA(&saverClass) == 0) {
        return FALSE;
    }
    return Shell.Parts.RegisterDialogClasses(Shell.ModuleInstance) != 0;
}

void ChangePassword(HWND owner) {
    HMODULE library = LoadSystemLibrary(L"MPR.DLL");
    if (library == nullptr) {
        return;
    }
    auto change = FindEntry<PwdChangePasswordProc>(library, "PwdChangePasswordA");
    if (change != nullptr) {
        change("SCRSAVE", owner, 0, 0);
    }
    FreeLibrary(library);
}
