// Stands in for MPR.DLL of Windows 95-family systems: logs the password-change call.
#include "stand_in_log.h"

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1, DWORD reserved2) {
    char line[200];
    snprintf(line, sizeof line, "PwdChangePasswordA %s %llu %lu %lu",
             provider != nullptr ? provider : "(none)", WindowNumber(owner), reserved1, reserved2);
    AppendStandInLog(line);
    return 0;
}
