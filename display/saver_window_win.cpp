#include "saver_window.h"

#include "random.h"
#include "registry_store.h"
#include "saver_clock.h"
#include "saver_shell.h"
#include "verse_draw.h"

// The saver's record. The window thread fills it at creation and stores its position at close;
// the list reader fills its lists, before any drawing run starts; one drawing run at a time
// reads it and moves its position on while Running is set, which the window thread clears to
// stop the run.
SaverSettings SaverRecord{};

namespace {

constexpr UINT_PTR DisplayTimerNumber = 1;
// How long a tick and the window's destruction wait for a run before waiting for its end anyway
// (it stops within one frame once Running drops): two runs must never draw at once, and the
// lists must outlive every run that reads them.
constexpr DWORD TickWait = 2000;
constexpr DWORD CloseWait = 50;

// The saver window's own state beside the saver's record: its timer, the drawing run under way
// and the reading of the list files, started after the window's first paint so that the screen
// goes black before a long verse list is read (no reader before it starts and once it has been
// waited for). Touched only by the window thread; the process entry asks after the reader once
// the window is gone, on that same thread.
struct SaverWindowState {
    UINT_PTR DisplayTimer;
    HANDLE DrawingThread;
    HANDLE ListReader;
    bool ListsRequested;
};

SaverWindowState WindowState{};

DWORD WINAPI ReadLists(LPVOID parameter) {
    LoadSettingsLists(*static_cast<SaverSettings*>(parameter));
    return 0;
}

void StartReadingLists() {
    if (WindowState.ListsRequested) {
        return;
    }
    WindowState.ListsRequested = true;
    WindowState.ListReader = CreateThread(nullptr, 0, ReadLists, &SaverRecord, 0, nullptr);
    if (WindowState.ListReader == nullptr) {
        LoadSettingsLists(SaverRecord);
    }
}

// Whether the lists are read. The window never waits for the reader: a list on a hung network
// path or a pipe would keep the saver from closing on a key press.
bool ListsAreRead() {
    if (WindowState.ListReader != nullptr &&
        WaitForSingleObject(WindowState.ListReader, 0) != WAIT_OBJECT_0) {
        return false;
    }
    if (WindowState.ListReader != nullptr) {
        CloseHandle(WindowState.ListReader);
        WindowState.ListReader = nullptr;
    }
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

void StartDisplay(HWND window) {
    SaverRecord.SaverWindow = window;
    LoadSettingsNumbers(SaverRecord);
    SaverRecord.FirstPick = 1;
    WindowState.DisplayTimer =
        SetTimer(window, DisplayTimerNumber, DisplayPeriod(SaverRecord.TextSpeed), nullptr);
    SeedRandom(ClockSeed());
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
    WindowState.DrawingThread = CreateThread(nullptr, 0, DrawVerseThread, &SaverRecord, 0, nullptr);
}

void StopDisplay(HWND window) {
    KillTimer(window, WindowState.DisplayTimer);
    WindowState.DisplayTimer = 0;
    StopDrawingRun(CloseWait);
    SaverRecord.LastDay = DayNumber();
    // The display shows no errors: a position that cannot be stored is picked afresh next time.
    SaveLastVerse(SaverRecord);
    // With the read still going no verse was shown (the position is stored as it was read), and
    // the lists stay with the reader, which the process's end stops.
    if (ListsAreRead()) {
        ReleaseSettingsLists(SaverRecord);
        WindowState.ListsRequested = false;
    }
}

void EraseToBlack(HWND window) {
    HDC dc = GetDC(window);
    PaintClientBlack(window, dc);
    ReleaseDC(window, dc);
}

LRESULT PaintThenReadLists(HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefaultSaverProc(window, WM_PAINT, wParam, lParam);
    StartReadingLists();
    return result;
}

} // namespace

bool ListReadStillRunning() {
    return WindowState.ListReader != nullptr &&
           WaitForSingleObject(WindowState.ListReader, 0) != WAIT_OBJECT_0;
}

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
        StartDrawingRun();
        return 0;
    case WM_DESTROY:
        StopDisplay(window);
        return 0;
    default:
        return DefaultSaverProc(window, message, wParam, lParam);
    }
}
