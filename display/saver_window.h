#pragma once
// The program's own handling of the saver window's messages.

#include <windows.h>

LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
