#pragma once
// The font sample control (class FontSampleClass): shows a typeface's name drawn in it.

#include <windows.h>

inline constexpr UINT FSM_SETFACENAME = WM_USER + 1;

// Registers FontSampleClass for instance; the class atom, or 0 on failure.
ATOM RegisterDialogClasses(HINSTANCE instance);
LRESULT CALLBACK FontSampleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintFontSample(HWND window, HDC dc, const char* name);
