#pragma once
// The screen-saver shell's decisions without Win32: where the command tail starts, which mode it
// asks for, and what the saver window does with each message. The Win32 shell only carries them
// out, so the same code is unit-tested on Linux.

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
// The message and command numbers the decisions look at, as the Win32 headers define them.
inline constexpr uint32_t WM_CREATE = 0x0001;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_ACTIVATE = 0x0006;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_ERASEBKGND = 0x0014;
inline constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr uint32_t WM_SETCURSOR = 0x0020;
inline constexpr uint32_t WM_NCACTIVATE = 0x0086;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
inline constexpr uint32_t WM_APP = 0x8000;
inline constexpr uintptr_t SC_NEXTWINDOW = 0xF040;
inline constexpr uintptr_t SC_PREVWINDOW = 0xF050;
inline constexpr uintptr_t SC_CLOSE = 0xF060;
inline constexpr uintptr_t SC_SCREENSAVE = 0xF140;
#endif

// The password-verification message: the shell sends it to the saver window, which answers with
// the verifier's result.
inline constexpr uint32_t VerifyPasswordMessage = WM_APP;

// Command line

// The command tail of a process command line: past the program name (quoted or ending at the
// first space) and the spaces after it. A quoted name without its closing quote is not skipped.
const char* SkipProgramName(const char* commandLine);

// As SkipProgramName, except when the line begins, unquoted, with one of the program's own full
// paths (long or short form, letters compared without regard to case) followed by a space or the
// end: then the tail starts past that path, however many spaces it holds. Windows starts a saver
// whose selected path has spaces and no short form exactly so. A null path is passed over.
const char* SkipOwnProgramName(const char* commandLine, const char* longPath,
                               const char* shortPath);

enum class LaunchMode { Configure, Saver, Preview, ChangePassword };

struct LaunchCommand {
    LaunchMode Mode;
    // The preview parent or the password owner as written after P or A; 0 when none.
    uint32_t Window;
};

// The first of the letters S, P, C and A (either case) decides; anything before it is passed
// over. A tail without any of them asks for the configuration.
LaunchCommand ScanCommandTail(const char* tail);

// The window number written after P or A (text starts just past the letter), read as the C
// library's strtoul reads base 10 into 32 bits: white space, a sign, digits; 0 without digits,
// 4294967295 when too large; a minus sign negates modulo 2^32.
uint32_t ParseWindowNumber(const char* text);

// Saver window decisions

// The shell state the decisions depend on.
struct SaverFlags {
    uint32_t PreviewMode;
    uint32_t CheckingPassword;
    uint32_t Closing;
    bool VerifierLoaded;
};

enum class ShellOutcome {
    Forward,         // call the program's handler and return its result
    PlatformDefault, // the platform's default handling
    ReturnZero,      // swallow the message
};

// What the class procedure does with a message, in this order: hide the pointer, store the
// pointer position, post the quit message, then the outcome.
struct ShellDecision {
    bool HidePointer;
    bool SavePointer;
    bool PostQuit;
    ShellOutcome Outcome;
};

ShellDecision DecideShellMessage(uint32_t message, uintptr_t wParam, const SaverFlags& flags);

enum class SaverStep {
    Nothing,
    RequestClose, // post a close request to the window
    TryClose,     // handle a close request now
    HidePointer,
    Verify, // ask the password verifier
};

enum class SaverResult { PlatformDefault, Zero, One, VerifierAnswer };

struct SaverDecision {
    SaverStep Step;
    SaverResult Result;
};

// Whether the decision for this message depends on the pointer having moved; only then does the
// caller need to read the pointer position.
bool SaverDecisionReadsPointer(uint32_t message, uintptr_t wParam, const SaverFlags& flags);

// The default handling of the saver window: when input closes the saver, the pointer shape and
// the password-verification answer.
SaverDecision DecideSaverMessage(uint32_t message, uintptr_t wParam, const SaverFlags& flags,
                                 bool pointerMoved);

struct ScreenPoint {
    int32_t X;
    int32_t Y;
};

// Any difference counts: one pixel in either direction is a movement.
bool PointerMoved(ScreenPoint saved, ScreenPoint now);

// A close request: ignored during a verification or once granted, else asked of the verifier or
// granted at once.
enum class CloseStart { Ignore, AskVerifier, Grant };
CloseStart StartClose(const SaverFlags& flags);

// After the answer (Closing): destroy the window, or keep running and measure movement afresh.
enum class CloseEnd { DestroyWindow, RetakePointer };
CloseEnd FinishClose(uint32_t closing);
