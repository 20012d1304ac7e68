#include "fonts_dialog.h"

#include "config_dialog.h"
#include "font_sample.h"
#include "platform.h"
#include "resource_ids.h"
#include "saver_settings.h"
#include "support/dialogs.h"
#include "support/heap.h"
#include "support/installed.h"
#include "support/messages.h"
#include "support/pixels.h"
#include "support/records.h"
#include "support/registry.h"
#include "support/text_conversion.h"
#include "support/typefaces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// A record holding a typefaces block built from names, released at the end as the
// configuration dialog would release it.
struct Record {
    SaverSettings settings{};

    Record() = default;
    explicit Record(const Names& names) {
        ReplaceList(settings.Fonts, settings.FontCount, FontSlotWidth, names);
    }
    ~Record() { ReplaceList(settings.Fonts, settings.FontCount, FontSlotWidth, {}); }

    Names FontNames() const {
        return Utf8Entries(settings.Fonts, settings.FontCount, FontSlotWidth);
    }
};

// The typefaces dialog's template, its sample's window class registered as the configuration
// dialog registers it first.
const wchar_t* FontsTemplate() {
    RegisterSampleClass();
    return L"FONTSDLG";
}

// The typefaces dialog with the record as parameter; the test plays the user by highlighting
// entries and sending the commands the clicks would send.
class FontsDialog : public ModelessDialog {
  public:
    explicit FontsDialog(SaverSettings& record)
        : ModelessDialog(FontsTemplate(), FontsDialogProc, reinterpret_cast<LPARAM>(&record)) {}
    explicit FontsDialog(HWND opened) : ModelessDialog(opened) {}

    int Position(int list, const std::string& name) const {
        Names names = ListEntries(list);
        auto found = std::find(names.begin(), names.end(), name);
        EXPECT_NE(found, names.end()) << name << " is not in list " << list;
        return static_cast<int>(found - names.begin());
    }
    void Highlight(int list, int position, bool on = true) const {
        Send(list, LB_SETSEL, on, position);
    }
    void Highlight(int list, const std::string& name, bool on = true) const {
        Highlight(list, Position(list, name), on);
    }
    int HighlightCount(int list) const { return static_cast<int>(Send(list, LB_GETSELCOUNT)); }
    // What a list sends when the user's click changed its highlight.
    void Report(int list, WORD notification = LBN_SELCHANGE) const {
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(list, notification),
                     reinterpret_cast<LPARAM>(Control(list)));
    }
    // All 32 units of the sample's name buffer.
    std::wstring SampleBuffer() const {
        auto* buffer = reinterpret_cast<const wchar_t*>(
            GetWindowLongPtrW(Control(IDC_FONTS_SAMPLE), GWLP_USERDATA));
        return buffer != nullptr ? std::wstring(buffer, FontSlotWidth) : std::wstring();
    }
    std::string SampleName() const { return Utf8FromWide(SampleBuffer().c_str()); }
    bool SampleEmpty() const { return SampleBuffer() == std::wstring(FontSlotWidth, L'\0'); }
};

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

// In the order the lists keep: case-insensitive by the user's locale.
Names InListOrder(Names names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiW(WideFromUtf8(a).c_str(), WideFromUtf8(b).c_str()) < 0;
    });
    return names;
}

Names Without(const Names& names, const Names& removed) {
    Names rest;
    for (const std::string& name : names) {
        if (std::find(removed.begin(), removed.end(), name) == removed.end()) {
            rest.push_back(name);
        }
    }
    return rest;
}

size_t Occurrences(const Names& names, const std::string& name) {
    return static_cast<size_t>(std::count(names.begin(), names.end(), name));
}

Names InstalledAtLeast(size_t count) {
    Names installed = InstalledTypefaces();
    EXPECT_GE(installed.size(), count) << "these tests need " << count << " typefaces installed";
    return installed;
}

