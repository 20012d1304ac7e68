// Stand-in for the HTML Help control, loaded by the typefaces dialog's help command in place of
// hhctrl.ocx: HtmlHelpA (ordinal 14) records its arguments and reports success.

#include <windows.h>

#include <cstring>

namespace {

int Calls;
HWND LastOwner;
char LastFile[1024];
UINT LastCommand;
DWORD_PTR LastData;

} // namespace

extern "C" HWND WINAPI HtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
    ++Calls;
    LastOwner = owner;
    lstrcpynA(LastFile, file != nullptr ? file : "(null)", sizeof LastFile);
    LastCommand = command;
    LastData = data;
    // Any non-null handle tells the caller that the help window shows.
    return owner != nullptr ? owner : GetDesktopWindow();
}

// How often HtmlHelpA was called, and the arguments of its last call.
extern "C" int HelpServerCalls(HWND* owner, char* file, int fileSize, UINT* command,
                               DWORD_PTR* data) {
    *owner = LastOwner;
    lstrcpynA(file, LastFile, fileSize);
    *command = LastCommand;
    *data = LastData;
    return Calls;
}
