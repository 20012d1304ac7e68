#include "support/pixels.h"

#include <gtest/gtest.h>

#include <algorithm>

HWND MakeTestWindow(const char* className, WNDPROC procedure, int left, int top, int width,
                    int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, className, "", WS_POPUP | WS_VISIBLE, left, top, width,
                        height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(window, nullptr) << "cannot create the test window";
    return window;
}

size_t LitPixels(const Pixels& pixels) {
    return static_cast<size_t>(std::count_if(pixels.values.begin(), pixels.values.end(),
                                             [](uint32_t pixel) { return pixel != 0; }));
}

LitBounds FindLitBounds(const Pixels& pixels) {
    LitBounds lit = {pixels.width, -1, pixels.height, -1, 0, 0, 0};
    for (int y = 0; y < pixels.height; y++) {
        for (int x = 0; x < pixels.width; x++) {
            uint32_t pixel = pixels.At(x, y);
            if (pixel == 0) {
                continue;
            }
            lit.left = std::min(lit.left, x);
            lit.right = std::max(lit.right, x);
            lit.top = std::min(lit.top, y);
            lit.bottom = std::max(lit.bottom, y);
            lit.red = std::max(lit.red, (pixel >> 16) & 0xFF);
            lit.green = std::max(lit.green, (pixel >> 8) & 0xFF);
            lit.blue = std::max(lit.blue, pixel & 0xFF);
        }
    }
    return lit;
}

Pixels ReadDc(HDC source, int left, int top, int width, int height) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.values.assign(static_cast<size_t>(width) * height, 0);
    if (width <= 0 || height <= 0) {
        return pixels;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC copy = CreateCompatibleDC(source);
    HGDIOBJ kept = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, source, left, top, SRCCOPY);
    GdiFlush();
    const uint32_t* row = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.values.size(); i++) {
        pixels.values[i] = row[i] & 0xFFFFFF;
    }
    SelectObject(copy, kept);
    DeleteDC(copy);
    DeleteObject(bitmap);
    return pixels;
}

Pixels ReadClient(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    Pixels pixels = ReadDc(dc, 0, 0, client.right, client.bottom);
    ReleaseDC(window, dc);
    return pixels;
}

Pixels ReadScreen(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    Pixels pixels = ReadDc(screen, origin.x, origin.y, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    return pixels;
}

MemorySurface::MemorySurface(int width, int height, COLORREF fill)
    : width(width), height(height), dc(CreateCompatibleDC(nullptr)) {
    HDC screen = GetDC(nullptr);
    bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    kept = SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

MemorySurface::~MemorySurface() {
    SelectObject(dc, kept);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void FillClient(HWND window, COLORREF colour) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}
