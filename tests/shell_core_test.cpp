// The shell's decisions: command line, launch mode, window handle and the saver window's
// message handling, as tables.

#include "shell_core.h"

#include "support/names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const ModeNames[] = {"Configure", "Saver", "Preview", "ChangePassword"};

TEST(SkipProgramName, TailStartsPastTheNameAndItsSpaces) {
    struct Row {
        const char* line;
        const char* tail;
    };
    const Row rows[] = {
        {"\"C:\\Program Files\\Verselume.scr\" /s", "/s"},
        {"\"C:\\Program Files\\Verselume.scr\"    /p 123", "/p 123"},
        {"\"C:\\Program Files\\Verselume.scr\"/s", "/s"},
        {"\"C:\\Program Files\\Verselume.scr\"", ""},
        {"\"C:\\Program Files\\Verselume.scr\" \t/s", "\t/s"},
        {"\"\"  /c", "/c"},
        {"C:\\Verselume.scr /c", "/c"},
        {"C:\\Verselume.scr   /a 77", "/a 77"},
        {"C:\\Verselume.scr", ""},
        // Only the space ends an unquoted name and only spaces are skipped after it.
        {"C:\\Verselume.scr\t/s", ""},
        {"C:\\Verselume.scr \t/s", "\t/s"},
        {"Verselume.scr\"quoted\" /s", "/s"},
        // Without its closing quote the name is not skipped at all.
        {"\"C:\\Program Files\\Verselume.scr /s", "\"C:\\Program Files\\Verselume.scr /s"},
        {"\"", "\""},
        {"", ""},
        {" /s", "/s"},
    };
    for (const Row& row : rows) {
        const char* tail = SkipProgramName(row.line);
        ASSERT_GE(tail, row.line) << row.line;
        ASSERT_LE(tail, row.line + strlen(row.line)) << row.line;
        EXPECT_STREQ(tail, row.tail) << "command line: " << row.line;
    }
}

// Windows starts a saver selected from a folder with spaces and no short names unquoted.
TEST(SkipOwnProgramName, AnUnquotedOwnPathEndsAfterThePathNotTheFirstSpace) {
    const char* own = "C:\\Users\\Ion Cosma\\AppData\\Local\\Programs\\Verselume\\Verselume.scr";
    const char* shortForm = "C:\\Users\\IONCOS~1\\AppData\\Local\\Programs\\VERSEL~1\\VERSEL~1.SCR";
    struct Row {
        const char* line;
        LaunchMode mode;
        const char* tail;
    };
    const Row rows[] = {
        // "Cosma" holds the configuration letter, "Popescu" the preview one.
        {"C:\\Users\\Ion Cosma\\AppData\\Local\\Programs\\Verselume\\Verselume.scr /s",
         LaunchMode::Saver, "/s"},
        {"c:\\users\\ION COSMA\\appdata\\local\\programs\\verselume\\VERSELUME.SCR   /p 12",
         LaunchMode::Preview, "/p 12"},
        {"C:\\Users\\IONCOS~1\\AppData\\Local\\Programs\\VERSEL~1\\VERSEL~1.SCR /s",
         LaunchMode::Saver, "/s"},
        {"C:\\Users\\Ion Cosma\\AppData\\Local\\Programs\\Verselume\\Verselume.scr",
         LaunchMode::Configure, ""},
        // Quoted, or another program's path: scanned as before.
        {"\"C:\\Users\\Ion Cosma\\AppData\\Local\\Programs\\Verselume\\Verselume.scr\" /s",
         LaunchMode::Saver, "/s"},
        {"C:\\Users\\Ion Cosma\\Other.scr /s", LaunchMode::Configure, "Cosma\\Other.scr /s"},
        // The own path must end where the program name ends.
        {"C:\\Users\\Ion Cosma\\AppData\\Local\\Programs\\Verselume\\Verselume.scrx /s",
         LaunchMode::Configure, "Cosma\\AppData\\Local\\Programs\\Verselume\\Verselume.scrx /s"},
    };
    for (const Row& row : rows) {
        const char* tail = SkipOwnProgramName(row.line, own, shortForm);
        EXPECT_STREQ(tail, row.tail) << row.line;
        EXPECT_EQ(ScanCommandTail(tail).Mode, row.mode) << row.line;
    }
    // Without the program's paths the line is scanned as before.
    EXPECT_STREQ(SkipOwnProgramName("C:\\A B\\V.scr /s", nullptr, ""), "B\\V.scr /s");
}

