// Every dialog closed each way a user closes it, run modally as the shell and the configuration
// dialog run them: OK and Enter confirm, Cancel, Esc and the close box do not. The run ends with
// 0; a confirmed close hands the user's edit on (to the record, or to the key and the files),
// any other leaves them untouched to the byte; either way the dialog gives back what it holds.

#include "config_dialog.h"
#include "fonts_dialog.h"
#include "resource_ids.h"
#include "texts_dialog.h"

#include "support/heap.h"
#include "support/installed.h"
#include "support/text_conversion.h"
#include "support/texts_dialog_harness.h"
#include "support/typefaces.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// The control with the keyboard focus on the dialog's thread, which keys go to.
HWND Focused(HWND dialog) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
    return thread.hwndFocus != nullptr ? thread.hwndFocus : dialog;
}

// Gives a control the focus, as a click on it does.
void FocusOn(HWND dialog, int control) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, control)),
                 TRUE);
}

const struct Way {
    const char* name;
    bool confirms;
    void (*close)(HWND dialog);
} Ways[] = {
    {"OK", true, [](HWND d) { PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }},
    {"Cancel", false, [](HWND d) { PostMessageA(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); }},
    {"Esc", false, [](HWND d) { PostMessageA(Focused(d), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }},
    {"close box", false, [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"Enter", true, [](HWND d) { PostMessageA(Focused(d), WM_KEYDOWN, VK_RETURN, 0x001C0001); }},
};

// One dialog as the table closes it: what it opens on, the edit the user makes (on the user's
// thread, while the dialog runs), what it still holds when its window goes, and what the close
// left.
struct Closing {
    virtual ~Closing() = default;
    virtual LPARAM Parameter() { return 0; }
    virtual void Edit(HWND dialog) = 0;
    virtual void AtDestroy(HWND) {}
    virtual void Check(bool confirmed) = 0;
};

// A record as a dialog opened on it, its list's bytes too; and a list block as the list reader
// makes it: a heap block of the entries' slots, each zero past its text.
struct Untouched {
    SaverSettings record{};
    std::string block;
    void Take(const SaverSettings& opened, const WideChar* list, size_t units) {
        memcpy(static_cast<void*>(&record), &opened, sizeof record);
        block.assign(reinterpret_cast<const char*>(list), units * sizeof(WideChar));
    }
    void ExpectSame(const SaverSettings& now, const WideChar* list) const {
        EXPECT_EQ(memcmp(static_cast<const void*>(&record), &now, sizeof record), 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(list), block.size()), block);
    }
};
void ExpectReaderBlock(const WideChar* block, const Names& entries, uint32_t width) {
    ListRecord expected(width == TextSlotWidth ? entries : Names{},
                        width == FontSlotWidth ? entries : Names{});
    const WideChar* slots = width == TextSlotWidth ? expected.Texts : expected.Fonts;
    size_t bytes = entries.size() * width * sizeof(WideChar);
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, block), bytes);
    EXPECT_EQ(memcmp(block, slots, bytes), 0);
}

// About: commands other than OK and Cancel leave it open.
struct AboutClosing : Closing {
    bool stayedOpen = false;
    void Edit(HWND about) override {
        PostMessageA(about, WM_COMMAND, IDHELP, 0);
        PostMessageA(about, WM_COMMAND, IDC_CONFIG_ABOUT, 0);
        Sleep(200);
        stayedOpen = IsWindowVisible(about) != FALSE;
    }
    void Check(bool) override { EXPECT_TRUE(stayedOpen); }
};

// The configuration, with the lists as the sub-dialogs leave them and a new fade speed: a
// confirmed close writes the numbers and both files, any other writes nothing; every close has
// released the lists before the window goes.
struct ConfigClosing : Closing {
    Installed installed;
    WideChar* texts = nullptr;
    WideChar* fonts = nullptr;
    SaverSettings atDestroy{};

