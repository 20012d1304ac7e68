#pragma once
// The program's dialog templates, strings, images and sample lists are resources of its own
// executable: every dialog and box reads them from there, whichever module created the window.

#include <windows.h>

inline HINSTANCE ProgramModule() {
    return GetModuleHandleW(nullptr);
}
