#include "saver_window.h"

#include "support/files.h"
#include "support/installed.h"
#include "support/messages.h"
#include "support/pixels.h"
#include "support/process_objects.h"
#include "support/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

LRESULT CALLBACK TestSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SaverWindowProc(window, message, wParam, lParam);
}

HWND MakeSaverWindow() {
    return MakeTestWindow("SaverWindowTest", TestSaverProc, 0, 0, 400, 300);
}

// The window once its first paint has had the lists read: a tick before that shows nothing.
HWND MakeSaverWindowWithLists() {
    HWND window = MakeSaverWindow();
    UpdateWindow(window);
    for (int i = 0; i < 1000 && ListReadStillRunning(); i++) {
        Sleep(10);
    }
    return window;
}

// Waits, handling messages, until the run started last has picked its verse.
bool WaitForPick() {
    for (int i = 0; i < 400 && SaverRecord.FirstPick != 0; i++) {
        PumpMessages(5);
    }
    return SaverRecord.FirstPick == 0;
}

// The thread of this process that was not there before.
DWORD NewThread(const std::vector<DWORD>& before) {
    for (DWORD id : ProcessThreads()) {
        if (std::find(before.begin(), before.end(), id) == before.end()) {
            return id;
        }
    }
    return 0;
}

struct ResumeLater {
    HANDLE thread;
    DWORD delay;
    HANDLE held;
};

DWORD WINAPI ResumeAfterDelay(LPVOID parameter) {
    ResumeLater* resume = static_cast<ResumeLater*>(parameter);
    WaitForSingleObject(resume->held, INFINITE);
    Sleep(resume->delay);
    ResumeThread(resume->thread);
    return 0;
}

// Starts a run with a tick, then holds its thread still; a helper lets it go after delay ms.
// The helper starts first: a thread starting while the run is held could wait on a lock the
// run holds (the loader's, if it was held while starting).
struct HeldRun {
    HANDLE thread = nullptr;
    HANDLE helper = nullptr;
    ResumeLater resume{};

