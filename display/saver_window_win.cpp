#include "saver_window.h"

#include "random.h"
#include "registry_store.h"
#include "saver_clock.h"
#include "saver_shell.h"
#include "verse_draw.h"

SaverSettings SaverRecord{};

namespace {

constexpr UINT_PTR DisplayTimerNumber = 1;
// How long a tick and the window's destruction wait for a run before waiting for its end anyway
// (it stops within one frame once Running drops): two runs must never draw at once, and the
// lists must outlive every run that reads them.
constexpr DWORD TickWait = 2000;
constexpr DWORD CloseWait = 50;

UINT_PTR DisplayTimer = 0;
HANDLE DrawingThread = nullptr;

void StopDrawingRun(DWORD wait) {
    if (DrawingThread == nullptr) {
        return;
    }
    SaverRecord.Running = 0;
    if (WaitForSingleObject(DrawingThread, wait) == WAIT_TIMEOUT) {
        WaitForSingleObject(DrawingThread, INFINITE);
    }
    CloseHandle(DrawingThread);
    DrawingThread = nullptr;
}

void StartDisplay(HWND window) {
    SaverRecord.SaverWindow = window;
    LoadSettings(SaverRecord);
    SaverRecord.FirstPick = 1;
    DisplayTimer = SetTimer(window, DisplayTimerNumber, SaverRecord.TextSpeed, nullptr);
    SeedRandom(ClockSeed());
}

void StartDrawingRun() {
    StopDrawingRun(TickWait);
    SaverRecord.Running = 1;
    SaverRecord.ThreadSeed = NextRandom();
    DrawingThread = CreateThread(nullptr, 0, DrawVerseThread, &SaverRecord, 0, nullptr);
}

void StopDisplay(HWND window) {
    KillTimer(window, DisplayTimer);
    DisplayTimer = 0;
    StopDrawingRun(CloseWait);
    SaverRecord.LastDay = DayNumber();
    // The display shows no errors: a position that cannot be stored is picked afresh next time.
    SaveLastVerse(SaverRecord);
    ReleaseSettingsLists(SaverRecord);
}

void EraseToBlack(HWND window) {
    HDC dc = GetDC(window);
    PaintClientBlack(window, dc);
    ReleaseDC(window, dc);
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
