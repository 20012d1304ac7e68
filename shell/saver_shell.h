#pragma once
// The saver window's shell: what the screen-saver conventions require of the window (closing on
// input, the password check, the pointer), in front of the program's own handler.

#include <windows.h>

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Default handling of the saver window, for every message the program's handler leaves alone.
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Handles a close request: asks the password verifier where one is loaded and destroys the
// window when the close is granted.
void TryCloseSaver(HWND window);