    ConfigClosing() { installed.key.SetDword("FadeSpeed", 9); }
    void Edit(HWND dialog) override {
        // The lists come in off the dialog's thread; their buttons say when.
        for (int i = 0; i < 1000 && !(IsWindowEnabled(GetDlgItem(dialog, IDC_CONFIG_VERSES)) &&
                                      IsWindowEnabled(GetDlgItem(dialog, IDC_CONFIG_FONTS)));
             i++) {
            Sleep(10);
        }
        SaverSettings& record = *ConfigRecord(dialog);
        EXPECT_EQ(record.TextCount, 2u);
        // Seven and five slots: sizes nothing else of the test allocates.
        texts = ReplaceList(record.Texts, record.TextCount, TextSlotWidth,
                            {"Întâi", "Al doilea", "3", "4", "5", "6", "Ultimul"});
        fonts = ReplaceList(record.Fonts, record.FontCount, FontSlotWidth,
                            {"Georgia", "Tahoma", "Verdana", "Arial", "Consolas"});
        EXPECT_TRUE(IsProcessHeapBlock(texts) && IsProcessHeapBlock(fonts));
        SendDlgItemMessageW(dialog, IDC_CONFIG_FADE, TBM_SETPOS, TRUE, 1);
    }
    void AtDestroy(HWND dialog) override {
        memcpy(static_cast<void*>(&atDestroy), ConfigRecord(dialog), sizeof atDestroy);
    }
    void Check(bool confirmed) override {
        EXPECT_FALSE(IsProcessHeapBlock(texts) || IsProcessHeapBlock(fonts));
        EXPECT_TRUE(atDestroy.Texts == nullptr && atDestroy.TextCount == 0 &&
                    atDestroy.Fonts == nullptr && atDestroy.FontCount == 0);
        EXPECT_EQ(ReadBytes(installed.texts),
                  confirmed ? CodePageFromUtf8(
                                  "Întâi\r\nAl doilea\r\n3\r\n4\r\n5\r\n6\r\nUltimul\r\n", 1250)
                            : "Unu\r\nDoi\r\n");
        EXPECT_EQ(ReadBytes(installed.fonts),
                  confirmed ? "Georgia\r\nTahoma\r\nVerdana\r\nArial\r\nConsolas\r\n"
                            : "Arial\r\n");
        EXPECT_EQ(installed.key.Dword("FadeSpeed"), confirmed ? 1u : 9u);
        EXPECT_EQ(installed.key.Has("TextSpeed") && installed.key.Has("Options"), confirmed);
        if (confirmed) {
            EXPECT_EQ(installed.key.Dword("TextSpeed"), 4000u);
            EXPECT_EQ(installed.key.Dword("Options"), 2u);
        }
    }
};

// The verses editor after edits of every kind: a confirmed close replaces the block with the
// list in its order (releasing the old one), any other leaves the record as it was.
struct TextsClosing : Closing {
    ListRecord record{{"Geneza 1:1", "Psalmul 23:1", "Ioan 3:16", "Apocalipsa 22:21"}};
    WideChar* block = record.Texts;
    Untouched before;

    TextsClosing() { before.Take(record, block, 4 * TextSlotWidth); }
    LPARAM Parameter() override { return reinterpret_cast<LPARAM>(&record); }
    void Edit(HWND dialog) override {
        Editor editor(dialog);
        editor.Type("schimbat");
        editor.Choose(2);
        editor.Press(IDC_TEXTS_UP);
        editor.Press(IDC_TEXTS_DELETE);
        editor.Press(IDC_TEXTS_NEW);
        editor.Type("adaugat");
        FocusOn(dialog, IDC_TEXTS_EDIT);
    }
    void Check(bool confirmed) override {
        if (!confirmed) {
            return before.ExpectSame(record, block);
        }
        Names saved = {"schimbat", "Psalmul 23:1", "Apocalipsa 22:21", "adaugat"};
        EXPECT_EQ(VersesOf(record), saved);
        ExpectReaderBlock(record.Texts, saved, TextSlotWidth);
        EXPECT_FALSE(IsProcessHeapBlock(block)) << "the replaced block is released";
    }
};

// The typefaces dialog after a removal and an addition, opened on a name no longer installed
// and a localized one: a confirmed close stores the selected list as it shows it, any other
// leaves the record as it was; the arrows' bitmaps are released either way, and the right
// arrow, the first tab stop, had the focus.
struct FontsClosing : Closing {
    Names installed = InstalledTypefaces();
    ListRecord record{{},
                      {installed.at(1), installed.at(3), "Verselume Retired Face", "宋体 Ștefan"}};
    WideChar* block = record.Fonts;
    Untouched before;
    HBITMAP right = nullptr, left = nullptr;
    bool focused = false;
    Names chosen;

