#include "fonts_dialog.h"

#include "config_dialog.h"
#include "error_codes.h"
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
#include "support/texts_dialog_harness.h"
#include "support/typefaces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// A record holding a typefaces block built from names.
struct Record : ListRecord {
    explicit Record(const Names& names = {}) : ListRecord({}, names) {}
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

TEST(FontsDialogOpening, ChosenTypefacesStayOutOfTheAvailableList) {
    Names installed = InstalledAtLeast(4);
    // In byte-wise order, as a fonts file written from the selected list usually is; one name
    // is no longer installed.
    Names chosen = Sorted({installed[0], installed[2], installed[3], "Verselume Retired Face"});
    Record record(chosen);
    MessageBoxWatcher boxes;
    FontsDialog dialog(record);
    EXPECT_EQ(Sorted(dialog.ListEntries(IDC_FONTS_AVAILABLE)), Sorted(Without(installed, chosen)));
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), InListOrder(chosen));
    EXPECT_TRUE(dialog.SampleEmpty());
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_AVAILABLE), 0);
    EXPECT_EQ(dialog.HighlightCount(IDC_FONTS_SELECTED), 0);
    EXPECT_EQ(GetFocus(), dialog.Control(IDC_FONTS_ADD));
    EXPECT_TRUE(boxes.Seen().empty());
    // The record is only read.
    EXPECT_EQ(FontsOf(record), chosen);
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
            HeapRelease(record.Fonts);
            record.Fonts = nullptr;
        }
        record.FontCount = c.count;
        FontsDialog dialog(record);
        EXPECT_EQ(Sorted(dialog.ListEntries(IDC_FONTS_AVAILABLE)), Sorted(installed)) << c.what;
        EXPECT_TRUE(dialog.ListEntries(IDC_FONTS_SELECTED).empty()) << c.what;
        record.FontCount = c.block ? 1 : 0;
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
    FontsDialog dialog(record);
    EXPECT_EQ(Occurrences(dialog.ListEntries(IDC_FONTS_AVAILABLE), missed), 1u);
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), chosen);

    dialog.Highlight(IDC_FONTS_AVAILABLE, missed);
    dialog.Command(IDC_FONTS_ADD);
    EXPECT_EQ(Occurrences(dialog.ListEntries(IDC_FONTS_AVAILABLE), missed), 0u);
    EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), (Names{"aurora", "bembo", missed, missed}));
    dialog.Command(IDOK);
    EXPECT_EQ(FontsOf(record), (Names{"aurora", "bembo", missed, missed}));
}

// A selected list that did not take every typeface is not the record's list: one box by the
// refusal's kind, and OK leaves the record as it was.
TEST(FontsDialogOpening, SelectedListThatRefusesATypefaceKeepsTheRecordOnOk) {
    Names chosen = Sorted({"Verselume Retired Face", "Verselume Second Face"});
    for (auto [refusal, code] :
         {std::pair{LB_ERRSPACE, ErrorOutOfMemory}, std::pair{LB_ERR, ErrorInvalidParameter}}) {
        Record record(chosen);
        MessageBoxWatcher boxes;
        ControlSpy spy({{IDC_FONTS_SELECTED, LB_ADDSTRING, refusal, 1}});
        FontsDialog dialog(record);
        EXPECT_EQ(dialog.ListEntries(IDC_FONTS_SELECTED), Names{chosen[0]});
        EXPECT_EQ(ErrorTexts(boxes, dialog.Window()), Names{ErrorText(code)});
        dialog.Command(IDOK);
        EXPECT_EQ(FontsOf(record), chosen);
    }
}

TEST(FontsDialogMoves, SeveralEntriesLandInTheirSortedPlaces) {
    Names installed = InstalledAtLeast(6);
    Record record;
    MessageBoxWatcher boxes;
    FontsDialog dialog(record);
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
    FontsDialog dialog(record);
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
    FontsDialog dialog(record);
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
    FontsDialog dialog(record);
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

TEST(FontsDialogClosing, OkWithAnEmptySelectedListLeavesNoBlock) {
    Names installed = InstalledAtLeast(1);
    Record record({installed[0], "Verselume Retired Face"});
    FontsDialog dialog(record);
    dialog.Highlight(IDC_FONTS_SELECTED, -1);
    dialog.Command(IDC_FONTS_REMOVE);
    EXPECT_TRUE(dialog.ListEntries(IDC_FONTS_SELECTED).empty());
    // A name that is not installed goes to the available list like any other.
    EXPECT_EQ(Occurrences(dialog.ListEntries(IDC_FONTS_AVAILABLE), "Verselume Retired Face"), 1u);
    const WideChar* previous = record.Fonts;
    dialog.Command(IDOK);
    EXPECT_FALSE(IsProcessHeapBlock(previous)) << "the replaced block is released";
    EXPECT_EQ(record.Fonts, nullptr);
    EXPECT_EQ(record.FontCount, 0u);
}

TEST(FontsDialogArrows, RightArrowAddsLeftArrowRemovesOnTheButtonFace) {
    Record record;
    FontsDialog dialog(record);
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
        Names opened;
        Names chosen;
        EXPECT_TRUE(EditList(config.Window(), IDC_CONFIG_FONTS, [&](HWND shown) {
            FontsDialog dialog(shown);
            opened = dialog.ListEntries(IDC_FONTS_SELECTED);
            // Two installed typefaces in, then the selected list's first entry out.
            dialog.Highlight(IDC_FONTS_AVAILABLE, 0);
            dialog.Highlight(IDC_FONTS_AVAILABLE, 2);
            dialog.Command(IDC_FONTS_ADD);
            dialog.Highlight(IDC_FONTS_SELECTED, 0);
            dialog.Command(IDC_FONTS_REMOVE);
            chosen = dialog.ListEntries(IDC_FONTS_SELECTED);
        }));
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
    FontEnumContext chosen{list, record.Fonts, 1};
    EXPECT_EQ(AddAvailableTypeface(&font, nullptr, 0, reinterpret_cast<LPARAM>(&chosen)), 1);
    DestroyWindow(list);
}

} // namespace
