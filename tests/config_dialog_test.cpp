// The configuration dialog and the About box, created from the program's own templates with
// their real procedures, driven the way a user's clicks and keys drive them.
#include "config_dialog.h"
#include "font_sample.h"
#include "platform.h"
#include "registry_store.h"
#include "resource_ids.h"
#include "support/dialogs.h"
#include "support/heap.h"
#include "support/installed.h"
#include "support/records.h"
#include "support/saver_process.h"
#include "support/text_conversion.h"
#include "support/texts_dialog_harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The configuration dialog, modeless, with the record it keeps.
struct ConfigDialog : ModelessDialog {
    // Lists that take longer than the opening's wait come in at a tick of the dialog's timer.
    ConfigDialog() : ModelessDialog(MAKEINTRESOURCEW(IDD_CONFIG), ConfigDialogProc, 0) {
        PumpUntil([&] {
            return IsWindowEnabled(Control(IDC_CONFIG_VERSES)) &&
                   IsWindowEnabled(Control(IDC_CONFIG_FONTS));
        });
    }
    SaverSettings& Record() const { return *ConfigRecord(Window()); }
};

struct ShownControls {
    std::string Seconds;
    bool Random;
    bool Consecutive;
    int Policy; // -1: no selection
    int Fade;
    bool operator==(const ShownControls&) const = default;
};

void PrintTo(const ShownControls& shown, std::ostream* out) {
    *out << '"' << shown.Seconds << "\" random " << shown.Random << " consecutive "
         << shown.Consecutive << " policy " << shown.Policy << " fade " << shown.Fade;
}

ShownControls ReadControls(const ConfigDialog& dialog) {
    char seconds[32] = {};
    GetDlgItemTextA(dialog.Window(), IDC_CONFIG_SECONDS, seconds, sizeof seconds);
    return {seconds, dialog.Send(IDC_CONFIG_RANDOM, BM_GETCHECK) == BST_CHECKED,
            dialog.Send(IDC_CONFIG_CONSECUTIVE, BM_GETCHECK) == BST_CHECKED,
            static_cast<int>(dialog.Send(IDC_CONFIG_POLICY, CB_GETCURSEL)),
            static_cast<int>(dialog.Send(IDC_CONFIG_FADE, TBM_GETPOS))};
}

testing::AssertionResult NoBoxShown(MessageBoxWatcher& boxes) {
    std::vector<SeenMessageBox> seen = boxes.Seen();
    if (seen.empty()) {
        return testing::AssertionSuccess();
    }
    testing::AssertionResult failure = testing::AssertionFailure();
    for (const SeenMessageBox& box : seen) {
        failure << "box \"" << box.Title << "\": " << box.Text << "\n";
    }
    return failure;
}

