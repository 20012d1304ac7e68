#pragma once
// The dialogs' bitmaps at the scale of the monitor they show on: each image is drawn at 100, 125,
// 150, 200 and 300 % of its size, and a dialog shows the one for its DPI, picked again when it
// moves to a monitor of another scale.

#include <windows.h>

#include <cstddef>
#include <cstdint>

inline constexpr size_t ImageScaleCount = 5;
inline constexpr uint32_t ImageScales[ImageScaleCount] = {100, 125, 150, 200, 300};
// The DPI Windows calls 100 %.
inline constexpr uint32_t DefaultDpi = 96;

// The largest drawn scale not above the DPI's, so that an image never outgrows the room its
// control has at that scale; below 100 % the 100 % image.
constexpr size_t ImageScaleIndex(uint32_t dpi) {
    size_t index = 0;
    while (index + 1 < ImageScaleCount && ImageScales[index + 1] * DefaultDpi <= dpi * 100) {
        ++index;
    }
    return index;
}

// One image's resource names, the 100 % one first.
using ScaledImageNames = const char* const[ImageScaleCount];

// The DPI of the monitor the window shows on, where the system says (Windows 10 1607 and later),
// else the system's.
uint32_t WindowDpi(HWND window);

// The program's image drawn for dpi, its greys mapped to the 3-D colours; none when it cannot
// be loaded.
HBITMAP LoadScaledImage(ScaledImageNames& names, uint32_t dpi);