TEST(FontsDialogTemplate, HoldsTheControlsTheCodeUsesInTabOrder) {
    RegisterDialogClasses(GetModuleHandleA(nullptr));
    ExpectDialogControls("FONTSDLG", "Fonturi",
                         {
                             {-1, "STATIC", "Fonturi disponibile:"},
                             {IDC_FONTS_AVAILABLE, "LISTBOX", ""},
                             {-1, "STATIC", "Fonturi selectate:"},
                             {IDC_FONTS_SELECTED, "LISTBOX", ""},
                             {IDC_FONTS_ADD, "BUTTON", ""},
                             {IDC_FONTS_REMOVE, "BUTTON", ""},
                             {IDC_FONTS_SAMPLE, "FontSampleClass", ""},
                             {IDOK, "BUTTON", "&OK"},
                             {IDCANCEL, "BUTTON", "&Renunţă"},
                         },
                         {IDC_FONTS_ADD, IDC_FONTS_REMOVE, IDOK, IDCANCEL});
}

TEST(FontsDialogOpening, ChosenTypefacesStayOutOfTheAvailableList) {
    Names installed = InstalledAtLeast(4);
    // In byte-wise order, as a fonts file written from the selected list usually is; one name
    // is no longer installed.
    Names chosen = Sorted({installed[0], installed[2], installed[3], "Verselume Retired Face"});
    Record record(chosen);
    MessageBoxWatcher boxes;
    FontsDialog dialog(record.settings);
    EXPECT_EQ(Sorted(dialog.ListEntries(IDC_FONTS_AVAILABLE)), Sorted(Without(installed, chosen)));
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), InListOrder(chosen));
    EXPECT_TRUE(dialog.SampleEmpty());
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_AVAILABLE), 0);
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_SELECTED), 0);
    EXPECT_EQ(GetFocus(), dialog.Control(IDC_FONTS_ADD));
    EXPECT_TRUE(boxes.Seen().empty());
    // The record is only read.
    EXPECT_EQ(record.FontNames(), chosen);
}

TEST(FontsDialogOpening, WithoutABlockEveryTypefaceIsAvailable) {
    Names installed = InstalledAtLeast(1);
    struct Case {
        const char* what;
        bool block;
        uint32_t count;
    };
    const Case cases[] = {
        {"no block, count 0", false, 0},
        {"a block but count 0", true, 0},
        {"no block but a count", false, 3},
    };
    for (const Case& c : cases) {
        Record record(c.block ? Names{installed[0]} : Names{});
        if (!c.block) {
            HeapRelease(record.settings.Fonts);
            record.settings.Fonts = nullptr;
        }
        record.settings.FontCount = c.count;
        FontsDialog dialog(record.settings);
        EXPECT_EQ(Sorted(dialog.ListEntries(IDC_FONTS_AVAILABLE)), Sorted(installed)) << c.what;
        EXPECT_TRUE(dialog.ListEntries(IDC_FONTS_SELECTED).empty()) << c.what;
        record.settings.FontCount = c.block ? 1 : 0;
    }
}

TEST(FontsDialogOpening, UnsortedBlockShowsAChosenTypefaceInBothLists) {
    Names installed = InstalledTypefaces();
    // An installed name with a capital initial after B; two names with small initials come
    // before it in the selected list's order but after it byte-wise, so the binary search
    // over the block, taken in list order, misses it.
    auto found = std::find_if(installed.begin(), installed.end(),
                              [](const std::string& n) { return n[0] >= 'C' && n[0] <= 'Z'; });
    ASSERT_NE(found, installed.end()) << "no installed name begins with a capital after B";
    std::string missed = *found;
    Names chosen = {"aurora", "bembo", missed};
    ASSERT_EQ(InListOrder(chosen), chosen);
    Record record(chosen);
    FontsDialog dialog(record.settings);
    EXPECT_EQ(Occurrences(dialog.ListEntries(IDC_FONTS_AVAILABLE), missed), 1u);
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), chosen);

    dialog.Highlight(IDC_FONTS_AVAILABLE, missed);
    dialog.Command(IDC_FONTS_ADD);
    EXPECT_EQ(Occurrences(dialog.ListEntries(IDC_FONTS_AVAILABLE), missed), 0u);
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), (Names{"aurora", "bembo", missed, missed}));
    dialog.Command(IDOK);
    EXPECT_EQ(record.FontNames(), (Names{"aurora", "bembo", missed, missed}));
}