TEST(ParseWindowNumber, ReadsLikeStrtoulBaseTenInThirtyTwoBits) {
    struct Row {
        const char* text; // what follows the letter
        uint32_t number;
    };
    const Row rows[] = {
        {" 123", 123},
        {"123", 123},
        {"\t123", 123},
        {"\n\v\f\r 77", 77},
        {" \t 65538", 65538},
        {"", 0},
        {" ", 0},
        {":123", 0},
        {" 0", 0},
        {" +5", 5},
        {" -1", 4294967295u},
        {" -4294967295", 1},
        {"-0", 0},
        {"4294967295", 4294967295u},
        {"4294967296", 4294967295u},
        {"99999999999999999999999999", 4294967295u},
        {"-4294967296", 4294967295u},
        {"-99999999999999999999999999", 4294967295u},
        {"00000000000000000000000000042", 42},
        {"12ab", 12},
        {"1 2", 1},
        {"+ 5", 0},
        {"--5", 0},
        {"+-5", 0},
        {" 0x1F", 0},
        {"\xA0"
         "5",
         0}, // no byte from 0x80 up is white space
        {"\x85"
         "5",
         0},
        {"/123", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseWindowNumber(row.text), row.number) << "text: \"" << row.text << "\"";
    }
}

TEST(ScanCommandTail, FirstModeLetterDecides) {
    struct Row {
        const char* tail;
        LaunchMode mode;
        uint32_t window;
    };
    const Row rows[] = {
        {"", LaunchMode::Configure, 0},
        {"/x", LaunchMode::Configure, 0},
        {"123", LaunchMode::Configure, 0},
        {"-", LaunchMode::Configure, 0},
        {" \t/\x01\x7F\xFF", LaunchMode::Configure, 0},
        {"/c", LaunchMode::Configure, 0},
        {"/C", LaunchMode::Configure, 0},
        {"/c /s", LaunchMode::Configure, 0},
        {"/c:123", LaunchMode::Configure, 0},
        {"-S", LaunchMode::Saver, 0},
        {"s", LaunchMode::Saver, 0},
        {"/S1", LaunchMode::Saver, 0},
        {"xyz /s", LaunchMode::Saver, 0},
        {"/s /p 5", LaunchMode::Saver, 0},
        {"\x01\x02\xE9/s", LaunchMode::Saver, 0},
        {"/p 123", LaunchMode::Preview, 123},
        {"/p123", LaunchMode::Preview, 123},
        {"/p\t123", LaunchMode::Preview, 123},
        {"/P 4294967295", LaunchMode::Preview, 4294967295u},
        {"/p", LaunchMode::Preview, 0},
        {"/p 0", LaunchMode::Preview, 0},
        {"/p:123", LaunchMode::Preview, 0},
        {"/p /s", LaunchMode::Preview, 0},
        {"pa 5", LaunchMode::Preview, 0},
        {"/a", LaunchMode::ChangePassword, 0},
        {"/a 456", LaunchMode::ChangePassword, 456},
        {"/A:5", LaunchMode::ChangePassword, 0},
        {"/a /s", LaunchMode::ChangePassword, 0},
        {"-a\r\n  9", LaunchMode::ChangePassword, 9},
    };
    for (const Row& row : rows) {
        LaunchCommand command = ScanCommandTail(row.tail);
        EXPECT_STREQ(NameOf(command.Mode, ModeNames), NameOf(row.mode, ModeNames))
            << "tail: \"" << row.tail << "\"";
        EXPECT_EQ(command.Window, row.window) << "tail: \"" << row.tail << "\"";
    }
}

