// Configuration mode of the real program: Verselume.scr started with /c, or with no mode letter
// at all, shows the configuration dialog, and OK there saves and ends the process with 0.
#include "resource_ids.h"
#include "support/installed.h"
#include "support/saver_process.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// Text of a control of another process: an edit keeps its text to itself, so it is asked.
std::string ControlText(HWND control) {
    char text[64] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    return std::string(text, copied);
}

TEST(ConfigurationMode, ShowsTheDialogAndOkSavesAndExitsWithZero) {
    for (const char* tail : {"/c", "", "/C:123"}) {
        SCOPED_TRACE(std::string("tail \"") + tail + "\"");
        Installed installed("Unu\r\n");
        installed.key.SetDword("TextSpeed", 7000);
        installed.key.SetDword("Options", 5);

        SaverProcess saver(tail);
        HWND dialog = saver.WaitForDialog("Verselume");
        ASSERT_NE(dialog, nullptr) << "no configuration dialog";
        // A dialog shows once its controls are filled.
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
        EXPECT_EQ(ControlText(GetDlgItem(dialog, IDC_CONFIG_SECONDS)), "7");
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_CONFIG_CONSECUTIVE, BM_GETCHECK, 0, 0),
                  BST_CHECKED);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_CONFIG_POLICY, CB_GETCURSEL, 0, 0), 1);
        EXPECT_NE(GetDlgItem(dialog, IDC_CONFIG_FONTS), nullptr);

        PostMessageA(GetDlgItem(dialog, IDC_CONFIG_FADE), TBM_SETPOS, TRUE, 9);
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(saver.WaitForExit(), 0u);
        EXPECT_EQ(saver.CreatedSaverWindows(), 0u);
        EXPECT_EQ(installed.key.Dword("FadeSpeed"), 9u);
        EXPECT_EQ(ReadBytes(installed.texts), "Unu\r\n");
    }
}

} // namespace
