#pragma once
// The font sample control (class FontSampleClass, a Unicode window): shows a typeface's name
// drawn in it. Each control keeps the name in a 32-unit buffer of its own, whose address is in
// its user-data slot.

#include "wide_text.h"

#include <windows.h>

// lParam: a NUL-terminated wide typeface name, or null to clear the sample. Answers 0.
inline constexpr UINT FSM_SETFACENAME = WM_USER + 1;

inline constexpr wchar_t FontSampleClass[] = L"FontSampleClass";

// Registers FontSampleClass for instance; the class atom, or 0 on failure.
ATOM RegisterDialogClasses(HINSTANCE instance);
LRESULT CALLBACK FontSampleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