TEST(ScanCommandTail, WholeCommandLinesPickTheirModeAfterTheProgramName) {
    struct Row {
        const char* line;
        LaunchMode mode;
        uint32_t window;
    };
    const Row rows[] = {
        // Letters of a quoted path are never scanned.
        {"\"C:\\Program Files\\Screen Savers\\Verselume.scr\" /p 1234", LaunchMode::Preview, 1234},
        {"\"C:\\Program Files\\Screen Savers\\Verselume.scr\"", LaunchMode::Configure, 0},
        {"C:\\SCREENS~1\\VERSEL~1.SCR /s", LaunchMode::Saver, 0},
        {"C:\\SCREENS~1\\VERSEL~1.SCR", LaunchMode::Configure, 0},
        // A missing closing quote leaves the path to be scanned: its letters pick the mode.
        {"\"C:\\Users\\Ana\\Verselume.scr /s", LaunchMode::Configure, 0},
        {"\"D:\\Screen savers\\Verselume.scr /c", LaunchMode::Saver, 0},
        {"\"D:\\Programe\\Verselume.scr /s", LaunchMode::Preview, 0},
    };
    for (const Row& row : rows) {
        LaunchCommand command = ScanCommandTail(SkipProgramName(row.line));
        EXPECT_STREQ(NameOf(command.Mode, ModeNames), NameOf(row.mode, ModeNames)) << row.line;
        EXPECT_EQ(command.Window, row.window) << row.line;
    }
}

// Flag combinations of the saver window: preview, verifying, closed, verifier loaded.
SaverFlags Flags(uint32_t preview, uint32_t checking, uint32_t closing, bool verifier) {
    return {preview, checking, closing, verifier};
}

const char* const OutcomeNames[] = {"forward", "platform default", "return 0"};

std::string Describe(const ShellDecision& d) {
    return std::string(NameOf(d.Outcome, OutcomeNames)) + (d.HidePointer ? " +hide pointer" : "") +
           (d.SavePointer ? " +save pointer" : "") + (d.PostQuit ? " +post quit" : "");
}

const uint32_t BypassedWhenClosing[] = {
    WM_ACTIVATE,   WM_PAINT,     WM_ACTIVATEAPP, WM_NCACTIVATE,  WM_KEYDOWN,
    WM_SYSKEYDOWN, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};

TEST(DecideShellMessage, CreationHidesThePointerOnlyInFullScreenAndDestructionEndsTheLoop) {
    struct Row {
        uint32_t message;
        SaverFlags flags;
        ShellDecision expected;
    };
    const Row rows[] = {
        {WM_CREATE, Flags(0, 0, 0, false), {true, true, false, ShellOutcome::Forward}},
        {WM_CREATE, Flags(0, 0, 0, true), {true, true, false, ShellOutcome::Forward}},
        {WM_CREATE, Flags(1, 0, 0, false), {false, true, false, ShellOutcome::Forward}},
        {WM_DESTROY, Flags(0, 0, 0, false), {false, false, true, ShellOutcome::Forward}},
        {WM_DESTROY, Flags(0, 0, 1, true), {false, false, true, ShellOutcome::Forward}},
        {WM_DESTROY, Flags(1, 0, 0, false), {false, false, true, ShellOutcome::Forward}},
        {WM_DESTROY, Flags(0, 1, 0, true), {false, false, true, ShellOutcome::Forward}},
    };
    for (const Row& row : rows) {
        ShellDecision d = DecideShellMessage(row.message, 0, row.flags);
        EXPECT_EQ(Describe(d), Describe(row.expected))
            << "message " << row.message << " preview " << row.flags.PreviewMode << " closing "
            << row.flags.Closing;
    }
}

