#pragma once

#include <windows.h>

#include <cstdint>

// Shows the system's text for a Win32 error code in an error box owned by owner; code 0, or a
// code the system has no text for, shows nothing.
void ShowErrorMessage(HWND owner, uint32_t code);
