#pragma once
// Helpers for the tests of the typefaces dialog and the font sample under Wine.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Every typeface name with the ANSI character set, as the typefaces dialog enumerates them (in
// UTF-8 here), in the order the system gives them.
std::vector<std::string> InstalledTypefaces();

// Registers the font sample's class for this program, once per process.
void RegisterSampleClass();

// The pixels of a window's client area as 0x00RRGGBB values, row by row from the top.
std::vector<uint32_t> CaptureClient(HWND window);
// The same for the bitmap selected into a memory DC, width x height.
std::vector<uint32_t> CapturePixels(HDC dc, int width, int height);