    HeldRun(HWND window, DWORD delay) {
        resume = {nullptr, delay, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
        helper = CreateThread(nullptr, 0, ResumeAfterDelay, &resume, 0, nullptr);
        std::vector<DWORD> before = ProcessThreads();
        SendMessageA(window, WM_TIMER, 1, 0);
        DWORD id = NewThread(before);
        EXPECT_NE(id, 0u) << "the tick started no thread";
        thread = OpenThread(THREAD_SUSPEND_RESUME | SYNCHRONIZE, FALSE, id);
        EXPECT_NE(thread, nullptr);
        SuspendThread(thread);
        resume.thread = thread;
        SetEvent(resume.held);
    }
    ~HeldRun() {
        WaitForSingleObject(helper, INFINITE);
        CloseHandle(helper);
        CloseHandle(resume.held);
        CloseHandle(thread);
    }
    bool Ended() const { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }
};

TEST(SaverWindowProc, CreationLoadsTheNumbersThePaintTheListsAndNothingWaitsForTheFirstTick) {
    Installed installed(3, 60000);
    std::vector<DWORD> threads = ProcessThreads();
    HWND window = MakeSaverWindow();
    EXPECT_EQ(SaverRecord.SaverWindow, window);
    EXPECT_EQ(SaverRecord.TextSpeed, 60000u);
    EXPECT_EQ(SaverRecord.FadeSpeed, 10u);
    EXPECT_EQ(SaverRecord.FirstPick, 1u);
    EXPECT_EQ(SaverRecord.TextCount, 0u) << "the lists were read before the first paint";
    PumpMessages(300);
    EXPECT_EQ(SaverRecord.TextCount, 3u);
    EXPECT_EQ(SaverRecord.FontCount, 1u);
    EXPECT_EQ(ProcessThreads().size(), threads.size()) << "a run started before the first tick";
    EXPECT_EQ(SaverRecord.FirstPick, 1u);
    DestroyWindow(window);
}

// Ticks at 150 ms over a list long enough that consecutive order counts the runs.
TEST(SaverWindowProc, TimerTicksStartOneRunAtATime) {
    Installed installed(1000, 150);
    installed.key.SetDword("Options", ConsecutiveOrderBit);
    size_t threads = ProcessThreads().size();
    HWND window = MakeSaverWindow();
    size_t most = 0;
    // Watches until several runs have ended; the time they take is the benchmark's business.
    for (DWORD start = GetTickCount();
         SaverRecord.LastText < 5 && GetTickCount() - start < 20000;) {
        PumpMessages(20);
        most = std::max(most, ProcessThreads().size() - threads);
    }
    EXPECT_GE(SaverRecord.LastText, 5u) << "too few runs";
    EXPECT_LE(most, 1u) << "more than one drawing thread at once";
    // Each run fades its verse in from black.
    EXPECT_TRUE(PumpUntil([&] { return LitPixels(ReadClient(window)) > 0; }, 2000))
        << "no verse on the window";
    DestroyWindow(window);
    EXPECT_EQ(installed.key.Dword("LastText"), SaverRecord.LastText);
}

// The first tick comes before any paint: its run waits until a whole book of verses has been
// read, and picks from it.
TEST(SaverWindowProc, AnyTimerNumberStartsARun) {
    Installed installed(31102, 60000);
    installed.key.SetDword("Options", ConsecutiveOrderBit);
    installed.key.SetDword("LastText", 1);
    HWND window = MakeSaverWindowWithLists();
    SendMessageA(window, WM_TIMER, 77, 0);
    ASSERT_TRUE(WaitForPick());
    EXPECT_EQ(SaverRecord.LastText, 2u);
    EXPECT_EQ(SaverRecord.TextCount, 31102u);
    SaverRecord.FirstPick = 1; // noted again by the next pick
    SendMessageA(window, WM_TIMER, 0, 0);
    ASSERT_TRUE(WaitForPick());
    EXPECT_EQ(SaverRecord.LastText, 3u);
    DestroyWindow(window);
}

// Waits until no thread beyond the given number runs: the last run has ended.
void WaitForThreads(size_t count) {
    for (int i = 0; i < 500 && ProcessThreads().size() > count; i++) {
        Sleep(10);
    }
}

// Each finished run's thread handle is closed by the tick that follows it.
TEST(SaverWindowProc, TicksKeepNoHandleOfFinishedRuns) {
    Installed installed(5, 60000);
    size_t threads = ProcessThreads().size();
    HWND window = MakeSaverWindowWithLists();
    for (int i = 0; i < 5; i++) {
        SendMessageA(window, WM_TIMER, 1, 0);
    }
    WaitForThreads(threads);
    size_t handles = OpenHandleCount();
    for (int i = 0; i < 40; i++) {
        SendMessageA(window, WM_TIMER, 1, 0);
    }
    WaitForThreads(threads);
    EXPECT_EQ(OpenHandleCount(), handles);
    DestroyWindow(window);
}

// The display's state as Windows hands it to the full-screen saver.
void SendDisplayState(HWND window, DWORD state) {
    BYTE buffer[sizeof(POWERBROADCAST_SETTING) + sizeof state] = {};
    auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
    setting->PowerSetting = GUID_CONSOLE_DISPLAY_STATE;
    setting->DataLength = sizeof state;
    memcpy(setting->Data, &state, sizeof state);
    SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                 reinterpret_cast<LPARAM>(buffer));
}

