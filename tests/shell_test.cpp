// The shell's class registration and its failure message, inside the test process.

#include "config_dialog.h"
#include "font_sample.h"
#include "launch_modes.h"
#include "resource_ids.h"
#include "saver_shell.h"
#include "saver_window.h"
#include "shell_state.h"
#include "support/dialogs.h"
#include "support/pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

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

// The icon drawn at its own size on white.
std::vector<uint32_t> DrawIconOnWhite(HICON icon, int size) {
    MemorySurface surface(size, size, RGB(255, 255, 255));
    DrawIconEx(surface.dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    return surface.Read().values;
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
    Shell.Parts = {SaverWindowProc, ConfigDialogProc, RegisterDialogClasses,
                   InitCommonControlClasses};
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
    Shell.Parts = {SaverWindowProc, ConfigDialogProc, RegisterDialogClasses,
                   InitCommonControlClasses};
    // The class exists already, so the saver's own registration fails.
    ASSERT_TRUE(RegisterClasses());
    MessageBoxWatcher boxes;
    EXPECT_EQ(RunSaver(nullptr), 0);
    std::vector<SeenMessageBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u) << "one message box";
    EXPECT_EQ(seen[0].Text, "RegisterClasses() failed");
    EXPECT_EQ(seen[0].Owner, nullptr);
    EXPECT_EQ(seen[0].Icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(Shell.ShellWindow, nullptr);
    EXPECT_EQ(FindWindowA("WindowsScreenSaverClass", nullptr), nullptr);
}

} // namespace
