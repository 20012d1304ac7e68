#pragma once
// Test windows and their pixels under Wine.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// A visible top-level popup with its client area at (left, top) of the given size, of a class
// registered here with the given procedure.
HWND MakeTestWindow(const char* className, WNDPROC procedure, int left, int top, int width,
                    int height);

// Pixels as 0x00RRGGBB, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> values;
    uint32_t At(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};
// The pixels that are not black.
size_t LitPixels(const Pixels& pixels);
// Where they lie (inclusive; right and bottom -1 when none is lit) and the brightest of each of
// their components.
struct LitBounds {
    int left, right, top, bottom;
    uint32_t red, green, blue;
};
LitBounds FindLitBounds(const Pixels& pixels);

// A rectangle of what a DC shows (a window's, the screen's, or a memory DC's bitmap).
Pixels ReadDc(HDC dc, int left, int top, int width, int height);
// A window's client area read through its own surface, and the same rectangle of the X screen
// (what a person sees).
Pixels ReadClient(HWND window);
Pixels ReadScreen(HWND window);

// A memory DC with a bitmap like the screen's, filled with one colour, to draw what a test
// expects on; released with the object.
struct MemorySurface {
    int width;
    int height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ kept;

    MemorySurface(int width, int height, COLORREF fill = RGB(0, 0, 0));
    ~MemorySurface();
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;

    Pixels Read() const { return ReadDc(dc, 0, 0, width, height); }
};

// Fills the client area with one colour.
void FillClient(HWND window, COLORREF colour);
