#pragma once
// Runs the real Verselume.scr from a test under Wine and watches its windows and its exit, with
// the pointer and the environment it starts with.

#include "support/messages.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Windows path of the program the build made.
std::string BuiltSaverPath();

// "program" tail, as the system starts a screen saver.
std::string QuotedCommand(const std::string& program, const std::string& tail);

// Waits until window is the foreground window and has the keyboard focus, where input that
// SendInput makes arrives.
bool WaitForFocus(HWND window, DWORD timeoutMs = 10000);

// Returns once the thread of window has handled every message posted to window before the call
// (or the window is gone). Sent messages cannot tell: they overtake posted ones. Posted messages
// are handled in order, so a posted WM_SETREDRAW, whose handling shows in the window's style, is
// handled after them.
void WaitForPostedMessages(HWND window);

// Moves the pointer to point and waits until it has settled there; false if it does not within
// the time. Under Wine a position has two copies: Wine's own, which SetCursorPos changes at once,
// and the X server's, which follows only when no program holds a pointer grab (Wine grabs it for
// a full-screen foreground window). GetCursorPos trusts Wine's copy for 100 ms after a change and
// then asks X, and a program that handles X events late can put an older position back into
// Wine's copy. Only a position that reads the same for longer than that trust is one every
// program will keep reading.
bool MovePointer(POINT point, DWORD timeoutMs = 5000);

// Moves the pointer from one point to another, again and again, until done() holds or timeoutMs
// has passed. For a full-screen saver, which holds the pointer grab: the move reaches only Wine's
// copy of the position and is seen only by a read within 100 ms, which a busy program may miss.
bool NudgePointerUntil(POINT from, POINT to, const std::function<bool()>& done,
                       DWORD timeoutMs = 10000);

struct CreatedWindow {
    HWND window;
    std::string className; // empty when the window was already gone when the event arrived
};

// One run of the program; ended if still running when the object goes. Window creation is
// watched from the first instruction of the process on.
class SaverProcess {
  public:
    // Starts the built program with the command tail.
    explicit SaverProcess(const std::string& tail);
    SaverProcess(const std::string& program, const std::string& commandLine);
    ~SaverProcess();
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    bool Running() const;
    // The exit code, or STILL_ACTIVE when the process has not ended within the time.
    DWORD WaitForExit(DWORD timeoutMs = 10000);
    // Presses a key in the saver window, which ends a saver without a password, and waits for
    // the end as WaitForExit does.
    DWORD EndWithAKey(HWND window, DWORD timeoutMs = 10000) {
        PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
        return WaitForExit(timeoutMs);
    }
    // The saver window once shown: top level, or the child of parent; none after the time.
    HWND WaitForSaverWindow(HWND parent = nullptr, DWORD timeoutMs = 10000);
    // A top-level dialog of the process (message boxes are dialogs) with this title.
    HWND WaitForDialog(const char* title, DWORD timeoutMs = 10000);
    // Every window the process created so far, in order.
    const std::vector<CreatedWindow>& CreatedWindows() const { return created_; }
    size_t CreatedSaverWindows() const;
    // Waits for the creation event of the saver window, which arrives after the window shows.
    bool SawOneSaverWindowCreated();

  private:
    void Start(const std::string& program, const std::string& commandLine);

    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    HWINEVENTHOOK hook_ = nullptr;
    std::vector<CreatedWindow> created_;
};

// Where the pointer rests while a full-screen saver runs, so that only the test closes it.
constexpr POINT RestingPointer = {400, 300};
struct PointerAtRest {
    PointerAtRest();
};

// The full-screen saver (the built program, or program with commandLine), started with the
// pointer at rest.
struct FullScreenSaver : PointerAtRest {
    SaverProcess process;
    HWND window;

    FullScreenSaver() : process("/s"), window(process.WaitForSaverWindow()) {}
    FullScreenSaver(const std::string& program, const std::string& commandLine)
        : process(program, commandLine), window(process.WaitForSaverWindow()) {}
    // Ends it with a key, which it answers with exit code 0.
    void Close();
};

// Sets an environment variable of the test process (and so of the programs it starts) and puts
// the old value back at the end.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::string& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};
