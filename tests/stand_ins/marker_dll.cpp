// Copied beside the program under the name of a library it loads, where it must never be taken
// from: loaded, it logs "loaded" and its own path.
#include "stand_in_log.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char line[MAX_PATH + 8] = "loaded ";
        GetModuleFileNameA(self, line + 7, MAX_PATH);
        AppendStandInLog(line);
    }
    return TRUE;
}
