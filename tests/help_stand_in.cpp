// Stands in for the HTML Help control in tests: its HtmlHelpA (ordinal 14) records the call and
// shows nothing. A help path containing "fail" makes it fail with ERROR_INVALID_HANDLE.

#include <windows.h>

#include <cstring>

namespace {

HWND LastOwner;
char LastFile[1024];
UINT LastCommand = ~0u;
int Calls;

} // namespace

extern "C" HWND WINAPI StandInHtmlHelp(HWND owner, const char* file, UINT command, DWORD_PTR) {
    Calls++;
    LastOwner = owner;
    LastCommand = command;
    lstrcpynA(LastFile, file != nullptr ? file : "", sizeof LastFile);
    if (file != nullptr && strstr(file, "fail") != nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return owner != nullptr ? owner : GetDesktopWindow();
}

// The last call: owner, help path and command; returns the number of calls.
extern "C" int LastHelpCall(HWND* owner, char* file, UINT size, UINT* command) {
    *owner = LastOwner;
    lstrcpynA(file, LastFile, static_cast<int>(size));
    *command = LastCommand;
    return Calls;
}
