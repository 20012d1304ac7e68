#include "shell_core.h"

#include <cstddef>

namespace {

bool IsNumberSpace(unsigned char c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

unsigned char FoldCase(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// The length of path when line begins with it, followed by a space or the end; 0 otherwise.
size_t OwnPathLength(const char* line, const char* path) {
    if (path == nullptr || *path == '\0') {
        return 0;
    }
    size_t n = 0;
    for (; path[n] != '\0'; n++) {
        if (FoldCase(static_cast<unsigned char>(line[n])) !=
            FoldCase(static_cast<unsigned char>(path[n]))) {
            return 0;
        }
    }
    return line[n] == ' ' || line[n] == '\0' ? n : 0;
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

ShellDecision Only(ShellOutcome outcome) {
    return {false, false, false, outcome};
}

// Messages that bypass the program once a close has been granted.
bool IsBypassedWhenClosing(uint32_t message) {
    switch (message) {
    case WM_ACTIVATE:
    case WM_PAINT:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

// System commands the full-screen saver swallows. The whole value is compared: the low four
// bits are not masked off.
bool IsSwallowedCommand(uintptr_t command) {
    return command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_CLOSE ||
           command == SC_SCREENSAVE;
}

bool IsActivation(uint32_t message) {
    return message == WM_ACTIVATE || message == WM_ACTIVATEAPP || message == WM_NCACTIVATE;
}

} // namespace

const char* SkipProgramName(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        const char* q = p + 1;
        while (*q != '\0' && *q != '"') {
            q++;
        }
        if (*q == '\0') {
            return commandLine;
        }
        p = q + 1;
    } else {
        while (*p != '\0' && *p != ' ') {
            p++;
        }
    }
    while (*p == ' ') {
        p++;
    }
    return p;
}

const char* SkipOwnProgramName(const char* commandLine, const char* longPath,
                               const char* shortPath) {
    size_t length = OwnPathLength(commandLine, longPath);
    if (length == 0) {
        length = OwnPathLength(commandLine, shortPath);
    }
    if (length == 0) {
        return SkipProgramName(commandLine);
    }
    const char* p = commandLine + length;
    while (*p == ' ') {
        p++;
    }
    return p;
}

uint32_t ParseWindowNumber(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (IsNumberSpace(*p)) {
        p++;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    uint64_t value = 0;
    bool tooLarge = false;
    for (; IsDigit(*p); p++) {
        value = value * 10 + (*p - '0');
        if (value > UINT32_MAX) {
            tooLarge = true;
            value = UINT32_MAX;
        }
    }
    if (tooLarge) {
        return UINT32_MAX;
    }
    uint32_t number = static_cast<uint32_t>(value);
    return negative ? 0u - number : number;
}

LaunchCommand ScanCommandTail(const char* tail) {
    for (const char* p = tail; p != nullptr && *p != '\0'; p++) {
        switch (*p) {
        case 'S':
        case 's':
            return {LaunchMode::Saver, 0};
        case 'P':
        case 'p':
            return {LaunchMode::Preview, ParseWindowNumber(p + 1)};
        case 'C':
        case 'c':
            return {LaunchMode::Configure, 0};
        case 'A':
        case 'a':
            return {LaunchMode::ChangePassword, ParseWindowNumber(p + 1)};
        default:
            break;
        }
    }
    return {LaunchMode::Configure, 0};
}

ShellDecision DecideShellMessage(uint32_t message, uintptr_t wParam, const SaverFlags& flags) {
    if (message == WM_CREATE) {
        return {flags.PreviewMode == 0, true, false, ShellOutcome::Forward};
    }
    if (message == WM_DESTROY) {
        return {false, false, true, ShellOutcome::Forward};
    }
    if (IsBypassedWhenClosing(message)) {
        return Only(flags.Closing != 0 ? ShellOutcome::PlatformDefault : ShellOutcome::Forward);
    }
    if (message == WM_SYSCOMMAND) {
        bool swallow = flags.PreviewMode == 0 && IsSwallowedCommand(wParam);
        return Only(swallow ? ShellOutcome::ReturnZero : ShellOutcome::Forward);
    }
    if (message == WM_TIMER) {
        return Only(flags.Closing != 0 ? ShellOutcome::ReturnZero : ShellOutcome::Forward);
    }
    return Only(ShellOutcome::Forward);
}

bool SaverDecisionReadsPointer(uint32_t message, uintptr_t wParam, const SaverFlags& flags) {
    if (flags.PreviewMode != 0 || flags.Closing != 0) {
        return false;
    }
    return message == WM_MOUSEMOVE || (IsActivation(message) && wParam == 0);
}

SaverDecision DecideSaverMessage(uint32_t message, uintptr_t wParam, const SaverFlags& flags,
                                 bool pointerMoved) {
    const SaverDecision platform = {SaverStep::Nothing, SaverResult::PlatformDefault};
    if (flags.PreviewMode != 0 || flags.Closing != 0) {
        return platform;
    }
    // During a verification input requests nothing.
    const SaverStep requestClose =
        flags.CheckingPassword != 0 ? SaverStep::Nothing : SaverStep::RequestClose;
    switch (message) {
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (wParam != 0 || !pointerMoved) {
            return platform;
        }
        return {requestClose, SaverResult::PlatformDefault};
    case WM_MOUSEMOVE:
        return {pointerMoved ? requestClose : SaverStep::Nothing, SaverResult::PlatformDefault};
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return {requestClose, SaverResult::PlatformDefault};
    case WM_CLOSE:
        return {SaverStep::TryClose, SaverResult::Zero};
    case WM_SETCURSOR:
        if (flags.CheckingPassword != 0) {
            return platform;
        }
        return {SaverStep::HidePointer, SaverResult::One};
    case VerifyPasswordMessage:
        if (!flags.VerifierLoaded) {
            return {SaverStep::Nothing, SaverResult::One};
        }
        return {SaverStep::Verify, SaverResult::VerifierAnswer};
    default:
        return platform;
    }
}

bool PointerMoved(ScreenPoint saved, ScreenPoint now) {
    return saved.X != now.X || saved.Y != now.Y;
}

CloseStart StartClose(const SaverFlags& flags) {
    if (flags.CheckingPassword != 0 || flags.Closing != 0) {
        return CloseStart::Ignore;
    }
    return flags.VerifierLoaded ? CloseStart::AskVerifier : CloseStart::Grant;
}

CloseEnd FinishClose(uint32_t closing) {
    return closing != 0 ? CloseEnd::DestroyWindow : CloseEnd::RetakePointer;
}
