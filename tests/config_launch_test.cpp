// Configuration mode of the real program: Verselume.scr started with /c, or with no mode letter
// at all, shows the configuration dialog, and OK there saves and ends the process with 0.
#include "resource_ids.h"
#include "saver_settings.h"
#include "support/dialogs.h"
#include "support/installed.h"
#include "support/saver_process.h"
#include "support/text_conversion.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
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

// Without a settings key the program offers to set itself up. No goes on as before (the key's
// error box on opening and on OK) and makes nothing. Yes puts the installer's sample lists in
// %APPDATA%\Verselume and the key naming them, with the help file beside the program, and the
// dialog then works as an installed one: a verse typed in the editor before OK is saved in the
// sample list's form.
TEST(ConfigurationMode, WithoutAKeyAsksWhetherToSetUpTheSampleListsAndTheKey) {
    struct KeyGoes {
        ~KeyGoes() { DeleteSettingsKey(); }
    } keyGoes;
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        DeleteSettingsKey();
        ScratchDir appData;
        ScopedEnvironment environment("APPDATA", appData.Path());
        const std::string folder = appData.File("Verselume");
        const std::string program = appData.File("Verselume.scr");
        ASSERT_TRUE(CopyFileA(BuiltSaverPath().c_str(), program.c_str(), FALSE));
        WriteBytes(appData.File("verselume.chm"), "ITSF");
        SaverProcess saver(program, QuotedCommand(program, "/c"));
        HWND question = saver.WaitForDialog("Configurare Verselume");
        ASSERT_NE(question, nullptr) << "no question";
        PostMessageA(question, WM_COMMAND, answer, 0);
        HWND dialog = saver.WaitForDialog("Verselume");
        if (answer == IDNO) {
            // The error boxes are closed as they come.
            const auto closeBox = [&] {
                for (const CreatedWindow& created : saver.CreatedWindows()) {
                    if (created.className == "#32770" && created.window != dialog) {
                        PostMessageA(created.window, WM_COMMAND, IDOK, 0);
                    }
                }
            };
            ASSERT_TRUE(PumpUntil([&] { return closeBox(), IsWindowVisible(dialog) != FALSE; }));
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            EXPECT_TRUE(PumpUntil([&] { return closeBox(), !saver.Running(); }));
            EXPECT_EQ(saver.WaitForExit(), 0u);
            EXPECT_FALSE(SettingsKeyExists());
            EXPECT_FALSE(FileExists(folder));
            // The question, the dialog and an error box on opening and on OK.
            EXPECT_EQ(std::count_if(saver.CreatedWindows().begin(), saver.CreatedWindows().end(),
                                    [](const CreatedWindow& created) {
                                        return created.className == "#32770";
                                    }),
                      4);
            continue;
        }
        HWND verses = GetDlgItem(dialog, IDC_CONFIG_VERSES);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(verses) && IsWindowVisible(dialog); }));
        PostMessageA(verses, BM_CLICK, 0, 0);
        HWND editor = saver.WaitForDialog("Versete");
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(editor) != FALSE; }));
        SetDlgItemTextA(editor, IDC_TEXTS_EDIT, "Scris de mine");
        PostMessageA(editor, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(PumpUntil([&] { return IsWindow(editor) == FALSE; }));
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(saver.WaitForExit(), 0u);

        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, SettingsKeyPath, "TextsFile"),
                  folder + "\\versete.txt");
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, SettingsKeyPath, "FontsFile"),
                  folder + "\\fonturi.txt");
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, SettingsKeyPath, "HelpFile"),
                  appData.File("verselume.chm"));
        const std::string sample = ReadBytes(VERSELUME_SAMPLES "/versete.txt");
        ASSERT_NE(sample.find('\n'), std::string::npos);
        EXPECT_EQ(ReadBytes(folder + "\\versete.txt"),
                  "\xEF\xBB\xBFScris de mine\r\n" + sample.substr(sample.find('\n') + 1));
        EXPECT_EQ(ReadBytes(folder + "\\fonturi.txt"), ReadBytes(VERSELUME_SAMPLES "/fonturi.txt"));
    }
}

// A verses file that never answers (a pipe nobody writes to, as a hung network share): the
// dialog shows at once, the verses button saying that its list is being read, and Cancel or OK
// ends the process at once with 0; OK saves the interval and leaves both lists alone. A pipe
// that answers late gives the button back.
TEST(ConfigurationMode, AVersesFileThatNeverAnswersKeepsNothingWaiting) {
    const char pipeName[] = "\\\\.\\pipe\\verselume-config-never-written";
    // The fastest of the openings, so that a busy moment of the machine does not count.
    DWORD fastest = 10000;
    for (int row = 0; row < 3; row++) {
        const int command = row == 0 ? IDCANCEL : IDOK;
        SCOPED_TRACE(row);
        HANDLE pipe =
            CreateNamedPipeA(pipeName, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
        ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
        Installed installed;
        installed.key.SetString("TextsFile", pipeName);
        SaverProcess saver("/c");
        HWND dialog = saver.WaitForDialog("Verselume");
        ASSERT_NE(dialog, nullptr);
        DWORD found = GetTickCount();
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
        fastest = std::min(fastest, GetTickCount() - found);
        HWND verses = GetDlgItem(dialog, IDC_CONFIG_VERSES);
        EXPECT_FALSE(IsWindowEnabled(verses));
        EXPECT_EQ(TextOf(verses), CodePageFromUtf8("Se citeşte…", CP_ACP));
        HWND fonts = GetDlgItem(dialog, IDC_CONFIG_FONTS);
        EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(fonts) != FALSE; }));
        if (row == 2) {
            DWORD written = 0;
            WriteFile(pipe, "Unu\r\n", 5, &written, nullptr);
            CloseHandle(pipe);
            pipe = nullptr;
            EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(verses) != FALSE; }));
            EXPECT_EQ(TextOf(verses), "&Versete...");
        }
        SetDlgItemTextA(dialog, IDC_CONFIG_SECONDS, "9");
        PostMessageA(GetDlgItem(dialog, command), BM_CLICK, 0, 0);
        EXPECT_EQ(saver.WaitForExit(1000), 0u);
        for (const CreatedWindow& created : saver.CreatedWindows()) {
            EXPECT_TRUE(created.className != "#32770" || created.window == dialog) << "a box";
        }
        EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, SettingsKeyPath, "TextSpeed"),
                  command == IDOK ? 9000u : ~0u);
        EXPECT_EQ(ReadBytes(installed.fonts), "Arial\r\n");
        if (pipe != nullptr) {
            CloseHandle(pipe);
        }
    }
    EXPECT_LT(fastest, 1000u) << "the dialog showed after its lists";
}

} // namespace
