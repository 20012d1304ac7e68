#pragma once
// The stand-ins for the Windows 95-family password components write what they were asked, one
// line at a time, to the file named by VERSELUME_STAND_IN_LOG, so that a test can read it back.
// Kernel calls only: the applet logs from DllMain too. The thread's last-error value stays as it
// was, as a stand-in's caller may read it.

#include <windows.h>

#include <cstdio>

inline void WriteStandInLine(const char* line) {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("VERSELUME_STAND_IN_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return;
    }
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

inline void AppendStandInLog(const char* line) {
    DWORD kept = GetLastError();
    WriteStandInLine(line);
    SetLastError(kept);
}

inline unsigned long long WindowNumber(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window));
}
