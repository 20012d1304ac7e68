#include "support/saver_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr char SaverClassName[] = "WindowsScreenSaverClass";

// Window-creation events of the process being watched. Out-of-context events reach the hooking
// thread while it dispatches messages.
std::vector<CreatedWindow>* WatchedWindows = nullptr;

void CALLBACK OnWindowCreated(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object != OBJID_WINDOW || WatchedWindows == nullptr) {
        return;
    }
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    WatchedWindows->push_back({window, name});
}

struct WindowSearch {
    DWORD process;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    if (owner == search.process && strcmp(name, search.className) == 0 &&
        (search.title == nullptr || strcmp(title, search.title) == 0)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopLevel(DWORD process, const char* className, const char* title) {
    WindowSearch search = {process, className, title, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

std::string BuiltSaverPath() {
    std::string path = VERSELUME_SCR;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string QuotedCommand(const std::string& program, const std::string& tail) {
    return "\"" + program + "\" " + tail;
}

bool WaitForFocus(HWND window, DWORD timeoutMs) {
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return PumpUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetForegroundWindow() == window && GetGUIThreadInfo(thread, &info) &&
                   info.hwndFocus == window;
        },
        timeoutMs);
}

namespace {

// Longer than Wine trusts its own copy of the pointer position before it asks X.
constexpr DWORD PointerTrustMs = 150;

// Wine loads its X driver into a process with the first window or display query; until then
// SetCursorPos changes only Wine's own copy of the position and never moves the X pointer.
void LoadDisplayDriver() {
    GetSystemMetrics(SM_CXSCREEN);
}

// Sets the position through a neighbouring point: Wine passes a move on to X only when its own
// copy changes, and its copy may hold the point already while X does not.
void SetPointer(POINT point) {
    SetCursorPos(point.x + (point.x > 0 ? -1 : 1), point.y);
    SetCursorPos(point.x, point.y);
}

bool PointerAt(POINT point) {
    POINT now{};
    return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
}

} // namespace

bool MovePointer(POINT point, DWORD timeoutMs) {
    LoadDisplayDriver();
    DWORD start = GetTickCount();
    for (;;) {
        SetPointer(point);
        DWORD since = GetTickCount();
        // Polls until the point has read the same for the whole trust, or another position shows.
        PumpUntil([&] { return !PointerAt(point) || GetTickCount() - since >= PointerTrustMs; },
                  timeoutMs);
        if (PointerAt(point) && GetTickCount() - since >= PointerTrustMs) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
    }
}

PointerAtRest::PointerAtRest() {
    EXPECT_TRUE(MovePointer(RestingPointer)) << "the pointer does not settle";
}

void FullScreenSaver::Close() {
    EXPECT_EQ(process.EndWithAKey(window), 0u);
}

bool NudgePointerUntil(POINT from, POINT to, const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        SetCursorPos(from.x, from.y);
        SetCursorPos(to.x, to.y);
        if (PumpUntil(done, 2 * PointerTrustMs)) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
    }
}

void WaitForPostedMessages(HWND window) {
    auto visible = [window] { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; };
    ASSERT_TRUE(visible()) << "the barrier needs a visible window";
    PostMessageA(window, WM_SETREDRAW, FALSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window) || !visible(); }))
        << "the window's thread does not handle posted messages";
    PostMessageA(window, WM_SETREDRAW, TRUE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window) || visible(); }));
}

SaverProcess::SaverProcess(const std::string& tail) {
    Start(BuiltSaverPath(), QuotedCommand(BuiltSaverPath(), tail));
}

SaverProcess::SaverProcess(const std::string& program, const std::string& commandLine) {
    Start(program, commandLine);
}

void SaverProcess::Start(const std::string& program, const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Wine at times loses a new process while it sets it up, before any of the program's code
    // runs (seen once in over a thousand starts on a loaded machine), and reports that as an
    // internal error; such a start is made again.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; attempt++) {
        std::string line = commandLine;
        started = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                                 CREATE_SUSPENDED, nullptr, nullptr, &startup, &info) != FALSE;
        if (!started && GetLastError() != ERROR_INTERNAL_ERROR) {
            break;
        }
    }
    if (!started) {
        ADD_FAILURE() << "cannot start " << program << " (error " << GetLastError() << ")";
        return;
    }
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    WatchedWindows = &created_;
    hook_ = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnWindowCreated, id_,
                            0, WINEVENT_OUTOFCONTEXT);
    EXPECT_NE(hook_, nullptr) << "cannot watch the program's windows";
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
}

SaverProcess::~SaverProcess() {
    if (process_ != nullptr) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
    if (hook_ != nullptr) {
        UnhookWinEvent(hook_);
    }
    if (WatchedWindows == &created_) {
        WatchedWindows = nullptr;
    }
}

bool SaverProcess::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD SaverProcess::WaitForExit(DWORD timeoutMs) {
    if (process_ == nullptr) {
        return STILL_ACTIVE;
    }
    PumpUntil([this] { return !Running(); }, timeoutMs);
    PumpMessages();
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

HWND SaverProcess::WaitForSaverWindow(HWND parent, DWORD timeoutMs) {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            found = parent != nullptr ? FindWindowExA(parent, nullptr, SaverClassName, nullptr)
                                      : FindTopLevel(id_, SaverClassName, nullptr);
            return (found != nullptr && IsWindowVisible(found)) || !Running();
        },
        timeoutMs);
    return found;
}

HWND SaverProcess::WaitForDialog(const char* title, DWORD timeoutMs) {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            found = FindTopLevel(id_, "#32770", title);
            return found != nullptr || !Running();
        },
        timeoutMs);
    return found;
}

size_t SaverProcess::CreatedSaverWindows() const {
    return std::count_if(created_.begin(), created_.end(), [](const CreatedWindow& created) {
        return created.className == SaverClassName;
    });
}

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    char old[4096];
    DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
    had_ = length > 0 && length < sizeof old;
    if (had_) {
        old_.assign(old, length);
    }
    SetEnvironmentVariableA(name, value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
    SetEnvironmentVariableA(name_.c_str(), had_ ? old_.c_str() : nullptr);
}

bool SaverProcess::SawOneSaverWindowCreated() {
    PumpUntil([this] { return CreatedSaverWindows() != 0; }, 2000);
    return CreatedSaverWindows() == 1;
}
