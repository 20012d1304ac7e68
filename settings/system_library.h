#pragma once
// Libraries the program loads while it runs come from the system folder only: never from beside
// the program or from the current folder, where a downloaded or unpacked file of the same name
// may lie and would run its code in the program.

#include <windows.h>

// Makes the system folder the only folder DLLs are loaded from by name in this process, for the
// program's own loads and for those the system's DLLs make for it. The process entry does it
// first. A system without SetDefaultDllDirectories (Windows 7 without KB2533623) keeps its
// search order; LoadSystemLibrary then names the full path.
void LoadLibrariesFromSystemFolderOnly();

// The system folder's library of that name ("hhctrl.ocx"), or none, the reason in the thread's
// last-error value.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The library a registration names: at its full path, with what it needs from its own folder
// and the system folder; a bare name from the system folder. None on failure, as above.
HMODULE LoadRegisteredLibrary(const char* path);

// The entry point of that name or ordinal (MAKEINTRESOURCEA) in a loaded library, as the
// function type it has; none when there is no library or it lacks the entry.
template <typename Function> Function FindEntry(HMODULE library, const char* name) {
    if (library == nullptr) {
        return nullptr;
    }
    // Through the generic function pointer type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
