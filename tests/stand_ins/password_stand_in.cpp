// Stands in for PASSWORD.CPL of Windows 95-family systems. The verifier asks in a message box
// owned by the saver window, titled "VerifyScreenSavePwd", that the test answers: OK accepts the
// password, Cancel refuses it. Loading and every answer are logged.
#include "stand_in_log.h"

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    char line[100];
    snprintf(line, sizeof line, "VerifyScreenSavePwd %llu", WindowNumber(owner));
    AppendStandInLog(line);
    int answer = MessageBoxA(owner, "Parola?", "VerifyScreenSavePwd", MB_OKCANCEL);
    AppendStandInLog(answer == IDOK ? "accepted" : "refused");
    return answer == IDOK;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        AppendStandInLog("PASSWORD.CPL loaded");
    }
    return TRUE;
}
