#include "config_dialog.h"
#include "fonts_dialog.h"
#include "resource_ids.h"
#include "support/dialogs.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/typefaces.h"
#include "texts_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

INT_PTR CALLBACK Inert(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The width of a toolbar's images or of a button's.
int ImageWidth(HWND control) {
    int size[2] = {};
    BITMAP face{};
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(SendMessageW(control, TB_GETIMAGELIST, 0, 0)), &size[0],
        &size[1]);
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(control, BM_GETIMAGE, IMAGE_BITMAP, 0)),
               sizeof face, &face);
    return std::max(size[0], static_cast<int>(face.bmWidth));
}

// Each dialog at the system's DPI: a TrueType font of 8 points, every label's and button's whole
// text inside it (a radio button's beside its circle), its images drawn for the DPI and for 200 %
// once the dialog is told it moved to such a monitor. At 96 DPI, then in processes of their own at
// 144 and 192 DPI: Wine reads LogPixels as a process starts.
TEST(DialogScale, EveryDialogAtTheSystemDpi) {
    const char* told = getenv("VERSELUME_TEST_DPI");
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ASSERT_EQ(dpi, told != nullptr ? atoi(told) : 96);
    InitCommonControlClasses(ICC_BAR_CLASSES | ICC_UPDOWN_CLASS);
    RegisterSampleClass();
    struct Row {
        const wchar_t* name;
        DLGPROC procedure;
        int image, width; // the control with an image, and the image's width at 100 %
    } rows[] = {{MAKEINTRESOURCEW(IDD_CONFIG), Inert, 0, 0},
                {L"ABOUTDLG", Inert, 0, 0},
                {L"TEXTSDLG", TextsDialogProc, IDC_TEXTS_TOOLBAR, 16},
                {L"FONTSDLG", FontsDialogProc, IDC_FONTS_ADD, 10}};
    for (const Row& row : rows) {
        SaverSettings record{};
        ModelessDialog dialog(row.name, row.procedure, reinterpret_cast<LPARAM>(&record));
        std::string what = TextOf(dialog.Window()) + " at " + std::to_string(dpi) + " ";
        auto font = reinterpret_cast<HFONT>(SendMessageW(dialog.Window(), WM_GETFONT, 0, 0));
        LOGFONTW described{};
        GetObjectW(font, sizeof described, &described);
        EXPECT_EQ(described.lfHeight, -MulDiv(8, dpi, 72)) << what;
        HGDIOBJ previous = SelectObject(screen, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(screen, &metrics);
        EXPECT_TRUE(metrics.tmPitchAndFamily & TMPF_TRUETYPE) << what;
        for (HWND child = GetWindow(dialog.Window(), GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[256];
            RECT extent{}, room{};
            DrawTextW(screen, text, GetWindowTextW(child, text, 256), &extent, DT_CALCRECT);
            GetClientRect(child, &room);
            if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
                room.right -= MulDiv(17, dpi, 96);
            }
            EXPECT_LE(extent.right, room.right) << what << TextOf(child);
            EXPECT_LE(extent.bottom, room.bottom) << what << TextOf(child);
        }
        SelectObject(screen, previous);
        for (int shown : {dpi, 192}) {
            EXPECT_GE(ImageWidth(dialog.Control(row.image)), MulDiv(row.width, shown, 96)) << what;
            RECT place{};
            GetWindowRect(dialog.Window(), &place);
            SendMessageW(dialog.Window(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                         reinterpret_cast<LPARAM>(&place));
        }
    }
    ReleaseDC(nullptr, screen);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (int scaled : {144, 192}) {
        if (told == nullptr) {
            ScopedRegistryValue logPixels(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
            logPixels.SetDword(scaled);
            ScopedEnvironment tell("VERSELUME_TEST_DPI", std::to_string(scaled));
            SaverProcess run(self, QuotedCommand(self, "--gtest_filter=DialogScale.*"));
            EXPECT_EQ(run.WaitForExit(120000), 0u) << "at " << scaled << " DPI";
        }
    }
}

} // namespace