TEST(FontsDialogMoves, SeveralEntriesLandInTheirSortedPlaces) {
    Names installed = InstalledAtLeast(6);
    Record record;
    MessageBoxWatcher boxes;
    FontsDialog dialog(record.settings);
    const Names available = dialog.ListEntries(IDC_FONTS_AVAILABLE);

    // Two entries first, then three more that fall before, between and after them.
    Names first = {available[1], available[4]};
    dialog.Highlight(IDC_FONTS_AVAILABLE, 1);
    dialog.Highlight(IDC_FONTS_AVAILABLE, 4);
    dialog.Report(IDC_FONTS_AVAILABLE);
    EXPECT_EQ(dialog.SampleName(), available[1]);
    dialog.Command(IDC_FONTS_ADD);
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), first);
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_AVAILABLE), Without(available, first));

    Names second = {available[0], available[2], available.back()};
    for (const std::string& name : second) {
        dialog.Highlight(IDC_FONTS_AVAILABLE, name);
    }
    dialog.Report(IDC_FONTS_AVAILABLE);
    EXPECT_EQ(dialog.SampleName(), available[0]);
    dialog.Command(IDC_FONTS_ADD);
    Names moved = {available[0], available[1], available[2], available[4], available.back()};
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), moved);
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_AVAILABLE), Without(available, moved));
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_AVAILABLE), 0);
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_SELECTED), 0);
    EXPECT_TRUE(dialog.SampleEmpty());

    // And back: each returns to its old place among the available ones.
    dialog.Highlight(IDC_FONTS_SELECTED, 1);
    dialog.Highlight(IDC_FONTS_SELECTED, 3);
    dialog.Report(IDC_FONTS_SELECTED);
    EXPECT_EQ(dialog.SampleName(), moved[1]);
    dialog.Command(IDC_FONTS_REMOVE);
    Names kept = {moved[0], moved[2], moved[4]};
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), kept);
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_AVAILABLE), Without(available, kept));
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_AVAILABLE), 0);
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_SELECTED), 0);
    EXPECT_TRUE(dialog.SampleEmpty());
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST(FontsDialogMoves, AnArrowWithNothingHighlightedChangesNothing) {
    Names installed = InstalledAtLeast(4);
    Record record({installed[0], installed[1]});
    FontsDialog dialog(record.settings);
    struct Case {
        int arrow;
        int highlighted; // the other list, whose highlight and sample must survive
    };
    for (Case c :
         {Case{IDC_FONTS_ADD, IDC_FONTS_SELECTED}, Case{IDC_FONTS_REMOVE, IDC_FONTS_AVAILABLE}}) {
        dialog.Highlight(c.highlighted, 1);
        dialog.Report(c.highlighted);
        std::string shown = dialog.SampleName();
        ASSERT_FALSE(shown.empty());
        Names available = dialog.ListEntries(IDC_FONTS_AVAILABLE);
        Names selected = dialog.ListEntries(IDC_FONTS_SELECTED);
        dialog.Command(c.arrow);
        EXPECT_EQ(dialog.ListEntries(IDC_FONTS_AVAILABLE), available);
        EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), selected);
        EXPECT_EQ(dialog.HighlightCount(c.highlighted), 1);
        EXPECT_EQ(dialog.SampleName(), shown);
        dialog.Highlight(c.highlighted, -1, false);
    }
}