TEST(DecideShellMessage, InputActivationAndPaintBypassTheProgramOnceClosing) {
    for (uint32_t message : BypassedWhenClosing) {
        for (uint32_t preview : {0u, 1u}) {
            for (uint32_t checking : {0u, 1u}) {
                ShellDecision open =
                    DecideShellMessage(message, 0, Flags(preview, checking, 0, true));
                EXPECT_EQ(Describe(open), "forward") << "message " << message;
                for (uint32_t closing : {1u, 0x80000000u}) {
                    ShellDecision closed =
                        DecideShellMessage(message, 1, Flags(preview, checking, closing, true));
                    EXPECT_EQ(Describe(closed), "platform default") << "message " << message;
                }
            }
        }
    }
    EXPECT_EQ(Describe(DecideShellMessage(WM_TIMER, 7, Flags(0, 1, 0, true))), "forward");
    EXPECT_EQ(Describe(DecideShellMessage(WM_TIMER, 7, Flags(0, 0, 1, true))), "return 0");
    EXPECT_EQ(Describe(DecideShellMessage(WM_TIMER, 7, Flags(1, 0, 1, false))), "return 0");
}

TEST(DecideShellMessage, FullScreenSwallowsTheListedSystemCommandsWhole) {
    struct Row {
        uintptr_t command;
        uint32_t preview;
        uint32_t closing;
        const char* expected;
    };
    const Row rows[] = {
        {SC_NEXTWINDOW, 0, 0, "return 0"},
        {SC_PREVWINDOW, 0, 0, "return 0"},
        {SC_CLOSE, 0, 0, "return 0"},
        {SC_SCREENSAVE, 0, 0, "return 0"},
        {SC_CLOSE, 0, 1, "return 0"},
        // The low four bits are part of the comparison.
        {SC_CLOSE | 1, 0, 0, "forward"},
        {SC_SCREENSAVE | 0xF, 0, 0, "forward"},
        {0xF020 /* SC_MINIMIZE */, 0, 0, "forward"},
        {0xF100 /* SC_KEYMENU */, 0, 0, "forward"},
        {0xF060ull << 16, 0, 0, "forward"},
        // A preview passes every command on.
        {SC_NEXTWINDOW, 1, 0, "forward"},
        {SC_PREVWINDOW, 1, 0, "forward"},
        {SC_CLOSE, 1, 0, "forward"},
        {SC_SCREENSAVE, 1, 0, "forward"},
    };
    for (const Row& row : rows) {
        ShellDecision d =
            DecideShellMessage(WM_SYSCOMMAND, row.command, Flags(row.preview, 0, row.closing, 0));
        EXPECT_EQ(Describe(d), row.expected)
            << "command 0x" << std::hex << row.command << " preview " << row.preview;
    }
}

TEST(DecideShellMessage, EveryOtherMessageIsForwardedWhateverTheFlags) {
    std::set<uint32_t> handled(std::begin(BypassedWhenClosing), std::end(BypassedWhenClosing));
    handled.insert({WM_CREATE, WM_DESTROY, WM_SYSCOMMAND, WM_TIMER});
    for (uint32_t message = 0; message <= 0xC100; message++) {
        if (handled.count(message) != 0) {
            continue;
        }
        for (uint32_t bits = 0; bits < 16; bits++) {
            SaverFlags flags = Flags(bits & 1, (bits >> 1) & 1, (bits >> 2) & 1, (bits & 8) != 0);
            ShellDecision d = DecideShellMessage(message, SC_CLOSE, flags);
            ASSERT_EQ(Describe(d), "forward") << "message 0x" << std::hex << message;
        }
    }
}

const char* const StepNames[] = {"nothing", "request close", "try close", "hide pointer", "verify"};

const char* const ResultNames[] = {"platform default", "0", "1", "verifier's answer"};

