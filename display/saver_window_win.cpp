#include "saver_window.h"

#include "display_power.h"
#include "list_reading.h"
#include "platform.h"
#include "random.h"
#include "registry_store.h"
#include "saver_clock.h"
#include "saver_shell.h"
#include "verse_draw.h"

#include <atomic>
#include <cstring>

// The saver's record. The window thread fills it at creation and stores its position at close;
// the list reader fills its lists, before any drawing run starts; one drawing run at a time
// reads it and moves its position on while Running is set, which the window thread clears to
// stop the run.
SaverSettings SaverRecord{};

// The round of random order, read with the lists and stored at close with LastText.
VerseRound SaverRound{};

namespace {

constexpr UINT_PTR DisplayTimerNumber = 1;
// How long a tick and the window's destruction wait for a run before waiting for its end anyway
// (it stops within one frame once Running drops): two runs must never draw at once, and the
// lists must outlive every run that reads them.
constexpr DWORD TickWait = 2000;
constexpr DWORD CloseWait = 50;

// The saver window's own state beside the saver's record. Touched only by the window thread;
// the process entry asks after the reader once the window is gone, on that same thread.
struct SaverWindowState {
    UINT_PTR DisplayTimer;
    HANDLE DrawingThread;
    DrawingRun Run;
    // The reading of the list files, started after the window's first paint so that the screen
    // goes black before a long verse list is read; none before it starts and once it has ended.
    HANDLE ListReader;
    bool ListsRequested;
    // The full-screen saver's registration for the display's state, none in a preview; and
    // whether the display is off, the timer and runs stopped.
    HPOWERNOTIFY DisplayNotices;
    bool DisplayOff;
};

SaverWindowState WindowState{};
// Set by the reader as its last step: the lists are in, although its thread may not have quite
// ended yet.
std::atomic<bool> ListsReadIn{false};

// The lists, then the stored round where it is one of this verse list.
DWORD WINAPI ReadLists(LPVOID) {
    ListFileStates states;
    LoadSettingsLists(SaverRecord, states);
    uint32_t size = RoundStoredSize(SaverRecord.TextCount);
    uint8_t* stored = SaverRecord.TextCount != 0 ? LoadVerseRound(size) : nullptr;
    FitRound(SaverRound, stored, size, SaverRecord.TextCount, states.Texts.Digest);
    HeapRelease(stored);
    ListsReadIn = true;
    return 0;
}

void StartReadingLists() {
    if (WindowState.ListsRequested) {
        return;
    }
    WindowState.ListsRequested = true;
    ListsReadIn = false;
    WindowState.ListReader = StartListReader(ReadLists, nullptr);
    if (WindowState.ListReader == nullptr) {
        ReadLists(nullptr);
    }
}

// Whether the lists are read. The window never waits for the reader: a list on a hung network
// path or a pipe would keep the saver from closing on a key press.
bool ListsAreRead() {
    if (WindowState.ListReader == nullptr) {
        return true;
    }
    if (!ListsReadIn) {
        return false;
    }
    // Only the end of the reader's thread is left.
    WaitForSingleObject(WindowState.ListReader, INFINITE);
    CloseHandle(WindowState.ListReader);
    WindowState.ListReader = nullptr;
    return true;
}

void StopDrawingRun(DWORD wait) {
    if (WindowState.DrawingThread == nullptr) {
        return;
    }
    SaverRecord.Running = 0;
    if (WaitForSingleObject(WindowState.DrawingThread, wait) == WAIT_TIMEOUT) {
        WaitForSingleObject(WindowState.DrawingThread, INFINITE);
    }
    CloseHandle(WindowState.DrawingThread);
    WindowState.DrawingThread = nullptr;
}

void StartTimer(HWND window) {
    WindowState.DisplayTimer =
        SetTimer(window, DisplayTimerNumber, DisplayPeriod(SaverRecord.TextSpeed), nullptr);
}

// A full screen that the display has turned off is drawn for no one. A preview draws in the
// settings, on a screen that is on while the user looks at it.
void WatchDisplayState(HWND window) {
    WindowState.DisplayOff = false;
    if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0) {
        return;
    }
    WindowState.DisplayNotices = RegisterPowerSettingNotification(
        window, &GUID_CONSOLE_DISPLAY_STATE, DEVICE_NOTIFY_WINDOW_HANDLE);
    // Windows 7 knows only the monitor's power; without either nothing changes.
    if (WindowState.DisplayNotices == nullptr) {
        WindowState.DisplayNotices = RegisterPowerSettingNotification(
            window, &GUID_MONITOR_POWER_ON, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
}

void StopWatchingDisplayState() {
    if (WindowState.DisplayNotices != nullptr) {
        UnregisterPowerSettingNotification(WindowState.DisplayNotices);
        WindowState.DisplayNotices = nullptr;
    }
    WindowState.DisplayOff = false;
}

void StartDisplay(HWND window) {
    SaverRecord.SaverWindow = window;
    LoadSettingsNumbers(SaverRecord);
    SaverRecord.FirstPick = 1;
    StartTimer(window);
    SeedRandom(ClockSeed());
    WatchDisplayState(window);
}

void StartDrawingRun() {
    // No run before the lists are read (the screen stays black); a window ticking before its
    // first paint starts reading them now.
    StartReadingLists();
    if (!ListsAreRead()) {
        return;
    }
    StopDrawingRun(TickWait);
    SaverRecord.Running = 1;
    SaverRecord.ThreadSeed = NextRandom();
    WindowState.Run = {&SaverRecord, &SaverRound};
    WindowState.DrawingThread =
        CreateThread(nullptr, 0, DrawVerseThread, &WindowState.Run, 0, nullptr);
}

void StopDisplay(HWND window) {
    StopWatchingDisplayState();
    KillTimer(window, WindowState.DisplayTimer);
    WindowState.DisplayTimer = 0;
    StopDrawingRun(CloseWait);
    SaverRecord.LastDay = DayNumber();
    // With the read still going no verse was shown: the position is stored as it was read, the
    // round is left as stored, and the lists and the round stay with the reader, which the
    // process's end stops.
    bool read = ListsAreRead();
    // The display shows no errors: a position that cannot be stored is picked afresh next time.
    SaveLastVerse(SaverRecord, read ? SaverRound.Stored : nullptr,
                  RoundStoredSize(SaverRound.Count));
    if (read) {
        ReleaseSettingsLists(SaverRecord);
        ReleaseRound(SaverRound);
        WindowState.ListsRequested = false;
    }
}

void EraseToBlack(HWND window) {
    HDC dc = GetDC(window);
    PaintClientBlack(window, dc);
    ReleaseDC(window, dc);
}

// Off: the timer and any run stop, leaving the screen as it is. On or dimmed again: a verse at
// once, then one every TextSpeed as before.
void FollowDisplayState(HWND window, uint32_t state) {
    switch (DecideDisplayChange(WindowState.DisplayOff, state)) {
    case DisplayChange::None:
        break;
    case DisplayChange::Stop:
        KillTimer(window, WindowState.DisplayTimer);
        WindowState.DisplayTimer = 0;
        StopDrawingRun(TickWait);
        break;
    case DisplayChange::Resume:
        StartDrawingRun();
        StartTimer(window);
        break;
    }
}

LRESULT ChangePowerSetting(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (wParam != PBT_POWERSETTINGCHANGE || WindowState.DisplayNotices == nullptr ||
        setting == nullptr || setting->DataLength < sizeof(DWORD) ||
        (!IsEqualGUID(setting->PowerSetting, GUID_CONSOLE_DISPLAY_STATE) &&
         !IsEqualGUID(setting->PowerSetting, GUID_MONITOR_POWER_ON))) {
        return DefaultSaverProc(window, WM_POWERBROADCAST, wParam, lParam);
    }
    DWORD state;
    memcpy(&state, setting->Data, sizeof state);
    FollowDisplayState(window, state);
    return TRUE;
}

LRESULT PaintThenReadLists(HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefaultSaverProc(window, WM_PAINT, wParam, lParam);
    StartReadingLists();
    return result;
}

} // namespace

LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        EraseToBlack(window);
        return 0;
    case WM_CREATE:
        StartDisplay(window);
        return 0;
    case WM_PAINT:
        return PaintThenReadLists(window, wParam, lParam);
    case WM_TIMER:
        // A tick that was on its way when the display went off draws nothing.
        if (!WindowState.DisplayOff) {
            StartDrawingRun();
        }
        return 0;
    case WM_POWERBROADCAST:
        return ChangePowerSetting(window, wParam, lParam);
    case WM_DESTROY:
        StopDisplay(window);
        return 0;
    default:
        return DefaultSaverProc(window, message, wParam, lParam);
    }
}
