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

// The saver's record. The window thread fills it at creation, picks the verses of every tick
// and stores the position at close; the list reader fills its lists, before any drawing run
// starts; the runs of a tick, one per screen at most, read it while Running is set, which the
// window thread clears to stop them all.
SaverSettings SaverRecord{};

// The round of random order, read with the lists and stored at close with LastText.
VerseRound SaverRound{};

namespace {

constexpr UINT_PTR DisplayTimerNumber = 1;
// How long a tick and the window's destruction wait for the runs before waiting for their end
// anyway (they stop within one frame once Running drops): two ticks' runs must never draw at
// once, and the lists must outlive every run that reads them.
constexpr DWORD TickWait = 2000;
constexpr DWORD CloseWait = 50;

// The saver window's own state beside the saver's record. Touched only by the window thread;
// the process entry asks after the reader once the window is gone, on that same thread.
struct SaverWindowState {
    UINT_PTR DisplayTimer;
    // The Screens value, read at creation.
    uint32_t Screens;
    // The runs of the last tick, each one screen's, and their threads (the first RunCount).
    ScreenRun Runs[MaxClientAreas];
    HANDLE DrawingThreads[MaxClientAreas];
    uint32_t RunCount;
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

void StopDrawingRuns(DWORD wait) {
    uint32_t count = WindowState.RunCount;
    if (count == 0) {
        return;
    }
    SaverRecord.Running = 0;
    if (WaitForMultipleObjects(count, WindowState.DrawingThreads, TRUE, wait) == WAIT_TIMEOUT) {
        WaitForMultipleObjects(count, WindowState.DrawingThreads, TRUE, INFINITE);
    }
    for (uint32_t i = 0; i < count; i++) {
        CloseHandle(WindowState.DrawingThreads[i]);
    }
    WindowState.RunCount = 0;
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
    WindowState.Screens = ReadScreens();
    SaverRecord.FirstPick = 1;
    StartTimer(window);
    SeedRandom(ClockSeed());
    WatchDisplayState(window);
}

void EraseToBlack(HWND window) {
    HDC dc = GetDC(window);
    PaintClientBlack(window, dc);
    ReleaseDC(window, dc);
}

// The runs of a tick start together, each on its own screen; the verses are picked here, in
// screen order. A run alone on the window blacks it all out once laid out (the verse before may
// be on any screen). Runs side by side black out nothing: the window is blacked out before they
// start, so that none can black out another's verse where monitors overlap (as Wine's do).
void StartDrawingRuns(HWND window) {
    // No run before the lists are read (the screen stays black); a window ticking before its
    // first paint starts reading them now.
    StartReadingLists();
    if (!ListsAreRead()) {
        return;
    }
    StopDrawingRuns(TickWait);
    PrepareDrawingRuns();
    ClientAreas areas = WindowAreas(window);
    TickRuns tick = StartTick(SaverRecord, SaverRound, areas, WindowState.Screens, DayNumber());
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    ClientArea blackout = {0, 0, client.right, client.bottom};
    if (tick.Count > 1) {
        EraseToBlack(window);
        blackout = {0, 0, 0, 0};
    }
    SaverRecord.Running = 1;
    for (uint32_t i = 0; i < tick.Count; i++) {
        ScreenRun& run = WindowState.Runs[i];
        run = {&SaverRecord, areas.Area[tick.Run[i].AreaIndex], blackout, tick.Run[i]};
        HANDLE thread = CreateThread(nullptr, 0, DrawVerseThread, &run, 0, nullptr);
        if (thread == nullptr) {
            break;
        }
        WindowState.DrawingThreads[WindowState.RunCount++] = thread;
    }
}

// The timer and the run stop, and today, the verse last picked and the round are stored. True
// when the lists are read.
bool StopAndStorePosition(HWND window) {
    KillTimer(window, WindowState.DisplayTimer);
    WindowState.DisplayTimer = 0;
    StopDrawingRuns(CloseWait);
    SaverRecord.LastDay = DayNumber();
    // With the read still going no verse was shown: the position is stored as it was read, the
    // round is left as stored, and the lists and the round stay with the reader, which the
    // process's end stops.
    bool read = ListsAreRead();
    // The display shows no errors: a position that cannot be stored is picked afresh next time.
    SaveLastVerse(SaverRecord, read ? SaverRound.Stored : nullptr,
                  RoundStoredSize(SaverRound.Count));
    return read;
}

void StopDisplay(HWND window) {
    StopWatchingDisplayState();
    if (StopAndStorePosition(window)) {
        ReleaseSettingsLists(SaverRecord);
        ReleaseRound(SaverRound);
        WindowState.ListsRequested = false;
    }
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
        StopDrawingRuns(TickWait);
        break;
    case DisplayChange::Resume:
        StartDrawingRuns(window);
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
            StartDrawingRuns(window);
        }
        return 0;
    case WM_POWERBROADCAST:
        return ChangePowerSetting(window, wParam, lParam);
    case WM_ENDSESSION:
        // Logoff or shutdown: the process may end without its window being destroyed.
        if (wParam != FALSE) {
            StopAndStorePosition(window);
        }
        return 0;
    case WM_DESTROY:
        StopDisplay(window);
        return 0;
    default:
        return DefaultSaverProc(window, message, wParam, lParam);
    }
}
