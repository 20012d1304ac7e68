#include "font_sample.h"

#include "glyph_cover.h"
#include "platform.h"
#include "resource_ids.h"
#include "saver_settings.h"

#include <cwchar>

namespace {

// "&" in a typeface's name is a letter of it, not a mnemonic.
constexpr UINT SampleTextFormat =
    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS | DT_NOPREFIX;
constexpr UINT NoteFormat = DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
constexpr int NoteSize = 128;
// WM_DPICHANGED_AFTERPARENT, which the headers give only for Windows 10 and later: a child window
// gets it once its dialog has moved to a monitor of another scale and resized its controls.
constexpr UINT DpiChangedAfterParent = 0x02E3;

// Draws name in that typeface, centred on one line over the client area, two thirds of its
// height tall; a name that does not fit ends in an ellipsis. An empty name draws nothing.
void PaintFontSample(HWND window, HDC dc, const WideChar* name);

WideChar* SampleName(HWND window) {
    return reinterpret_cast<WideChar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CreateSample(HWND window) {
    // Without a buffer the control stays empty: every step below accepts a missing one.
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(HeapAllocZero(FontSlotWidth * sizeof(WideChar))));
    return 0;
}

LRESULT DestroySample(HWND window) {
    HeapRelease(SampleName(window));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return 0;
}

LRESULT PaintSample(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr) {
        PaintFontSample(window, dc, SampleName(window));
        EndPaint(window, &paint);
    }
    return 0;
}

LRESULT SetSampleName(HWND window, const WideChar* name) {
    WideChar* buffer = SampleName(window);
    if (buffer != nullptr) {
        // The last unit stays NUL, so even a name too long for a typeface stays terminated.
        wmemset(buffer, 0, FontSlotWidth);
        if (name != nullptr) {
            wcsncpy(buffer, name, FontSlotWidth - 1);
        }
    }
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

// Whether the font current on dc has a glyph for every Romanian letter.
bool HasRomanianLetters(HDC dc) {
    WORD glyphs[RomanianLetterCount];
    if (GetGlyphIndicesW(dc, RomanianLetters, RomanianLetterCount, glyphs,
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
        return false;
    }
    for (WORD glyph : glyphs) {
        if (glyph == 0xFFFF) {
            return false;
        }
    }
    return true;
}

// Draws the note that the face lacks Romanian letters along the bottom of the area, in the
// dialog's font, and gives back the height it took (0 without a note text).
int DrawLettersNote(HWND window, HDC dc, const RECT& area) {
    wchar_t note[NoteSize];
    HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    if (LoadStringW(module, IDS_FONT_LACKS_LETTERS, note, NoteSize) <= 0) {
        return 0;
    }
    auto font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window), WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    RECT line = {0, 0, area.right, 0};
    DrawTextW(dc, note, -1, &line, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    RECT bottom = area;
    DrawTextW(dc, note, -1, &bottom, NoteFormat);
    SelectObject(dc, previous);
    return line.bottom;
}

} // namespace

ATOM RegisterDialogClasses(HINSTANCE instance) {
    WNDCLASSW sampleClass{};
    sampleClass.style = CS_HREDRAW | CS_VREDRAW;
    sampleClass.lpfnWndProc = FontSampleProc;
    sampleClass.cbClsExtra = 0;
    // The class is registered with four window bytes, as it always was, for whatever looks the
    // class up; the procedure keeps the name's buffer in the user-data slot, not in them.
    sampleClass.cbWndExtra = 4;
    sampleClass.hInstance = instance;
    sampleClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    sampleClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    sampleClass.lpszClassName = FontSampleClass;
    return RegisterClassW(&sampleClass);
}

LRESULT CALLBACK FontSampleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return CreateSample(window);
    case WM_DESTROY:
        return DestroySample(window);
    case WM_PAINT:
        return PaintSample(window);
    case FSM_SETFACENAME:
        return SetSampleName(window, reinterpret_cast<const WideChar*>(lParam));
    case DpiChangedAfterParent:
        // The sample's size follows the control's; draw it again at the new scale.
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

namespace {

void PaintFontSample(HWND window, HDC dc, const WideChar* name) {
    if (name == nullptr || name[0] == 0) {
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    LOGFONTW description{};
    // A positive height is matched against the cell height of the font.
    description.lfHeight = client.bottom * 2 / 3;
    lstrcpynW(description.lfFaceName, name, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&description);
    if (font == nullptr) {
        return;
    }
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    // A face that would draw boxes for Romanian letters says so under its name, which then
    // takes the space above the note.
    RECT sample = client;
    if (!HasRomanianLetters(dc)) {
        sample.bottom -= DrawLettersNote(window, dc, client);
    }
    DrawTextW(dc, description.lfFaceName, -1, &sample, SampleTextFormat);
    SelectObject(dc, previous);
    DeleteObject(font);
}

} // namespace
