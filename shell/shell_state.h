#pragma once
// The shell's process-wide state. Only the user-interface thread touches it.

#include "launch_modes.h"
#include "shell_core.h"

#include <windows.h>

#include <cstdint>

// The Windows 95-family password verifier exported by PASSWORD.CPL.
using VerifyScreenSavePwdProc = BOOL(WINAPI*)(HWND window);

struct ShellState {
    HINSTANCE ModuleInstance;
    SaverParts Parts;
    uint32_t Windows95Family;
    HMODULE PasswordApplet; // loaded only when the desktop settings ask for a saver password
    VerifyScreenSavePwdProc VerifyScreenSavePwd;
    uint32_t PreviewMode; // set as soon as the command asks for a preview
    HWND ShellWindow;
    uint32_t CheckingPassword; // a verification is under way
    uint32_t Closing;          // non-zero once a close has been granted
    POINT SavedCursorPos;      // where the pointer was when the saver started or last refused
};

extern ShellState Shell;

// The part of the state the window decisions depend on.
SaverFlags CurrentSaverFlags();
