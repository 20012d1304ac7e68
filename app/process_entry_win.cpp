// The process entry of Verselume.scr.
#include "config_dialog.h"
#include "font_sample.h"
#include "launch_modes.h"
#include "list_reading.h"
#include "saver_window.h"
#include "system_library.h"

#include <float.h>

namespace {

// The program's floating-point steps are worked at the x87's extended precision, whatever the C
// runtime set up; rounding stays round-to-nearest. x86_64 has no x87 precision control: its
// floating point runs on SSE.
void UseExtendedPrecision() {
#if defined(__i386__) || defined(_M_IX86)
    _controlfp(_PC_64, _MCW_PC);
#endif
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a library: none comes from beside the program.
    LoadLibrariesFromSystemFolderOnly();
    UseExtendedPrecision();
    // The shell sits below the display and the dialogs: it is handed them here, at the top.
    const SaverParts parts = {SaverWindowProc, ConfigDialogProc, RegisterDialogClasses,
                              InitCommonControlClasses};
    int result = SaverMain(GetModuleHandleA(nullptr), GetCommandTail(), parts);
    // The user asked the saver or the configuration to end: a list read that hangs must not keep
    // it running.
    if (ListReadStillRunning()) {
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    }
    return result;
}
