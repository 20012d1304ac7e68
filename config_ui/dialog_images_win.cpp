#include "dialog_images.h"

#include "dialog_state.h"

static_assert(ImageScaleIndex(0) == 0 && ImageScaleIndex(96) == 0 && ImageScaleIndex(120) == 1);
// 175 % shows the 150 % images, 250 % the 200 % ones; 300 % and above the largest.
static_assert(ImageScaleIndex(168) == 2 && ImageScaleIndex(240) == 3 && ImageScaleIndex(480) == 4);

uint32_t WindowDpi(HWND window) {
    // Looked up at run time: Windows 7 and 8 have no such function.
    using DpiProc = UINT(WINAPI*)(HWND);
    static const auto forWindow = reinterpret_cast<DpiProc>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    UINT dpi = forWindow != nullptr ? forWindow(window) : 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = screen != nullptr ? static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY)) : DefaultDpi;
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

HBITMAP LoadScaledImage(HWND dialog, ScaledImageNames& names, uint32_t dpi) {
    return static_cast<HBITMAP>(LoadImageA(DialogModule(dialog), names[ImageScaleIndex(dpi)],
                                           IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
}
