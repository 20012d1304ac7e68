#include "font_sample.h"
#include "resource_ids.h"
#include "support/pixels.h"
#include "support/test_fonts.h"
#include "support/typefaces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr UINT SampleFormat =
    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS | DT_NOPREFIX;

// A sample control of the given client size inside a plain popup, as the dialog holds one.
class Sample {
  public:
    Sample(int width, int height) {
        RegisterSampleClass();
        parent_ =
            CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, width + 40, height + 40,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        window_ = CreateWindowExW(0, FontSampleClass, L"", WS_CHILD | WS_VISIBLE, 20, 20, width,
                                  height, parent_, reinterpret_cast<HMENU>(304),
                                  GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(window_, nullptr) << "cannot create the sample control";
        UpdateWindow(parent_);
    }
    ~Sample() { DestroyWindow(parent_); }

    HWND Window() const { return window_; }
    LRESULT SetName(const wchar_t* name) {
        LRESULT answer = SendMessageW(window_, FSM_SETFACENAME, 0, reinterpret_cast<LPARAM>(name));
        UpdateWindow(window_);
        return answer;
    }
    LRESULT SetName(const std::wstring& name) { return SetName(name.c_str()); }
    // All 32 units of the control's name buffer.
    std::wstring Buffer() const {
        auto* buffer = reinterpret_cast<const wchar_t*>(GetWindowLongPtrW(window_, GWLP_USERDATA));
        return buffer != nullptr ? std::wstring(buffer, 32) : std::wstring();
    }
    std::vector<uint32_t> Pixels() const { return ReadClient(window_).values; }

  private:
    HWND parent_ = nullptr;
    HWND window_ = nullptr;
};

uint32_t Rgb(COLORREF colour) {
    return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

// What the control should show: the name in the given height and format over the button face.
std::vector<uint32_t> Expected(int width, int height, const std::wstring& name, int fontHeight,
                               UINT format) {
    MemorySurface surface(width, height, GetSysColor(COLOR_BTNFACE));
    HDC dc = surface.dc;
    RECT all{0, 0, width, height};
    LOGFONTW description{};
    description.lfHeight = fontHeight;
    lstrcpynW(description.lfFaceName, name.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, name.c_str(), -1, &all, format);
    SelectObject(dc, previousFont);
    DeleteObject(font);
    return surface.Read().values;
}

bool OnlyBackground(const std::vector<uint32_t>& pixels) {
    uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
    for (uint32_t pixel : pixels) {
        if (pixel != face) {
            return false;
        }
    }
    return !pixels.empty();
}

std::wstring FirstInstalledTypeface() {
    std::vector<std::string> names = InstalledTypefaces();
    EXPECT_FALSE(names.empty()) << "no typeface installed";
    // The names of the typefaces Wine installs are ASCII.
    std::string name = names.empty() ? std::string("Arial") : names.front();
    return std::wstring(name.begin(), name.end());
}

TEST(RegisterDialogClasses, RegistersTheSampleClassOnce) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    ATOM atom = RegisterDialogClasses(instance);
    EXPECT_NE(atom, 0);
    // A Unicode class, as the dialogs that hold it are Unicode windows.
    WNDCLASSEXW found{};
    found.cbSize = sizeof found;
    ASSERT_TRUE(GetClassInfoExW(instance, L"FontSampleClass", &found));
    EXPECT_EQ(found.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(found.lpfnWndProc, FontSampleProc);
    EXPECT_EQ(found.cbClsExtra, 0);
    EXPECT_EQ(found.cbWndExtra, 4);
    EXPECT_EQ(found.hIcon, nullptr);
    EXPECT_EQ(found.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(found.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    EXPECT_EQ(found.lpszMenuName, nullptr);
    // A second registration in the same process fails and says so.
    EXPECT_EQ(RegisterDialogClasses(instance), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
}

TEST(FontSample, KeepsTheLastNameInItsZeroFilledBuffer) {
    Sample sample(200, 40);
    EXPECT_EQ(sample.Buffer(), std::wstring(32, L'\0'));
    struct Case {
        const wchar_t* name;
        std::wstring buffer;
    };
    const std::wstring full31 = L"Thirty-one characters of a name";
    const Case cases[] = {
        {L"DejaVu Sans", std::wstring(L"DejaVu Sans") + std::wstring(21, L'\0')},
        {L"Arial", std::wstring(L"Arial") + std::wstring(27, L'\0')}, // no leftovers
        {full31.c_str(), full31 + L'\0'},
        // Longer than any typeface name: cut so that the buffer stays terminated.
        {L"A name of forty characters, far too long",
         std::wstring(L"A name of forty characters, far") + L'\0'},
        {L"宋体", std::wstring(L"宋体") + std::wstring(30, L'\0')}, // a localized name
        {nullptr, std::wstring(32, L'\0')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sample.SetName(c.name), 0);
        EXPECT_EQ(sample.Buffer(), c.buffer) << c.buffer.size();
    }
}

TEST(FontSample, DrawsTheNameCentredAtTwoThirdsOfTheClientHeight) {
    std::wstring face = FirstInstalledTypeface();
    // 47 pixels give 31.33: the height is truncated to 31.
    for (int height : {60, 47, 90}) {
        Sample sample(360, height);
        sample.SetName(face);
        std::vector<uint32_t> shown = sample.Pixels();
        int fontHeight = height * 2 / 3;
        EXPECT_FALSE(OnlyBackground(shown)) << "nothing drawn at height " << height;
        EXPECT_EQ(shown, Expected(360, height, face, fontHeight, SampleFormat))
            << "client height " << height;
        // The comparison tells other heights apart, so the one above really is two thirds.
        // Two apart: neighbouring cell heights can round to the same size in pixels.
        for (int other : {fontHeight - 2, fontHeight + 2, height / 2, -fontHeight}) {
            EXPECT_NE(shown, Expected(360, height, face, other, SampleFormat))
                << "client height " << height << ", font height " << other;
        }
    }
}

TEST(FontSample, CutsANameThatDoesNotFitWithAnEllipsis) {
    std::wstring face = FirstInstalledTypeface();
    std::wstring name = (face + L" with a long tail of words").substr(0, 31);
    Sample sample(110, 30);
    sample.SetName(name);
    std::vector<uint32_t> shown = sample.Pixels();
    EXPECT_EQ(shown, Expected(110, 30, name, 20, SampleFormat));
    EXPECT_NE(shown, Expected(110, 30, name, 20, DT_CENTER | DT_VCENTER | DT_SINGLELINE));
    // The same name in a sample wide enough shows whole.
    Sample wide(600, 30);
    wide.SetName(name);
    EXPECT_EQ(wide.Pixels(), Expected(600, 30, name, 20, DT_CENTER | DT_VCENTER | DT_SINGLELINE));
}

TEST(FontSample, AnEmptyOrClearedNameShowsOnlyTheBackground) {
    std::wstring face = FirstInstalledTypeface();
    Sample sample(300, 45);
    EXPECT_TRUE(OnlyBackground(sample.Pixels()));
    sample.SetName(face);
    EXPECT_FALSE(OnlyBackground(sample.Pixels()));
    sample.SetName(nullptr);
    EXPECT_TRUE(OnlyBackground(sample.Pixels()));
    sample.SetName(face);
    sample.SetName(L"");
    EXPECT_TRUE(OnlyBackground(sample.Pixels()));
}

// A face without every Romanian letter says so along the bottom, in the dialog's font (here the
// system's, as the test's parent has none), with its name centred above.
TEST(FontSample, NotesAFaceWithoutRomanianLetters) {
    ASSERT_TRUE(LoadTestFonts());
    Sample sample(360, 60);
    sample.SetName(LettersFace);
    EXPECT_EQ(sample.Pixels(), Expected(360, 60, LettersFace, 40, SampleFormat));
    wchar_t note[128];
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDS_FONT_LACKS_LETTERS, note, 128), 0);
    MemorySurface noteOnly(360, 60, GetSysColor(COLOR_BTNFACE));
    SelectObject(noteOnly.dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(noteOnly.dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(noteOnly.dc, TRANSPARENT);
    RECT line = {0, 0, 360, 60};
    int noteHeight = DrawTextW(noteOnly.dc, note, -1, &line, DT_SINGLELINE | DT_CALCRECT);
    RECT bottom = {0, 60 - noteHeight, 360, 60};
    DrawTextW(noteOnly.dc, note, -1, &bottom, DT_CENTER | DT_SINGLELINE);
    std::vector<uint32_t> noted = noteOnly.Read().values;
    for (const wchar_t* face : {NoCommaFace, NoBreveFace}) {
        std::wstring name = face;
        sample.SetName(name);
        std::vector<uint32_t> shown = sample.Pixels();
        size_t split = static_cast<size_t>(60 - noteHeight) * 360;
        std::vector<uint32_t> above = Expected(360, 60 - noteHeight, name, 40, SampleFormat);
        EXPECT_TRUE(std::equal(above.begin(), above.end(), shown.begin())) << "the name";
        EXPECT_TRUE(std::equal(noted.begin() + split, noted.end(), shown.begin() + split))
            << "the note";
    }
    // "&" in a name is a letter, not a mnemonic.
    sample.SetName(L"A & B");
    EXPECT_EQ(sample.Pixels(), Expected(360, 60, L"A & B", 40, SampleFormat));
    EXPECT_NE(sample.Pixels(), Expected(360, 60, L"A & B", 40, SampleFormat & ~DT_NOPREFIX));
}

// Moved to a monitor of another scale, the dialog resizes its controls and tells them after:
// the sample draws itself again.
TEST(FontSample, DrawsAgainAfterTheDialogChangedItsScale) {
    Sample sample(300, 45);
    sample.SetName(FirstInstalledTypeface().c_str());
    ValidateRect(sample.Window(), nullptr);
    SendMessageA(sample.Window(), 0x02E3, 0, 0); // WM_DPICHANGED_AFTERPARENT
    EXPECT_TRUE(GetUpdateRect(sample.Window(), nullptr, FALSE));
}

} // namespace
