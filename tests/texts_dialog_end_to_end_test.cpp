// From the configuration dialog's "&Versete..." button through the verses editor to the texts
// file: only the configuration's own OK writes the edited verses.

#include "config_dialog.h"
#include "resource_ids.h"
#include "support/installed.h"
#include "support/text_conversion.h"
#include "support/texts_dialog_harness.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const std::string Ansi = CodePageFromUtf8(
    "Geneza 1:1\r\nPsalmul 23:1\r\nIoan 3:16\r\nÎnceputul înţelepciunii\r\n", 1250);

// What the user does in the editor: rewrites the first verse over two lines, moves the third
// up, deletes the fourth, adds one and ends it with a "ș" from the keyboard (comma below, which
// no ANSI code page holds), then OK.
void EditVerses(Editor& editor) {
    editor.Type("Geneza 1:1 La început\r\na făcut Dumnezeu cerurile şi pământul.");
    editor.Choose(2);
    editor.Press(IDC_TEXTS_UP);
    editor.Choose(3);
    editor.Press(IDC_TEXTS_DELETE);
    editor.Press(IDC_TEXTS_NEW);
    editor.Type("Romani 8:28 ");
    HWND field = editor.Control(IDC_TEXTS_EDIT);
    SendMessageW(field, EM_SETSEL, 1000, 1000);
    SendMessageW(field, WM_CHAR, 0x0219, 1);
}

// The ANSI file took a letter its code page lacks: it is written in UTF-8, with a mark.
const std::string Edited = "\xEF\xBB\xBF"
                           "Geneza 1:1 La început a făcut Dumnezeu cerurile şi pământul.\r\n"
                           "Ioan 3:16\r\n"
                           "Psalmul 23:1\r\n"
                           "Romani 8:28 ș\r\n";

// Opens the configuration dialog, lets the user work in the verses editor (on a thread of its
// own while the editor runs modally) and press its OK, and closes the configuration with
// command close; returns whether the editor was driven to its end.
bool EditThenClose(int close, MessageBoxWatcher& boxes, const std::function<void(Editor&)>& edit,
                   uint32_t count) {
    HWND configuration = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONFIG),
                                            nullptr, ConfigDialogProc, 0);
    EXPECT_NE(configuration, nullptr);
    bool edited = false;
    OpenedDialog opened = DriveOpenedDialog(
        "Versete", [&] { SendDlgItemMessageW(configuration, IDC_CONFIG_VERSES, BM_CLICK, 0, 0); },
        [&](HWND shown) {
            Editor editor(shown);
            edit(editor);
            editor.Press(IDOK);
            edited = editor.Ended();
        });
    EXPECT_EQ(opened.Owner, configuration);
    EXPECT_TRUE(IsWindowVisible(configuration)) << "the editor's OK leaves the configuration open";
    EXPECT_EQ(ConfigRecord(configuration)->TextCount, count)
        << "the editor's OK hands the list to the record";

    SendDlgItemMessageW(configuration, close, BM_CLICK, 0, 0);
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
    Installed installed(Ansi);
    MessageBoxWatcher boxes;
    EXPECT_TRUE(EditThenClose(IDOK, boxes, EditVerses, 4));
    EXPECT_EQ(ReadBytes(installed.texts), Edited);
}

TEST(TextsEditorEndToEnd, ConfigurationCancelLeavesTheTextsFileAlone) {
    Installed installed(Ansi);
    MessageBoxWatcher boxes;
    EXPECT_TRUE(EditThenClose(IDCANCEL, boxes, EditVerses, 4));
    EXPECT_EQ(ReadBytes(installed.texts), Ansi);
}

// A file in any form opens with its entries, and OK on both dialogs without a change writes
// it back byte for byte.
TEST(TextsEditorEndToEnd, UnchangedListsKeepTheirFileByteForByte) {
    const Verses verses = {"Geneza 1:1", "Psalmul 23:1", "Ioan 3:16", "Începutul înţelepciunii"};
    std::wstring unicode = L"\uFEFF";
    for (const std::string& verse : verses) {
        unicode += WideFromUtf8(verse + "\r\n");
    }
    const std::string utf16(reinterpret_cast<const char*>(unicode.data()), unicode.size() * 2);
    for (const std::string& bytes : {Ansi, utf16}) {
        SCOPED_TRACE(bytes == Ansi ? "ANSI" : "UTF-16");
        Installed installed(bytes);
        MessageBoxWatcher boxes;
        Verses shown;
        auto look = [&](Editor& editor) { shown = editor.Entries(); };
        EXPECT_TRUE(EditThenClose(IDOK, boxes, look, 4));
        EXPECT_EQ(shown, verses);
        EXPECT_EQ(ReadBytes(installed.texts), bytes);
    }
}

// UTF-8 with a line another editor appended in the code page: every letter shows right, and an
// edit writes the whole list in UTF-8, without a mark as the file had none.
TEST(TextsEditorEndToEnd, MixedFileShowsEveryLetterAndIsWrittenWholeInUtf8) {
    Installed installed("Geneza 1:1\r\nÎnceputul înțelepciunii\r\n" +
                        CodePageFromUtf8("Ioan 3:16 şi ţară\r\n", 1250));
    MessageBoxWatcher boxes;
    Verses shown;
    auto edit = [&](Editor& editor) {
        shown = editor.Entries();
        editor.Type("Geneza 1:1 La început");
    };
    EXPECT_TRUE(EditThenClose(IDOK, boxes, edit, 3));
    EXPECT_EQ(shown, (Verses{"Geneza 1:1", "Începutul înțelepciunii", "Ioan 3:16 şi ţară"}));
    EXPECT_EQ(ReadBytes(installed.texts),
              "Geneza 1:1 La început\r\nÎnceputul înțelepciunii\r\nIoan 3:16 şi ţară\r\n");
}

} // namespace
