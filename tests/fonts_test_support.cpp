#include "fonts_test_support.h"

#include "font_sample.h"

#include <gtest/gtest.h>

namespace {

int CALLBACK CollectTypeface(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
    char name[4 * LF_FACESIZE] = {};
    WideCharToMultiByte(CP_UTF8, 0, font->lfFaceName, -1, name, sizeof name, nullptr, nullptr);
    reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
    return 1;
}

} // namespace

std::vector<std::string> InstalledTypefaces() {
    std::vector<std::string> names;
    LOGFONTW everyTypeface{};
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &everyTypeface, CollectTypeface, reinterpret_cast<LPARAM>(&names), 0);
    ReleaseDC(nullptr, dc);
    return names;
}

void RegisterSampleClass() {
    static const ATOM atom = RegisterDialogClasses(GetModuleHandleA(nullptr));
    ASSERT_NE(atom, 0) << "cannot register the font sample's class";
}

std::vector<uint32_t> CapturePixels(HDC dc, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // The bitmap is read while a stand-in is selected: it must not be in a DC meanwhile.
    HBITMAP standIn = CreateCompatibleBitmap(dc, 1, 1);
    HGDIOBJ bitmap = SelectObject(dc, standIn);
    int rows = GetDIBits(dc, static_cast<HBITMAP>(bitmap), 0, height, pixels.data(), &info,
                         DIB_RGB_COLORS);
    SelectObject(dc, bitmap);
    DeleteObject(standIn);
    EXPECT_EQ(rows, height) << "cannot read the pixels back";
    for (uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

std::vector<uint32_t> CaptureClient(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
    std::vector<uint32_t> pixels = CapturePixels(memoryDc, client.right, client.bottom);
    SelectObject(memoryDc, previous);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return pixels;
}