TEST(FontsDialogSample, ShowsTheLowestHighlightOfTheListThatReported) {
    Names installed = InstalledAtLeast(6);
    Record record(Sorted({installed[0], installed[1]}));
    FontsDialog dialog(record.settings);
    Names available = dialog.ListEntries(IDC_FONTS_AVAILABLE);
    Names selected = dialog.ListEntries(IDC_FONTS_SELECTED);

    // Highlighted from the bottom up: the lowest position wins, not the latest.
    dialog.Highlight(IDC_FONTS_AVAILABLE, 3);
    dialog.Highlight(IDC_FONTS_AVAILABLE, 1);
    dialog.Report(IDC_FONTS_AVAILABLE);
    EXPECT_EQ(dialog.SampleName(), available[1]);
    std::wstring name = WideFromUtf8(available[1]);
    EXPECT_EQ(dialog.SampleBuffer(), name + std::wstring(FontSlotWidth - name.size(), L'\0'));

    // The other list takes over; the first keeps its highlight.
    dialog.Highlight(IDC_FONTS_SELECTED, 1);
    dialog.Report(IDC_FONTS_SELECTED);
    EXPECT_EQ(dialog.SampleName(), selected[1]);
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_AVAILABLE), 2);

    // Other notifications of the lists leave the sample alone.
    dialog.Report(IDC_FONTS_AVAILABLE, LBN_DBLCLK);
    dialog.Report(IDC_FONTS_AVAILABLE, LBN_SETFOCUS);
    EXPECT_EQ(dialog.SampleName(), selected[1]);

    dialog.Report(IDC_FONTS_AVAILABLE);
    EXPECT_EQ(dialog.SampleName(), available[1]);
    dialog.Highlight(IDC_FONTS_AVAILABLE, 1, false);
    dialog.Report(IDC_FONTS_AVAILABLE);
    EXPECT_EQ(dialog.SampleName(), available[3]);

    // The reporting list's last highlight goes: the sample clears, whatever the other holds.
    dialog.Highlight(IDC_FONTS_SELECTED, 1, false);
    dialog.Report(IDC_FONTS_SELECTED);
    EXPECT_TRUE(dialog.SampleEmpty());
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_AVAILABLE), 1);
}

TEST(FontsDialogSample, ReachesTheScreen) {
    Names installed = InstalledAtLeast(1);
    Record record({installed[0]});
    FontsDialog dialog(record.settings);
    dialog.Highlight(IDC_FONTS_SELECTED, 0);
    dialog.Report(IDC_FONTS_SELECTED);
    // Wine puts a window's drawing on the X screen while the thread handles messages.
    for (int i = 0; i < 5; ++i) {
        PumpMessages();
        Sleep(20);
    }
    HWND sample = dialog.Control(IDC_FONTS_SAMPLE);
    std::vector<uint32_t> onScreen = ReadScreen(sample).values;
    EXPECT_EQ(onScreen, ReadClient(sample).values);
    uint32_t face = GetSysColor(COLOR_BTNFACE);
    uint32_t faceRgb = GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
    EXPECT_NE(std::count(onScreen.begin(), onScreen.end(), faceRgb),
              static_cast<std::ptrdiff_t>(onScreen.size()))
        << "the sample shows nothing";
}

