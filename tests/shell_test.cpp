// The shell's class registration and its failure message, inside the test process.

#include "launch_modes.h"
#include "resource_ids.h"
#include "saver_shell.h"
#include "shell_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

// Dialog item ids of the system message box: its text and its icon.
constexpr int MessageBoxText = 0xFFFF;
constexpr int MessageBoxIcon = 0x0440;

struct SeenMessageBox {
    std::string text;
    HWND owner = nullptr;
    HICON icon = nullptr;
    bool seen = false;
};

BOOL CALLBACK FindDialogOfThread(HWND window, LPARAM found) {
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Waits on another thread for a message box of thread, notes what it shows and presses OK.
void AnswerMessageBox(DWORD thread, SeenMessageBox& seen, std::atomic<bool>& stop) {
    while (!stop) {
        HWND box = nullptr;
        EnumThreadWindows(thread, FindDialogOfThread, reinterpret_cast<LPARAM>(&box));
        if (box != nullptr) {
            char text[256] = "";
            GetDlgItemTextA(box, MessageBoxText, text, sizeof text);
            seen.text = text;
            seen.owner = GetWindow(box, GW_OWNER);
            seen.icon = reinterpret_cast<HICON>(
                SendDlgItemMessageA(box, MessageBoxIcon, STM_GETICON, 0, 0));
            seen.seen = true;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return;
        }
        Sleep(5);
    }
}

TEST(RegisterClasses, SaverClassIsBlackWithTheBookIconAndNoCursor) {
    Shell.ModuleInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterClasses());
    WNDCLASSA saverClass{};
    ASSERT_TRUE(GetClassInfoA(Shell.ModuleInstance, "WindowsScreenSaverClass", &saverClass));
    EXPECT_EQ(saverClass.style, 0x883u);
    EXPECT_EQ(saverClass.lpfnWndProc, ShellWindowProc);
    EXPECT_EQ(saverClass.cbClsExtra, 0);
    EXPECT_EQ(saverClass.cbWndExtra, 0);
    EXPECT_EQ(saverClass.hCursor, nullptr);
    EXPECT_EQ(saverClass.hbrBackground, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(saverClass.lpszMenuName, nullptr);
    ASSERT_NE(saverClass.hIcon, nullptr);
    EXPECT_EQ(saverClass.hIcon, LoadIconA(Shell.ModuleInstance, MAKEINTRESOURCEA(IDI_VERSELUME)));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(saverClass.hIcon, &info));
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

TEST(RunSaver, FailedRegistrationShowsItsMessageAndMakesNoWindow) {
    Shell.ModuleInstance = GetModuleHandleA(nullptr);
    // The class exists already, so the saver's own registration fails.
    ASSERT_TRUE(RegisterClasses());
    SeenMessageBox seen;
    std::atomic<bool> stop{false};
    std::thread answer(AnswerMessageBox, GetCurrentThreadId(), std::ref(seen), std::ref(stop));
    int result = RunSaver(nullptr);
    stop = true;
    answer.join();
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(seen.seen) << "no message box";
    EXPECT_EQ(seen.text, "RegisterClasses() failed");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(Shell.ShellWindow, nullptr);
    EXPECT_EQ(FindWindowA("WindowsScreenSaverClass", nullptr), nullptr);
}

} // namespace
