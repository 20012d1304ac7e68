#include "html_help_stand_in.h"

#include "../stand_ins/stand_in_log.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int MaxCalls = 16;
StandInCall Calls[MaxCalls];
int CallCount;

} // namespace

extern "C" HWND WINAPI HtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
    if (CallCount < MaxCalls) {
        StandInCall& call = Calls[CallCount];
        call.Owner = owner;
        std::strncpy(call.File, file != nullptr ? file : "", sizeof call.File - 1);
        call.Command = command;
        call.Data = data;
    }
    ++CallCount;
    // For a test that watches another process: the file asked for, in the stand-ins' log.
    char line[1100];
    snprintf(line, sizeof line, "HtmlHelpA %s", file != nullptr ? file : "");
    AppendStandInLog(line);

    char failure[16];
    DWORD length = GetEnvironmentVariableA(StandInFailVariable, failure, sizeof failure);
    if (length == 0 || length >= sizeof failure) {
        return StandInHelpWindow;
    }
    DWORD code = std::strtoul(failure, nullptr, 10);
    if (code != 0) {
        SetLastError(code);
    }
    return nullptr;
}

extern "C" int StandInCallCount() {
    return CallCount;
}

extern "C" const StandInCall* StandInCallAt(int index) {
    return index >= 0 && index < CallCount && index < MaxCalls ? &Calls[index] : nullptr;
}
