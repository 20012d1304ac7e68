// The shell's class registration and its failure message, inside the test process.

#include "config_dialog.h"
#include "font_sample.h"
#include "launch_modes.h"
#include "resource_ids.h"
#include "saver_shell.h"
#include "saver_window.h"
#include "shell_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <vector>

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

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// The icon drawn at its own size on a white 32-bit DIB; the pixels as 0x00RRGGBB.
std::vector<uint32_t> DrawIconOnWhite(HICON icon, int size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> result(pixels, pixels + size * size);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    for (uint32_t& pixel : result) {
        pixel &= 0xFFFFFF;
    }
    return result;
}

TEST(Icon, GroupHoldsTheSixteenColourBookWithItsRedRibbonAt32And48Pixels) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDI_VERSELUME), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    const auto* header =
        static_cast<const GroupIconHeader*>(LockResource(LoadResource(module, found)));
    ASSERT_EQ(header->count, 2);
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
    std::set<int> sizes;
    for (int i = 0; i < header->count; i++) {
        EXPECT_EQ(entries[i].width, entries[i].height);
        EXPECT_EQ(entries[i].colours, 16);
        EXPECT_EQ(entries[i].bitCount, 4);
        sizes.insert(entries[i].width);
    }
    EXPECT_EQ(sizes, (std::set<int>{32, 48}));

    for (int size : {32, 48}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(module, MAKEINTRESOURCEA(IDI_VERSELUME), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        std::vector<uint32_t> pixels = DrawIconOnWhite(icon, size);
        DestroyIcon(icon);
        int red = 0;
        int drawn = 0;
        for (uint32_t pixel : pixels) {
            int r = pixel >> 16;
            int g = (pixel >> 8) & 0xFF;
            int b = pixel & 0xFF;
            red += r > 160 && g < 80 && b < 80 ? 1 : 0;
            drawn += pixel != 0xFFFFFF ? 1 : 0;
        }
        EXPECT_GT(red, size / 4) << "no ribbon at " << size;
        EXPECT_GT(drawn, size * size / 4) << "no book at " << size;
        // The corners show what lies behind the icon.
        EXPECT_EQ(pixels.front(), 0xFFFFFFu) << size;
        EXPECT_EQ(pixels.back(), 0xFFFFFFu) << size;
    }
}

TEST(RegisterClasses, SaverClassIsBlackWithTheBookIconAndNoCursor) {
    Shell.ModuleInstance = GetModuleHandleA(nullptr);
    Shell.Parts = {SaverWindowProc, ConfigDialogProc, RegisterDialogClasses};
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
    Shell.Parts = {SaverWindowProc, ConfigDialogProc, RegisterDialogClasses};
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