std::string Describe(const SaverDecision& d) {
    return std::string(NameOf(d.Step, StepNames)) + ", " + NameOf(d.Result, ResultNames);
}

const std::vector<uint32_t> CloseKeysAndButtons = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN,
                                                   WM_RBUTTONDOWN, WM_MBUTTONDOWN};
const std::vector<uint32_t> Activations = {WM_ACTIVATE, WM_ACTIVATEAPP, WM_NCACTIVATE};

TEST(DecideSaverMessage, RunningSaverClosesOnKeysButtonsAndMovement) {
    const SaverFlags running = Flags(0, 0, 0, false);
    const SaverFlags verifying = Flags(0, 1, 0, true);
    struct Row {
        const char* what;
        std::vector<uint32_t> messages;
        uint32_t wParam;
        SaverFlags flags;
        bool moved;
        bool closes;
    };
    const Row rows[] = {
        {"key or button", CloseKeysAndButtons, 0, running, false, true},
        {"key or button after movement", CloseKeysAndButtons, 0, running, true, true},
        {"key or button while verifying", CloseKeysAndButtons, 0, verifying, false, false},
        {"key or button after movement, verifying", CloseKeysAndButtons, 0, verifying, true, false},
        {"movement", {WM_MOUSEMOVE}, 0, running, true, true},
        {"pointer at rest", {WM_MOUSEMOVE}, 0, running, false, false},
        {"movement while verifying", {WM_MOUSEMOVE}, 0, verifying, true, false},
        {"deactivation after movement", Activations, 0, running, true, true},
        {"deactivation, pointer at rest", Activations, 0, running, false, false},
        {"activation", Activations, 1, running, true, false},
        {"click activation", Activations, 2, running, true, false},
        {"deactivation while verifying", Activations, 0, verifying, true, false},
    };
    for (const Row& row : rows) {
        for (uint32_t message : row.messages) {
            EXPECT_EQ(Describe(DecideSaverMessage(message, row.wParam, row.flags, row.moved)),
                      row.closes ? "request close, platform default" : "nothing, platform default")
                << row.what << ", message " << message;
        }
    }
}

TEST(DecideSaverMessage, CloseRequestsPointerShapeAndVerification) {
    struct Row {
        uint32_t message;
        SaverFlags flags;
        const char* expected;
    };
    const Row rows[] = {
        {WM_CLOSE, Flags(0, 0, 0, false), "try close, 0"},
        {WM_CLOSE, Flags(0, 0, 0, true), "try close, 0"},
        {WM_CLOSE, Flags(0, 1, 0, true), "try close, 0"},
        {WM_SETCURSOR, Flags(0, 0, 0, false), "hide pointer, 1"},
        {WM_SETCURSOR, Flags(0, 0, 0, true), "hide pointer, 1"},
        {WM_SETCURSOR, Flags(0, 1, 0, true), "nothing, platform default"},
        {WM_APP, Flags(0, 0, 0, false), "nothing, 1"},
        {WM_APP, Flags(0, 0, 0, true), "verify, verifier's answer"},
        // The verification message itself arrives while CheckingPassword is set.
        {WM_APP, Flags(0, 1, 0, true), "verify, verifier's answer"},
        {WM_APP, Flags(0, 1, 0, false), "nothing, 1"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Describe(DecideSaverMessage(row.message, 0, row.flags, true)), row.expected)
            << "message 0x" << std::hex << row.message << " checking " << row.flags.CheckingPassword
            << " verifier " << row.flags.VerifierLoaded;
    }
}