// Display off: the run and the timer stop, and no tick draws; dimmed or on again: a verse at
// once, and the timer again. The state sent at registration changes nothing.
TEST(SaverWindowProc, DisplayOffStopsDrawingAndItsReturnShowsAVerseAtOnce) {
    Installed installed(5, 60000);
    HWND window = MakeSaverWindowWithLists();
    SendMessageA(window, WM_TIMER, 1, 0);
    ASSERT_TRUE(WaitForPick());
    SaverRecord.FirstPick = 1; // noted again by the next pick
    SendDisplayState(window, 1);
    SendDisplayState(window, 0);
    EXPECT_EQ(SaverRecord.Running, 0u) << "the run goes on";
    EXPECT_FALSE(KillTimer(window, 1)) << "the timer goes on";
    SendMessageA(window, WM_TIMER, 1, 0);
    PumpMessages(300);
    EXPECT_EQ(SaverRecord.FirstPick, 1u) << "a verse was drawn for no one";
    FillClient(window, RGB(0, 0, 0));
    SendDisplayState(window, 2);
    ASSERT_TRUE(WaitForPick()) << "no verse when the display came back";
    EXPECT_TRUE(PumpUntil([&] { return LitPixels(ReadClient(window)) > 0; }));
    EXPECT_TRUE(KillTimer(window, 1)) << "the timer did not start again";
    DestroyWindow(window);
}

// A run held past the tick's 2000 ms: the next run starts only once it has ended.
TEST(SaverWindowProc, TickWaitsForARunThatOverruns) {
    Installed installed(5, 60000);
    installed.key.SetDword("FadeSpeed", 0);
    HWND window = MakeSaverWindowWithLists();
    HeldRun held(window, 2600);
    DWORD start = GetTickCount();
    SendMessageA(window, WM_TIMER, 1, 0);
    EXPECT_TRUE(held.Ended()) << "the next run started beside the earlier one";
    EXPECT_GE(GetTickCount() - start, 2000u);
    EXPECT_EQ(SaverRecord.Running, 1u);
    DestroyWindow(window);
}

// A run held past the destruction's 50 ms: the lists stay until it has ended.
TEST(SaverWindowProc, DestructionWaitsForTheRunBeforeReleasingTheLists) {
    Installed installed(5, 60000);
    installed.key.SetDword("FadeSpeed", 0);
    HWND window = MakeSaverWindowWithLists();
    HeldRun held(window, 500);
    DestroyWindow(window);
    EXPECT_TRUE(held.Ended()) << "the lists were released under a running run";
    EXPECT_EQ(SaverRecord.Texts, nullptr);
    EXPECT_EQ(SaverRecord.TextCount, 0u);
    EXPECT_EQ(SaverRecord.Fonts, nullptr);
    EXPECT_EQ(SaverRecord.Running, 0u);
}

TEST(SaverWindowProc, MissingKeyLeavesTheRecordEmptyAndWritesNothing) {
    DeleteSettingsKey();
    HWND window = MakeSaverWindow();
    EXPECT_EQ(SaverRecord.TextCount, 0u);
    EXPECT_EQ(SaverRecord.TextSpeed, 0u); // the timer still ticks at the default interval
    PumpMessages(300);
    EXPECT_EQ(SaverRecord.LastText, 0u);
    DestroyWindow(window);
    EXPECT_FALSE(SettingsKeyExists());
}

// Background erasing blacks the whole window through a surface of its own, not the one the
// message carries.
TEST(SaverWindowProc, EraseBackgroundPaintsTheWindowBlack) {
    Installed installed(1, 60000);
    HWND window = MakeSaverWindow();
    FillClient(window, RGB(255, 255, 255));
    HDC screen = GetDC(nullptr);
    HDC other = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ kept = SelectObject(other, bitmap);
    PatBlt(other, 0, 0, 4, 4, WHITENESS);
    EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(other), 0), 0);
    Pixels pixels = ReadClient(window);
    EXPECT_EQ(std::count(pixels.values.begin(), pixels.values.end(), 0u),
              static_cast<ptrdiff_t>(pixels.values.size()));
    EXPECT_EQ(GetPixel(other, 1, 1), RGB(255, 255, 255)) << "drew on the message's surface";
    SelectObject(other, kept);
    DeleteObject(bitmap);
    DeleteDC(other);
    ReleaseDC(nullptr, screen);
    DestroyWindow(window);
}

} // namespace
