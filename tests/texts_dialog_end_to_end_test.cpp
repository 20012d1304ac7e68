// From the configuration dialog's "&Versete..." button through the verses editor to the texts
// file: only the configuration's own OK writes the edited verses.

#include "config_dialog.h"
#include "resource_ids.h"
#include "test_support.h"
#include "texts_dialog_harness.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

// The installer's part: the key naming the two list files, with a few verses.
struct Installed {
    ScratchDir dir;
    SettingsKey key;
    std::string texts = dir.File("versete.txt");
    std::string fonts = dir.File("fonturi.txt");
    std::string original =
        Ansi("Geneza 1:1\r\nPsalmul 23:1\r\nIoan 3:16\r\nÎnceputul înţelepciunii\r\n");

    Installed() {
        key.SetString("TextsFile", texts);
        key.SetString("FontsFile", fonts);
        WriteBytes(texts, original);
        WriteBytes(fonts, "Arial\r\n");
    }
};

// What the user does in the editor, on a thread of its own while the editor runs modally:
// rewrites the first verse over two lines, moves the third up, deletes the fourth, adds one.
void EditVerses(HWND opened, bool& done) {
    Editor editor(opened);
    editor.Type(Ansi("Geneza 1:1 La început\r\na făcut Dumnezeu cerurile şi pământul."));
    editor.Choose(2);
    editor.Press(IDC_TEXTS_UP);
    editor.Choose(3);
    editor.Press(IDC_TEXTS_DELETE);
    editor.Press(IDC_TEXTS_NEW);
    editor.Type(Ansi("Romani 8:28"));
    editor.Press(IDOK);
    done = editor.Ended();
}

const std::string Edited = Ansi("Geneza 1:1 La început a făcut Dumnezeu cerurile şi pământul.\r\n"
                                "Ioan 3:16\r\n"
                                "Psalmul 23:1\r\n"
                                "Romani 8:28\r\n");

// Opens the configuration dialog, lets the user edit the verses, and closes the configuration
// with command close; returns whether the editor was driven to its end.
bool EditThenClose(int close, MessageBoxWatcher& boxes) {
    HWND configuration = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIG),
                                            nullptr, ConfigDialogProc, 0);
    EXPECT_NE(configuration, nullptr);
    DWORD thread = GetCurrentThreadId();
    bool edited = false;
    HWND owner = nullptr;
    std::thread user([&] {
        HWND opened = WaitForDialog(thread, "Versete");
        if (opened == nullptr) {
            return;
        }
        owner = GetWindow(opened, GW_OWNER);
        EditVerses(opened, edited);
    });
    SendDlgItemMessageA(configuration, IDC_CONFIG_VERSES, BM_CLICK, 0, 0);
    user.join();
    EXPECT_EQ(owner, configuration);
    EXPECT_TRUE(IsWindowVisible(configuration)) << "the editor's OK leaves the configuration open";
    EXPECT_EQ(ConfigRecord(configuration)->TextCount, 4u)
        << "the editor's OK hands the list to the record";

    SendDlgItemMessageA(configuration, close, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(configuration));
    EXPECT_EQ(ConfigRecord(configuration)->Texts, nullptr)
        << "the configuration releases the lists";
    DestroyWindow(configuration);
    for (const SeenMessageBox& box : boxes.Seen()) {
        ADD_FAILURE() << "unexpected error box: " << box.Text;
    }
    return edited;
}

TEST(TextsEditorEndToEnd, ConfigurationOkWritesTheEditedVerses) {
    Installed installed;
    MessageBoxWatcher boxes;
    EXPECT_TRUE(EditThenClose(IDOK, boxes));
    EXPECT_EQ(ReadBytes(installed.texts), Edited);
}

TEST(TextsEditorEndToEnd, ConfigurationCancelLeavesTheTextsFileAlone) {
    Installed installed;
    MessageBoxWatcher boxes;
    EXPECT_TRUE(EditThenClose(IDCANCEL, boxes));
    EXPECT_EQ(ReadBytes(installed.texts), installed.original);
}

} // namespace