TEST(DecideSaverMessage, PreviewAndClosedWindowLeaveEverythingToThePlatform) {
    std::set<uint32_t> messages = {WM_CLOSE, WM_SETCURSOR, WM_APP, WM_MOUSEMOVE, WM_CREATE};
    messages.insert(std::begin(CloseKeysAndButtons), std::end(CloseKeysAndButtons));
    messages.insert(std::begin(Activations), std::end(Activations));
    for (uint32_t message : messages) {
        for (uint32_t bits = 0; bits < 4; bits++) {
            uint32_t checking = bits & 1;
            bool verifier = (bits & 2) != 0;
            for (SaverFlags flags :
                 {Flags(1, checking, 0, verifier), Flags(0, checking, 1, verifier),
                  Flags(1, checking, 1, verifier), Flags(0, checking, 0x10000, verifier)}) {
                EXPECT_EQ(Describe(DecideSaverMessage(message, 0, flags, true)),
                          "nothing, platform default")
                    << "message 0x" << std::hex << message;
                EXPECT_FALSE(SaverDecisionReadsPointer(message, 0, flags));
            }
        }
    }
}

TEST(DecideSaverMessage, OtherInputNeverClosesTheSaver) {
    std::set<uint32_t> handled = {WM_MOUSEMOVE, WM_CLOSE, WM_SETCURSOR, WM_APP};
    handled.insert(std::begin(CloseKeysAndButtons), std::end(CloseKeysAndButtons));
    handled.insert(std::begin(Activations), std::end(Activations));
    for (uint32_t message = 0; message <= 0xC100; message++) {
        if (handled.count(message) != 0) {
            continue;
        }
        for (bool moved : {false, true}) {
            for (SaverFlags flags : {Flags(0, 0, 0, false), Flags(0, 0, 0, true)}) {
                SaverDecision d = DecideSaverMessage(message, 0, flags, moved);
                ASSERT_EQ(Describe(d), "nothing, platform default")
                    << "message 0x" << std::hex << message;
                ASSERT_FALSE(SaverDecisionReadsPointer(message, 0, flags));
            }
        }
    }
}

TEST(SaverDecisionReadsPointer, OnlyMovementAndDeactivationOfARunningSaver) {
    const SaverFlags running = Flags(0, 0, 0, false);
    EXPECT_TRUE(SaverDecisionReadsPointer(WM_MOUSEMOVE, 0, running));
    EXPECT_TRUE(SaverDecisionReadsPointer(WM_MOUSEMOVE, 0, Flags(0, 1, 0, true)));
    for (uint32_t message : Activations) {
        EXPECT_TRUE(SaverDecisionReadsPointer(message, 0, running)) << message;
        EXPECT_FALSE(SaverDecisionReadsPointer(message, 1, running)) << message;
    }
    for (uint32_t message : CloseKeysAndButtons) {
        EXPECT_FALSE(SaverDecisionReadsPointer(message, 0, running)) << message;
    }
}

TEST(TryCloseDecisions, OneVerificationAtATimeAndNothingAfterTheGrant) {
    struct Row {
        uint32_t checking;
        uint32_t closing;
        bool verifier;
        CloseStart start;
    };
    const Row rows[] = {
        {0, 0, false, CloseStart::Grant}, {0, 0, true, CloseStart::AskVerifier},
        {1, 0, true, CloseStart::Ignore}, {1, 0, false, CloseStart::Ignore},
        {0, 1, true, CloseStart::Ignore}, {0, 1, false, CloseStart::Ignore},
        {1, 1, true, CloseStart::Ignore}, {0, 0x80000000u, true, CloseStart::Ignore},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(StartClose(Flags(0, row.checking, row.closing, row.verifier)), row.start)
            << "checking " << row.checking << " closing " << row.closing << " verifier "
            << row.verifier;
    }
    EXPECT_EQ(FinishClose(0), CloseEnd::RetakePointer);
    EXPECT_EQ(FinishClose(1), CloseEnd::DestroyWindow);
    EXPECT_EQ(FinishClose(0x100), CloseEnd::DestroyWindow);
    EXPECT_EQ(FinishClose(0xFFFFFFFFu), CloseEnd::DestroyWindow);
}

} // namespace