    FontsClosing() {
        record.TextSpeed = 7000;
        record.Options = 6;
        before.Take(record, block, 4 * FontSlotWidth);
    }
    LPARAM Parameter() override { return reinterpret_cast<LPARAM>(&record); }
    void Edit(HWND dialog) override {
        ModelessDialog shown(dialog);
        right = reinterpret_cast<HBITMAP>(shown.Send(IDC_FONTS_ADD, BM_GETIMAGE, IMAGE_BITMAP));
        left = reinterpret_cast<HBITMAP>(shown.Send(IDC_FONTS_REMOVE, BM_GETIMAGE, IMAGE_BITMAP));
        EXPECT_TRUE(GetObjectType(right) == OBJ_BITMAP && GetObjectType(left) == OBJ_BITMAP);
        focused = Focused(dialog) == shown.Control(IDC_FONTS_ADD);
        shown.Send(IDC_FONTS_SELECTED, LB_SETSEL, TRUE, 0);
        shown.Send(IDC_FONTS_SELECTED, LB_SETSEL, TRUE, 2);
        shown.Command(IDC_FONTS_REMOVE);
        shown.Send(IDC_FONTS_AVAILABLE, LB_SETSEL, TRUE, 0);
        shown.Command(IDC_FONTS_ADD);
        chosen = shown.ListEntries(IDC_FONTS_SELECTED);
        FocusOn(dialog, IDC_FONTS_SELECTED);
    }
    void Check(bool confirmed) override {
        EXPECT_TRUE(focused);
        EXPECT_NE(right, left);
        EXPECT_TRUE(GetObjectType(right) == 0 && GetObjectType(left) == 0) << "not released";
        if (!confirmed) {
            return before.ExpectSame(record, block);
        }
        EXPECT_EQ(chosen.size(), 3u);
        EXPECT_EQ(std::count(chosen.begin(), chosen.end(), "宋体 Ștefan"), 1) << "kept as it is";
        EXPECT_EQ(FontsOf(record), chosen);
        ExpectReaderBlock(record.Fonts, chosen, FontSlotWidth);
        EXPECT_FALSE(IsProcessHeapBlock(block)) << "the replaced block is released";
    }
};

template <typename T> std::unique_ptr<Closing> Open() {
    return std::make_unique<T>();
}
const struct Kind {
    const char* name;
    const char* resource;
    DLGPROC procedure;
    const char* title;
    std::unique_ptr<Closing> (*open)();
} Kinds[] = {
    {"About", "ABOUTDLG", AboutDialogProc, "Despre Verselume", Open<AboutClosing>},
    {"configuration", MAKEINTRESOURCEA(IDD_CONFIG), ConfigDialogProc, "Verselume",
     Open<ConfigClosing>},
    {"verses", "TEXTSDLG", TextsDialogProc, "Versete", Open<TextsClosing>},
    {"typefaces", "FONTSDLG", FontsDialogProc, "Fonturi", Open<FontsClosing>},
};

// The closing under way and its dialog, for the hook that sees the dialog's WM_DESTROY on its
// thread before the dialog handles it.
Closing* Current;
std::atomic<HWND> CurrentDialog;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_DESTROY && call->hwnd == CurrentDialog) {
        Current->AtDestroy(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(DialogClosing, EveryDialogEveryWay) {
    InitDialogControls();
    RegisterSampleClass();
    ASSERT_GE(InstalledTypefaces().size(), 4u);
    MessageBoxWatcher boxes;
    for (const Kind& kind : Kinds) {
        for (const Way& way : Ways) {
            if (kind.procedure == AboutDialogProc && way.close == Ways[1].close) {
                continue; // no Cancel button; Esc gives its command
            }
            SCOPED_TRACE(std::string(kind.name) + ", " + way.name);
            std::unique_ptr<Closing> closing = kind.open();
            Current = closing.get();
            CurrentDialog = nullptr;
            HHOOK hook =
                SetWindowsHookExA(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
            bool driven = false;
            INT_PTR result = RunModalDialog(
                kind.resource, kind.procedure, closing->Parameter(), nullptr, kind.title,
                [&](HWND dialog) {
                    CurrentDialog = dialog;
                    closing->Edit(dialog);
                    way.close(dialog);
                },
                &driven);
            UnhookWindowsHookEx(hook);
            EXPECT_TRUE(driven);
            EXPECT_EQ(result, 0);
            closing->Check(way.confirms);
        }
    }
    for (const SeenMessageBox& box : boxes.Seen()) {
        ADD_FAILURE() << "box \"" << box.Title << "\": " << box.Text;
    }
}

} // namespace