std::string LoadedString(UINT id) {
    char text[256] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

TEST(ConfigDialog, PreparesTheControls) {
    Installed installed;
    ConfigDialog dialog;
    ASSERT_NE(dialog.Window(), nullptr);
    int low = -1, high = -1;
    dialog.Send(IDC_CONFIG_SECONDS_UPDOWN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 60);
    EXPECT_EQ(reinterpret_cast<HWND>(dialog.Send(IDC_CONFIG_SECONDS_UPDOWN, UDM_GETBUDDY)),
              GetDlgItem(dialog.Window(), IDC_CONFIG_SECONDS));
    EXPECT_EQ(dialog.Send(IDC_CONFIG_FADE, TBM_GETRANGEMIN), 0);
    EXPECT_EQ(dialog.Send(IDC_CONFIG_FADE, TBM_GETRANGEMAX), 10);

    // The policies' strings, in the order of their numbers.
    ASSERT_EQ(dialog.Send(IDC_CONFIG_POLICY, CB_GETCOUNT), 3);
    for (int i = 0; i < 3; ++i) {
        wchar_t text[256] = {}, string[256] = {};
        dialog.Send(IDC_CONFIG_POLICY, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        LoadStringW(GetModuleHandleW(nullptr), IDS_POLICY_EACH_DISPLAY + i, string, 256);
        EXPECT_EQ(std::wstring(text), string);
    }
}

// The screens' list shows the stored value's entry (a value it does not offer as a verse on
// every screen) and saves only an entry the user chose, so that such a value stays otherwise.
TEST(ConfigDialog, ScreensListShowsTheStoredValueAndSavesOnlyAChoice) {
    const DWORD none = 0xDEADBEEF; // no value
    const DWORD rows[][4] = {
        {none, 0, none, none}, {1, 1, 2, 2}, {2, 2, 0, 0}, {7, 0, none, 7}, {7, 0, 1, 1}};
    for (auto [stored, shown, chosen, saved] : rows) {
        SCOPED_TRACE(stored);
        Installed installed;
        if (stored != none) {
            installed.key.SetDword("Screens", stored);
        }
        ConfigDialog dialog;
        EXPECT_EQ(dialog.Send(IDC_CONFIG_SCREENS, CB_GETCURSEL), static_cast<LRESULT>(shown));
        if (chosen != none) {
            dialog.Send(IDC_CONFIG_SCREENS, CB_SETCURSEL, chosen);
        }
        dialog.Click(IDOK);
        EXPECT_EQ(installed.key.Has("Screens") ? installed.key.Dword("Screens") : none, saved);
    }
}

TEST(ConfigDialog, ShowsStoredSettingsAndSavesThemOnOk) {
    struct Row {
        DWORD textSpeed, options, fade;
        ShownControls shown;
        DWORD savedTextSpeed, savedOptions;
    };
    const Row rows[] = {
        {4000, 2, 5, {"4", true, false, 2, 5}, 4000, 2},
        {7999, 0, 0, {"7", true, false, 0, 0}, 7000, 0}, // whole seconds, rounded down
        {60000, 1, 10, {"60", true, false, 1, 10}, 60000, 1},
        {65541000, 4, 3, {"5", false, true, 0, 3}, 5000, 4}, // 65541 s taken as 16 bits: 5
        {3000, 3, 5, {"3", true, false, -1, 5}, 3000, 2},    // policy 3: no selection
        {3000, 7, 5, {"3", false, true, -1, 5}, 3000, 6},
        {3000, 12, 5, {"3", false, true, 0, 5}, 3000, 4}, // bit 3 is dropped
        {3000, 0xFFFFFFF5u, 5, {"3", false, true, 1, 5}, 3000, 5},
    };
    MessageBoxWatcher boxes;
    for (const Row& row : rows) {
        SCOPED_TRACE("TextSpeed " + std::to_string(row.textSpeed) + ", Options " +
                     std::to_string(row.options));
        Installed installed;
        installed.key.SetDword("TextSpeed", row.textSpeed);
        installed.key.SetDword("Options", row.options);
        installed.key.SetDword("FadeSpeed", row.fade);
        ConfigDialog dialog;
        ASSERT_FALSE(dialog.Ended());
        EXPECT_EQ(ReadControls(dialog), row.shown);

        dialog.Click(IDOK);
        EXPECT_TRUE(dialog.Ended());
        EXPECT_EQ(installed.key.Dword("TextSpeed"), row.savedTextSpeed);
        EXPECT_EQ(installed.key.Dword("Options"), row.savedOptions);
        EXPECT_EQ(installed.key.Dword("FadeSpeed"), row.fade);
    }
    EXPECT_TRUE(NoBoxShown(boxes));
}

TEST(ConfigDialog, SavesWhatTheUserSet) {
    struct Row {
        const char* typed;
        DWORD textSpeed;
    };
    const Row rows[] = {{"12", 12000}, {"0", 0}, {"60", 60000}, {"abc", 4000}, {"9x", 4000}};
    MessageBoxWatcher boxes;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        Installed installed;
        installed.key.SetDword("Options", 2);
        ConfigDialog dialog;
        SetDlgItemTextA(dialog.Window(), IDC_CONFIG_SECONDS, row.typed);
        dialog.Click(IDC_CONFIG_CONSECUTIVE);
        dialog.Send(IDC_CONFIG_POLICY, CB_SETCURSEL, 1);
        dialog.Send(IDC_CONFIG_FADE, TBM_SETPOS, TRUE, 8);
        dialog.Click(IDOK);
        EXPECT_EQ(installed.key.Dword("TextSpeed"), row.textSpeed);
        EXPECT_EQ(installed.key.Dword("Options"), 5u);
        EXPECT_EQ(installed.key.Dword("FadeSpeed"), 8u);
    }

    // Back to random order: the consecutive bit goes.
    Installed installed;
    installed.key.SetDword("Options", 6);
    ConfigDialog dialog;
    dialog.Click(IDC_CONFIG_RANDOM);
    EXPECT_EQ(dialog.Send(IDC_CONFIG_CONSECUTIVE, BM_GETCHECK), BST_UNCHECKED);
    dialog.Click(IDOK);
    EXPECT_EQ(installed.key.Dword("Options"), 2u);
    EXPECT_TRUE(NoBoxShown(boxes));
}

// Asked whether to set Verselume up, the user says No (the box's OK counts as No).
TEST(ConfigDialog, MissingKeyShowsAnErrorOnOpeningAndOnOkAndWritesNothing) {
    DeleteSettingsKey();
    ScratchDir appData;
    ScopedEnvironment environment("APPDATA", appData.Path());
    MessageBoxWatcher boxes;
    ConfigDialog dialog;
    ASSERT_FALSE(dialog.Ended());
    std::vector<SeenMessageBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Owner, dialog.Window());
    EXPECT_EQ(seen[0].Title, "Configurare Verselume");
    EXPECT_EQ(seen[0].ButtonCount, 2);
    const std::string question = seen[0].Text;
    EXPECT_EQ(question.find(LoadedString(IDS_SET_UP_QUESTION)), 0u) << question;
    EXPECT_EQ(question.substr(question.size() - 10), "\\Verselume") << question;
    ExpectErrorBox(seen[1], dialog.Window(), ERROR_FILE_NOT_FOUND);

    // The empty record: 0 seconds, random order, the first policy, the slowest speed.
    EXPECT_EQ(ReadControls(dialog), (ShownControls{"0", true, false, 0, 0}));

    dialog.Click(IDOK);
    EXPECT_TRUE(dialog.Ended());
    seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 3u);
    ExpectErrorBox(seen[2], dialog.Window(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(SettingsKeyExists()) << "the key is never created";
    EXPECT_FALSE(FileExists(appData.File("Verselume")));
}

// Opened again in the same process, the dialog starts from an empty record, not from what the
// last opening held.
TEST(ConfigDialog, EachOpeningStartsFromAnEmptyRecord) {
    MessageBoxWatcher boxes;
    {
        Installed installed;
        installed.key.SetDword("TextSpeed", 9000);
        installed.key.SetDword("Options", 6);
        installed.key.SetDword("FadeSpeed", 7);
        ConfigDialog dialog;
        EXPECT_EQ(ReadControls(dialog).Seconds, "9");
        dialog.Click(IDCANCEL);
    }
    DeleteSettingsKey();
    ConfigDialog dialog;
    EXPECT_EQ(ReadControls(dialog), (ShownControls{"0", true, false, 0, 0}));
    EXPECT_EQ(dialog.Record().Texts, nullptr);
    EXPECT_EQ(dialog.Record().TextCount, 0u);
    EXPECT_EQ(boxes.Seen().size(), 2u) << "the set-up question (answered No) and the key's error";
}

// A verses path missing from the key: one box when opening, the defaults and the typefaces
// shown all the same; one box on OK, which still writes the rest and closes.
TEST(ConfigDialog, ListErrorsShowOneBoxEachAndTheRestGoesOn) {
    Installed installed;
    installed.key.Remove("TextsFile");
    MessageBoxWatcher boxes;
    ConfigDialog dialog;
    ASSERT_EQ(boxes.Seen().size(), 1u);
    ExpectErrorBox(boxes.Seen()[0], dialog.Window(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadControls(dialog), (ShownControls{"4", true, false, 2, 5}));
    EXPECT_EQ(dialog.Record().FontCount, 1u);

    ReplaceList(dialog.Record().Fonts, dialog.Record().FontCount, FontSlotWidth, {"Tahoma"});
    dialog.Send(IDC_CONFIG_FADE, TBM_SETPOS, TRUE, 2);
    dialog.Click(IDOK);
    EXPECT_TRUE(dialog.Ended());
    ASSERT_EQ(boxes.Seen().size(), 2u);
    ExpectErrorBox(boxes.Seen()[1], dialog.Window(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(installed.key.Dword("FadeSpeed"), 2u);
    EXPECT_EQ(ReadBytes(installed.fonts), "Tahoma\r\n");
}

// Destroyed without OK or Cancel (as when its owner goes), the dialog still gives its lists back
// and writes nothing.
TEST(ConfigDialog, DestructionReleasesTheLists) {
    Installed installed;
    WideChar* texts = nullptr;
    WideChar* fonts = nullptr;
    {
        ConfigDialog dialog;
        SaverSettings& record = dialog.Record();
        // Seven and five slots: sizes nothing else of the test allocates.
        texts = ReplaceList(record.Texts, record.TextCount, TextSlotWidth,
                            {"1", "2", "3", "4", "5", "6", "7"});
        fonts = ReplaceList(record.Fonts, record.FontCount, FontSlotWidth,
                            {"Georgia", "Tahoma", "Verdana", "Arial", "Consolas"});
    }
    EXPECT_FALSE(IsProcessHeapBlock(texts));
    EXPECT_FALSE(IsProcessHeapBlock(fonts));
    EXPECT_EQ(ReadBytes(installed.texts), "Unu\r\nDoi\r\n");
    EXPECT_FALSE(installed.key.Has("TextSpeed"));
}

// The files in the verses file's folder that hold an edit saved beside it.
std::vector<std::string> SavedBeside(const Installed& installed) {
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(installed.dir.File("versete (editat *").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        paths.push_back(installed.dir.File(found.cFileName));
    }
    FindClose(search);
    return paths;
}

// The verses file changed behind the dialog's back: another program saved it, or it could not
// be read when the dialog opened, or it was missing then (a stick not yet plugged in). OK never
// writes over it: an untouched list (the editor opened and closed with OK is untouched) leaves
// it, and an edited one goes to a file of its own beside it, which one box names with the
// original. A list missing then and still missing is created.
TEST(ConfigDialog, AListsFileChangedSinceOpeningIsNeverWrittenOver) {
    enum Change { SavedByAnother, HeldAtOpening, MissingAtOpening, StillMissing };
    const struct {
        Change change;
        int edit; // 0: none, 1: the editor opened and closed with OK, 2: the list replaced
    } rows[] = {{SavedByAnother, 0},   {SavedByAnother, 2}, {HeldAtOpening, 0},
                {HeldAtOpening, 1},    {HeldAtOpening, 2},  {MissingAtOpening, 0},
                {MissingAtOpening, 2}, {StillMissing, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "change " << row.change << ", edit " << row.edit);
        const bool missing = row.change == MissingAtOpening || row.change == StillMissing;
        Installed installed(missing ? std::nullopt : std::optional<std::string>("Unu\r\n"));
        HANDLE held = row.change != HeldAtOpening
                          ? INVALID_HANDLE_VALUE
                          : CreateFileA(installed.texts.c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        MessageBoxWatcher boxes;
        ConfigDialog dialog;
        CloseHandle(held);
        size_t boxesAtOpening = boxes.Seen().size();
        EXPECT_EQ(boxesAtOpening, row.change == SavedByAnother ? 0u : 1u);
        const std::string theirs = "Salvat de alt program\r\n";
        if (row.change != StillMissing && row.change != HeldAtOpening) {
            WriteBytes(installed.texts, theirs);
        }
        if (row.edit == 1) {
            EXPECT_TRUE(EditList(dialog.Window(), IDC_CONFIG_VERSES));
        } else if (row.edit == 2) {
            ReplaceList(dialog.Record().Texts, dialog.Record().TextCount, TextSlotWidth,
                        {"Editat"});
        }
        dialog.Click(IDOK);
        EXPECT_TRUE(dialog.Ended());
        EXPECT_EQ(ReadBytes(installed.texts), row.change == StillMissing    ? ""
                                              : row.change == HeldAtOpening ? "Unu\r\n"
                                                                            : theirs);
        EXPECT_TRUE(FileExists(installed.texts));
        std::vector<std::string> beside = SavedBeside(installed);
        ASSERT_EQ(beside.size(), row.edit == 2 ? 1u : 0u);
        ASSERT_EQ(boxes.Seen().size(), boxesAtOpening + beside.size());
        if (row.edit == 2) {
            EXPECT_EQ(ReadBytes(beside[0]).substr(ReadBytes(beside[0]).size() - 8), "Editat\r\n");
            const std::string box = boxes.Seen().back().Text;
            EXPECT_NE(box.find(installed.texts), std::string::npos) << box;
            EXPECT_NE(box.find(beside[0]), std::string::npos) << box;
        }
        EXPECT_EQ(ReadBytes(installed.fonts), "Arial\r\n");
        EXPECT_TRUE(installed.key.Has("TextSpeed"));
        EXPECT_EQ(installed.key.Has("TextsFile") ? 1 : 0, 1) << "the key names the original";
    }
}

// Only the interval changed, the lists' dialogs at most opened and closed with OK: whatever the
// form of a list's file and however lossy its reading, and in whatever order the typefaces are,
// the file keeps every byte; the editor shows the verses of a file it reads whole.
TEST(ConfigDialog, UntouchedListsKeepEveryByteOfTheirFiles) {
    const Verses verses = {"Geneza 1:1", "Psalmul 23:1", "Ioan 3:16", "Începutul înţelepciunii"};
    std::wstring unicode = L"\uFEFF";
    for (const std::string& verse : verses) {
        unicode += WideFromUtf8(verse + "\r\n");
    }
    const struct {
        std::string bytes;
        Verses shown; // none: not looked at
    } files[] = {
        {CodePageFromUtf8("Geneza 1:1\r\nPsalmul 23:1\r\nIoan 3:16\r\nÎnceputul înţelepciunii\r\n",
                          1250),
         verses},
        {std::string(reinterpret_cast<const char*>(unicode.data()), unicode.size() * 2), verses},
        {std::string("\x62\x01r\0\xe3\0\r\0\n\0\x19\x02\r\0\n\0", 16), {}}, // UTF-16 LE, no mark
        {"Unu\rDoi\rTrei\r", {}},                                           // CR-only ends
        {std::string("Unu\0ascuns\r\nDoi\r\n", 18), {}},                    // a NUL in a line
        {"\xEF\xBB\xBFUnu \xff\xfe\r\n", {}},                               // bad UTF-8
        {"Verdana\r\nArial\r\n", {}},                                       // unsorted
    };
    RegisterDialogClasses(GetModuleHandleA(nullptr)); // the typefaces dialog holds a sample
    MessageBoxWatcher boxes;
    for (const auto& file : files) {
        Installed installed(file.bytes, file.bytes);
        ConfigDialog dialog;
        Verses shown;
        EXPECT_TRUE(EditList(dialog.Window(), IDC_CONFIG_VERSES,
                             [&](HWND editor) { shown = Editor(editor).Entries(); }));
        EXPECT_TRUE(EditList(dialog.Window(), IDC_CONFIG_FONTS));
        SetDlgItemTextA(dialog.Window(), IDC_CONFIG_SECONDS, "9");
        dialog.Click(IDOK);
        EXPECT_EQ(installed.key.Dword("TextSpeed"), 9000u);
        EXPECT_EQ(ReadBytes(installed.texts), file.bytes);
        EXPECT_EQ(ReadBytes(installed.fonts), file.bytes);
        if (!file.shown.empty()) {
            EXPECT_EQ(shown, file.shown);
        }
    }
    EXPECT_TRUE(NoBoxShown(boxes));
}

// A verses file that cannot be written: OK shows one box naming that list, and the dialog stays
// open with every edit; with the cause mended, OK again saves them and closes.
TEST(ConfigDialog, FailedListSaveKeepsTheDialogOpenWithTheEdits) {
    Installed installed;
    ASSERT_TRUE(SetFileAttributesA(installed.texts.c_str(), FILE_ATTRIBUTE_READONLY));
    MessageBoxWatcher boxes;
    ConfigDialog dialog;
    EXPECT_TRUE(EditList(dialog.Window(), IDC_CONFIG_VERSES,
                         [](HWND editor) { Editor(editor).Type("Schimbat"); }));
    dialog.Send(IDC_CONFIG_FADE, TBM_SETPOS, TRUE, 8);
    dialog.Click(IDOK);
    EXPECT_FALSE(dialog.Ended());
    ASSERT_EQ(boxes.Seen().size(), 1u);
    const SeenMessageBox box = boxes.Seen()[0];
    EXPECT_EQ(box.Owner, dialog.Window());
    EXPECT_EQ(box.Text.find(LoadedString(IDS_TEXTS_NOT_SAVED)), 0u) << box.Text;
    EXPECT_NE(box.Text.find(SystemMessage(ERROR_FILE_NOT_FOUND)), std::string::npos) << box.Text;
    EXPECT_EQ(box.Text.find(LoadedString(IDS_FONTS_NOT_SAVED)), std::string::npos) << box.Text;
    EXPECT_EQ(ReadBytes(installed.texts), "Unu\r\nDoi\r\n");
    EXPECT_FALSE(installed.key.Has("FadeSpeed")) << "a Cancel now leaves the key as it was";
    ASSERT_EQ(dialog.Record().TextCount, 2u);
    EXPECT_EQ(std::wstring(dialog.Record().Texts), L"Schimbat");
    EXPECT_EQ(ReadControls(dialog).Fade, 8);

    SetFileAttributesA(installed.texts.c_str(), FILE_ATTRIBUTE_NORMAL);
    dialog.Click(IDOK);
    EXPECT_TRUE(dialog.Ended());
    EXPECT_EQ(ReadBytes(installed.texts), "Schimbat\r\nDoi\r\n");
    EXPECT_EQ(installed.key.Dword("FadeSpeed"), 8u);
    EXPECT_EQ(boxes.Seen().size(), 1u);
}

// A verses file whose folder is away (an unplugged drive), untouched: the settings are saved.
TEST(ConfigDialog, UntouchedListInAMissingFolderLetsTheSettingsBeSaved) {
    Installed installed;
    installed.key.SetString("TextsFile", installed.dir.File("stick\\versete.txt"));
    MessageBoxWatcher boxes;
    ConfigDialog dialog;
    SetDlgItemTextA(dialog.Window(), IDC_CONFIG_SECONDS, "9");
    dialog.Click(IDOK);
    EXPECT_TRUE(dialog.Ended());
    EXPECT_EQ(installed.key.Dword("TextSpeed"), 9000u);
}

TEST(ConfigDialog, AboutOpensOwnedByTheDialogAndReturnsToIt) {
    Installed installed;
    ConfigDialog dialog;
    OpenedDialog about = DriveOpenedDialog(
        "Despre Verselume", [&] { dialog.Click(IDC_CONFIG_ABOUT); },
        [](HWND box) { PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); });
    ASSERT_NE(about.Window, nullptr);
    EXPECT_EQ(about.Owner, dialog.Window());
    EXPECT_FALSE(IsWindow(about.Window));
    EXPECT_FALSE(dialog.Ended());
    EXPECT_EQ(dialog.Record().TextCount, 2u) << "the About box leaves the settings alone";
}

// The creation parameter of the dialog with this title, seen by a hook on the dialog's thread.
LPARAM InitDialogParameter;
std::string InitDialogTitle;

LRESULT CALLBACK RecordInitDialog(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG &&
        TextOf(call->hwnd) == InitDialogTitle) {
        InitDialogParameter = call->lParam;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The verses editor and the typefaces dialog open from their templates with the configuration's
// record, owned by this dialog.
TEST(ConfigDialog, SubDialogCommandsRunTheirTemplatesWithTheRecord) {
    struct Row {
        int id;
        const char* templateName;
        const char* title;
    };
    const Row rows[] = {{IDC_CONFIG_VERSES, "TEXTSDLG", "Versete"},
                        {IDC_CONFIG_FONTS, "FONTSDLG", "Fonturi"}};
    Installed installed;
    MessageBoxWatcher boxes;
    // As the shell does before any dialog: the typefaces dialog holds a font sample control.
    RegisterDialogClasses(GetModuleHandleA(nullptr));
    ConfigDialog dialog;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.templateName);
        InitDialogParameter = 0;
        InitDialogTitle = CodePageFromUtf8(row.title, CP_ACP);
        HHOOK hook =
            SetWindowsHookExA(WH_CALLWNDPROC, RecordInitDialog, nullptr, GetCurrentThreadId());
        OpenedDialog opened = DriveOpenedDialog(
            row.title,
            [&] {
                EXPECT_EQ(ConfigDialogProc(dialog.Window(), WM_COMMAND,
                                           MAKEWPARAM(row.id, BN_CLICKED), 0),
                          TRUE);
            },
            [](HWND shown) { PostMessageA(shown, WM_COMMAND, IDCANCEL, 0); });
        UnhookWindowsHookEx(hook);
        EXPECT_FALSE(dialog.Ended());
        ASSERT_NE(opened.Window, nullptr) << "no dialog opened";
        EXPECT_EQ(opened.Owner, dialog.Window());
        EXPECT_EQ(InitDialogParameter, reinterpret_cast<LPARAM>(&dialog.Record()));
    }
    EXPECT_TRUE(NoBoxShown(boxes));

    // Notifications of the other controls are left to the system.
    EXPECT_EQ(
        ConfigDialogProc(dialog.Window(), WM_COMMAND, MAKEWPARAM(IDC_CONFIG_SECONDS, EN_CHANGE), 0),
        FALSE);
    EXPECT_EQ(ConfigDialogProc(dialog.Window(), WM_COMMAND,
                               MAKEWPARAM(IDC_CONFIG_POLICY, CBN_SELCHANGE), 0),
              FALSE);
    EXPECT_FALSE(dialog.Ended());
}

} // namespace
