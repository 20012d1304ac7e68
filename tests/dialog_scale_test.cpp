#include "config_dialog.h"
#include "fonts_dialog.h"
#include "resource_ids.h"
#include "saver_settings.h"
#include "support/dialogs.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/text_conversion.h"
#include "support/typefaces.h"
#include "texts_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// Each dialog, with the control whose image follows the scale (its image's width at 100 %) and
// the control below it, which it must not cover.
struct ScaledDialog {
    const wchar_t* name;
    DLGPROC procedure;
    int imageControl;
    int imageWidth;
    int below;
};
const ScaledDialog Dialogs[] = {
    {MAKEINTRESOURCEW(IDD_CONFIG), InertDialogProc, 0, 0, 0},
    {L"ABOUTDLG", InertDialogProc, 0, 0, 0},
    {L"TEXTSDLG", TextsDialogProc, IDC_TEXTS_TOOLBAR, 16, IDC_TEXTS_LIST},
    {L"FONTSDLG", FontsDialogProc, IDC_FONTS_ADD, 10, 0},
};

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The image a toolbar's or a button's face shows, and the room the first button or the face has.
void ExpectImageGrows(HWND control, int width, UINT dpi, const char* what) {
    int image[2] = {};
    RECT room{};
    auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(control, TB_GETIMAGELIST, 0, 0));
    if (ImageList_GetIconSize(list, &image[0], &image[1])) {
        SendMessageW(control, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&room));
    } else {
        BITMAP face{};
        GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(control, BM_GETIMAGE, IMAGE_BITMAP, 0)),
                   sizeof face, &face);
        image[0] = face.bmWidth;
        image[1] = face.bmHeight;
        GetClientRect(control, &room);
    }
    EXPECT_GE(image[0], MulDiv(width, static_cast<int>(dpi), 96)) << what << " at " << dpi;
    EXPECT_LE(image[1], room.bottom - room.top) << what << " at " << dpi;
}

// Every dialog in a TrueType face of 8 points at the system's DPI, each label's and button's whole
// text inside it (a radio button's beside its circle), and the images drawn for that DPI; then
// the images for 200 % once the system says the dialog moved to such a monitor.
TEST(DialogScale, EveryDialogAtTheSystemDpi) {
    const char* wanted = std::getenv("VERSELUME_TEST_DPI");
    HDC screen = GetDC(nullptr);
    auto dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, wanted != nullptr ? std::strtoul(wanted, nullptr, 10) : 96u);
    ASSERT_TRUE(InitCommonControlClasses(ICC_BAR_CLASSES | ICC_UPDOWN_CLASS));
    RegisterSampleClass();
    for (const ScaledDialog& row : Dialogs) {
        std::string what = IS_INTRESOURCE(row.name) ? "2003" : Utf8FromWide(row.name);
        SaverSettings record{};
        ModelessDialog dialog(row.name, row.procedure, reinterpret_cast<LPARAM>(&record));
        auto font = reinterpret_cast<HFONT>(SendMessageW(dialog.Window(), WM_GETFONT, 0, 0));
        LOGFONTW described{};
        GetObjectW(font, sizeof described, &described);
        EXPECT_EQ(described.lfHeight, -MulDiv(8, static_cast<int>(dpi), 72)) << what;
        HDC dc = GetDC(dialog.Window());
        HGDIOBJ previous = SelectObject(dc, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        EXPECT_TRUE(metrics.tmPitchAndFamily & TMPF_TRUETYPE) << what;
        for (HWND child = GetWindow(dialog.Window(), GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[256];
            int length = GetWindowTextW(child, text, 256);
            if (length == 0 || ClassOf(child) == "ToolbarWindow32") {
                continue;
            }
            RECT extent{};
            DrawTextW(dc, text, length, &extent, DT_CALCRECT | DT_SINGLELINE);
            RECT room{};
            GetClientRect(child, &room);
            if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
                room.right -= MulDiv(17, static_cast<int>(dpi), 96);
            }
            EXPECT_LE(extent.right, room.right) << what << ": " << Utf8FromWide(text);
            EXPECT_LE(extent.bottom, room.bottom) << what << ": " << Utf8FromWide(text);
        }
        SelectObject(dc, previous);
        ReleaseDC(dialog.Window(), dc);
        if (row.below != 0) {
            EXPECT_LE(ScreenRect(dialog.Control(row.imageControl)).bottom,
                      ScreenRect(dialog.Control(row.below)).top)
                << what;
        }
        if (row.imageControl != 0) {
            ExpectImageGrows(dialog.Control(row.imageControl), row.imageWidth, dpi, what.c_str());
            RECT place = ScreenRect(dialog.Window());
            SendMessageW(dialog.Window(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                         reinterpret_cast<LPARAM>(&place));
            ExpectImageGrows(dialog.Control(row.imageControl), row.imageWidth, 192, what.c_str());
        }
    }
}

// The same in a process of its own at 150 % and 200 %: Wine reads LogPixels as a process starts.
TEST(DialogScale, EveryDialogAtOneAndAHalfAndTwiceTheSize) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (DWORD dpi : {144u, 192u}) {
        ScopedRegistryValue logPixels(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
        logPixels.SetDword(dpi);
        ScopedEnvironment wanted("VERSELUME_TEST_DPI", std::to_string(dpi));
        SaverProcess run(self, QuotedCommand(self, "--gtest_filter=DialogScale.EveryDialogAt"
                                                   "TheSystemDpi"));
        EXPECT_EQ(run.WaitForExit(120000), 0u) << "at " << dpi << " DPI";
    }
}

} // namespace
