#include "font_sample.h"

#include "platform.h"
#include "saver_settings.h"

#include <cwchar>

namespace {

// A face name is shown as it is: an "&" in it is a letter, not a mnemonic.
constexpr UINT SampleTextFormat =
    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS | DT_NOPREFIX;
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
    DrawTextW(dc, description.lfFaceName, -1, &client, SampleTextFormat);
    SelectObject(dc, previous);
    DeleteObject(font);
}

} // namespace
