#include "dialog_images.h"

#include "program_module.h"
#include "system_library.h"

static_assert(ImageScaleIndex(0) == 0 && ImageScaleIndex(96) == 0 && ImageScaleIndex(120) == 1);
// 175 % shows the 150 % images, 250 % the 200 % ones; 300 % and above the largest.
static_assert(ImageScaleIndex(168) == 2 && ImageScaleIndex(240) == 3 && ImageScaleIndex(480) == 4);

uint32_t WindowDpi(HWND window) {
    // Looked up at run time: Windows 7 and 8 have no such function.
    using DpiProc = UINT(WINAPI*)(HWND);
    static const auto forWindow =
        FindEntry<DpiProc>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    UINT dpi = forWindow != nullptr ? forWindow(window) : 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = screen != nullptr ? static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY)) : DefaultDpi;
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

HBITMAP LoadScaledImage(ScaledImageNames& names, uint32_t dpi) {
    return static_cast<HBITMAP>(LoadImageA(ProgramModule(), names[ImageScaleIndex(dpi)],
                                           IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
}