TEST(FontsDialogClosing, OkStoresTheSelectedListInItsOrder) {
    Names installed = InstalledAtLeast(3);
    // A localized name is listed and kept as it is.
    Record record({"Verselume Retired Face", "宋体 Ștefan"});
    MessageBoxWatcher boxes;
    FontsDialog dialog(record.settings);
    EXPECT_EQ(Occurrences(dialog.ListEntries(IDC_FONTS_AVAILABLE), "Verselume Retired Face"), 0u);
    dialog.Highlight(IDC_FONTS_AVAILABLE, installed[2]);
    dialog.Highlight(IDC_FONTS_AVAILABLE, installed[0]);
    dialog.Command(IDC_FONTS_ADD);
    Names selected = dialog.ListEntries(IDC_FONTS_SELECTED);
    ASSERT_EQ(selected.size(), 4u);
    EXPECT_EQ(Occurrences(selected, "Verselume Retired Face"), 1u);
    EXPECT_EQ(Occurrences(selected, "宋体 Ștefan"), 1u);

    const WideChar* previous = record.settings.Fonts;
    dialog.Command(IDOK);
    EXPECT_FALSE(IsWindowVisible(dialog.Window()));
    EXPECT_FALSE(IsProcessHeapBlock(previous)) << "the replaced block is released";
    EXPECT_TRUE(IsProcessHeapBlock(record.settings.Fonts));
    ASSERT_EQ(record.settings.FontCount, 4u);
    // Slot by slot, the units after each name zero.
    Record expected(selected);
    EXPECT_EQ(memcmp(record.settings.Fonts, expected.settings.Fonts,
                     4 * FontSlotWidth * sizeof(WideChar)),
              0);
    EXPECT_EQ(record.FontNames(), selected);
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST(FontsDialogClosing, OkWithAnEmptySelectedListLeavesNoBlock) {
    Names installed = InstalledAtLeast(1);
    Record record({installed[0], "Verselume Retired Face"});
    FontsDialog dialog(record.settings);
    dialog.Highlight(IDC_FONTS_SELECTED, -1);
    dialog.Command(IDC_FONTS_REMOVE);
    EXPECT_TRUE(dialog.ListEntries(IDC_FONTS_SELECTED).empty());
    // A name that is not installed goes to the available list like any other.
    EXPECT_EQ(Occurrences(dialog.ListEntries(IDC_FONTS_AVAILABLE), "Verselume Retired Face"), 1u);
    const WideChar* previous = record.settings.Fonts;
    dialog.Command(IDOK);
    EXPECT_FALSE(IsProcessHeapBlock(previous)) << "the replaced block is released";
    EXPECT_EQ(record.settings.Fonts, nullptr);
    EXPECT_EQ(record.settings.FontCount, 0u);
}

TEST(FontsDialogClosing, CancelLeavesTheRecordExactlyAsItWas) {
    Names installed = InstalledAtLeast(4);
    struct Case {
        const char* how;
        void (*close)(FontsDialog&);
    };
    const Case cases[] = {
        {"Renun\xfe\xe3 button", [](FontsDialog& d) { d.Command(IDCANCEL); }},
        {"Escape key",
         [](FontsDialog& d) {
             MSG key{d.Control(IDC_FONTS_ADD), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
             IsDialogMessageA(d.Window(), &key);
         }},
        {"close box",
         [](FontsDialog& d) {
             SendMessageA(d.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
             PumpMessages();
         }},
    };
    for (const Case& c : cases) {
        Record record(Sorted({installed[1], installed[3], "Verselume Retired Face"}));
        record.settings.TextSpeed = 7000;
        record.settings.Options = 6;
        std::array<char, sizeof(SaverSettings)> before;
        memcpy(before.data(), &record.settings, sizeof before);
        Names names = record.FontNames();
        const char* block = reinterpret_cast<const char*>(record.settings.Fonts);
        std::string bytes(block, 3 * FontSlotWidth * sizeof(WideChar));

        FontsDialog dialog(record.settings);
        dialog.Highlight(IDC_FONTS_SELECTED, 0);
        dialog.Highlight(IDC_FONTS_SELECTED, 2);
        dialog.Command(IDC_FONTS_REMOVE);
        dialog.Highlight(IDC_FONTS_AVAILABLE, 0);
        dialog.Command(IDC_FONTS_ADD);
        c.close(dialog);

        EXPECT_FALSE(IsWindowVisible(dialog.Window())) << c.how;
        EXPECT_EQ(memcmp(before.data(), &record.settings, sizeof before), 0) << c.how;
        EXPECT_EQ(std::string(block, bytes.size()), bytes) << c.how;
        EXPECT_EQ(record.FontNames(), names) << c.how;
    }
}

TEST(FontsDialogClosing, OkAndCancelEndWithZeroAndReleaseTheArrows) {
    RegisterSampleClass();
    for (int command : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(command == IDOK ? "OK" : "Cancel");
        Record record;
        DWORD threadId = GetCurrentThreadId();
        HBITMAP right = nullptr;
        HBITMAP left = nullptr;
        bool focused = false;
        bool driven = false;
        INT_PTR result = RunModalDialog(
            "FONTSDLG", FontsDialogProc, reinterpret_cast<LPARAM>(&record.settings), nullptr,
            "Fonturi",
            [&](HWND dialog) {
                right = reinterpret_cast<HBITMAP>(
                    SendDlgItemMessageA(dialog, IDC_FONTS_ADD, BM_GETIMAGE, IMAGE_BITMAP, 0));
                left = reinterpret_cast<HBITMAP>(
                    SendDlgItemMessageA(dialog, IDC_FONTS_REMOVE, BM_GETIMAGE, IMAGE_BITMAP, 0));
                GUITHREADINFO thread{};
                thread.cbSize = sizeof thread;
                GetGUIThreadInfo(threadId, &thread);
                focused = thread.hwndFocus == GetDlgItem(dialog, IDC_FONTS_ADD);
                EXPECT_EQ(GetObjectType(right), static_cast<DWORD>(OBJ_BITMAP));
                EXPECT_EQ(GetObjectType(left), static_cast<DWORD>(OBJ_BITMAP));
                PostMessageA(GetDlgItem(dialog, command), BM_CLICK, 0, 0);
            },
            &driven);
        EXPECT_TRUE(driven);
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(focused) << "the right arrow, the first tab stop, has the focus";
        ASSERT_NE(right, nullptr);
        EXPECT_NE(right, left);
        EXPECT_EQ(GetObjectType(right), 0u) << "released";
        EXPECT_EQ(GetObjectType(left), 0u) << "released";
    }
}

TEST(FontsDialogArrows, RightArrowAddsLeftArrowRemovesOnTheButtonFace) {
    Record record;
    FontsDialog dialog(record.settings);
    uint32_t face = GetSysColor(COLOR_3DFACE);
    uint32_t faceRgb = GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
    struct Case {
        int button;
        int tipX;  // the black point of the arrow, on its middle row
        int backX; // the opposite end of the row above, background
        int tealX;
    };
    for (Case c : {Case{IDC_FONTS_ADD, 9, 9, 2}, Case{IDC_FONTS_REMOVE, 0, 0, 7}}) {
        auto image = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(dialog.Window(), c.button, BM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(image, nullptr);
        BITMAP size{};
        GetObjectA(image, sizeof size, &size);
        EXPECT_EQ(size.bmWidth, 10);
        EXPECT_EQ(size.bmHeight, 11);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, image);
        Pixels pixels = ReadDc(dc, 0, 0, 10, 11);
        SelectObject(dc, previous);
        DeleteDC(dc);
        auto at = [&](int x, int y) { return pixels.At(x, y); };
        EXPECT_EQ(at(c.tipX, 5), 0x000000u) << "button " << c.button;
        EXPECT_EQ(at(c.backX, 4), faceRgb) << "button " << c.button;
        EXPECT_EQ(at(9 - c.backX, 4), 0x000000u) << "button " << c.button;
        EXPECT_EQ(at(c.tealX, 5), 0x008080u) << "button " << c.button;
        EXPECT_EQ(at(0, 0), faceRgb);
    }
}

// The whole way as a user goes it: the configuration dialog's Fonturi... button opens the
// typefaces dialog; the choice made there reaches the fonts file when the configuration dialog
// is confirmed, and only then.
TEST(FontsDialogEndToEnd, ConfigurationOkWritesTheChosenTypefacesInListOrder) {
    Names installed = InstalledAtLeast(4);
    RegisterSampleClass();
    MessageBoxWatcher boxes;
    for (int close : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(close == IDOK ? "configuration OK" : "configuration Cancel");
        const std::string verses = "La inceput era Cuvantul.\r\n";
        const std::string before = installed[1] + "\r\nVerselume Retired Face\r\n";
        Installed lists(verses, before);

        ModelessDialog config(MAKEINTRESOURCEW(IDD_CONFIG), ConfigDialogProc, 0);
        EXPECT_EQ(TextOf(config.Control(IDC_CONFIG_FONTS)), "&Fonturi...");
        Names opened;
        Names chosen;
        OpenedDialog fonts = DriveOpenedDialog(
            "Fonturi", [&] { config.Click(IDC_CONFIG_FONTS); },
            [&](HWND shown) {
                FontsDialog dialog(shown);
                opened = dialog.ListEntries(IDC_FONTS_SELECTED);
                // Two installed typefaces in, then the selected list's first entry out.
                dialog.Highlight(IDC_FONTS_AVAILABLE, 0);
                dialog.Highlight(IDC_FONTS_AVAILABLE, 2);
                dialog.Command(IDC_FONTS_ADD);
                dialog.Highlight(IDC_FONTS_SELECTED, 0);
                dialog.Command(IDC_FONTS_REMOVE);
                chosen = dialog.ListEntries(IDC_FONTS_SELECTED);
                PostMessageA(dialog.Control(IDOK), BM_CLICK, 0, 0);
            });
        ASSERT_NE(fonts.Window, nullptr) << "the Fonturi... button opened no typefaces dialog";
        EXPECT_FALSE(IsWindow(fonts.Window));
        config.Click(close);
        EXPECT_TRUE(config.Ended());
        EXPECT_EQ(opened, InListOrder({installed[1], "Verselume Retired Face"}));
        ASSERT_EQ(chosen.size(), 3u);
        std::string written;
        for (const std::string& name : chosen) {
            written += name + "\r\n";
        }
        EXPECT_EQ(ReadBytes(lists.fonts), close == IDOK ? written : before);
        EXPECT_EQ(ReadBytes(lists.texts), verses);
    }
    EXPECT_TRUE(boxes.Seen().empty());
}

// The enumeration callback on its own, for what the real enumeration never provokes.
LRESULT CALLBACK RefusingList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LB_ADDSTRING) {
        return LB_ERR;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(AddAvailableTypeface, StopsWithTheReasonInTheLastError) {
    LOGFONTW font{};
    lstrcpyW(font.lfFaceName, L"DejaVu Sans");
    SetLastError(0);
    EXPECT_EQ(AddAvailableTypeface(&font, nullptr, TRUETYPE_FONTTYPE, 0), 0);
    EXPECT_EQ(GetLastError(), 87u);
    FontEnumContext noList{nullptr, nullptr, 0};
    SetLastError(0);
    EXPECT_EQ(AddAvailableTypeface(&font, nullptr, 0, reinterpret_cast<LPARAM>(&noList)), 0);
    EXPECT_EQ(GetLastError(), 87u);

    WNDCLASSA refusing{};
    refusing.lpfnWndProc = RefusingList;
    refusing.hInstance = GetModuleHandleA(nullptr);
    refusing.lpszClassName = "RefusingList";
    ASSERT_NE(RegisterClassA(&refusing), 0);
    HWND list = CreateWindowExA(0, "RefusingList", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    FontEnumContext context{list, nullptr, 0};
    SetLastError(0);
    EXPECT_EQ(AddAvailableTypeface(&font, nullptr, 0, reinterpret_cast<LPARAM>(&context)), 0);
    EXPECT_EQ(GetLastError(), 14u);
    // An error already pending is the one reported.
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(AddAvailableTypeface(&font, nullptr, 0, reinterpret_cast<LPARAM>(&context)), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // A chosen name is never offered to the list, so nothing can fail.
    Record record({"DejaVu Sans"});
    FontEnumContext chosen{list, record.settings.Fonts, 1};
    EXPECT_EQ(AddAvailableTypeface(&font, nullptr, 0, reinterpret_cast<LPARAM>(&chosen)), 1);
    DestroyWindow(list);
}

} // namespace
