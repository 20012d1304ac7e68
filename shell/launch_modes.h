#pragma once
// The process's command line and its four modes: full-screen saver, preview, configuration and
// password change.

#include <windows.h>

// What the shell runs, handed to it by the program above it: the saver window's own handler,
// the configuration dialog, the registration of the dialogs' window classes and of the common
// controls the configuration dialog holds (loaded only for it).
struct SaverParts {
    LRESULT (*SaverWindowProc)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    DLGPROC ConfigDialogProc;
    ATOM (*RegisterDialogClasses)(HINSTANCE instance);
    bool (*InitCommonControlClasses)(DWORD classes);
};

// The process command line past the program name.
const char* GetCommandTail();

// Prepares the password check on Windows 95-family systems, then runs the mode the command tail
// asks for with the program's parts. Returns the exit code: 0 in every mode.
int SaverMain(HINSTANCE instance, const char* commandTail, const SaverParts& parts);

// Registers the classes and runs the saver window (a child filling parent, or full screen
// without one) until it is destroyed. Returns the quit code of its message loop, 0 when no window
// was made.
int RunSaver(HWND parent);

// The saver window class and the dialogs' classes; non-zero on success.
BOOL RegisterClasses();

// The platform's password-change dialog for the screen saver, owned by owner.
void ChangePassword(HWND owner);
