// Prints what the verse display costs under Wine, full screen:
//   display_bench frames        time of one frame of the fade (fill, text, copy of the block)
//                               against a loop of the same three GDI calls and nothing else
//   display_bench verses N SPEED
//                               wall and CPU time of N ticks at FadeSpeed SPEED, a verse on
//                               every screen, per verse and screen: the wall time of a tick is
//                               the fade's duration (the X server's CPU is added by tools/bench,
//                               which reads it from outside)
//   display_bench black SAVER BARE COUNT
//                               time from launch to a black screen: SAVER /s with a list of
//                               COUNT verses, against BARE, a bare black window

#include "saver_clock.h"
#include "support/installed.h"
#include "support/messages.h"
#include "support/pixels.h"
#include "support/records.h"
#include "random.h"
#include "verse_draw.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// 230 characters, as long as the longer verses of a real list.
constexpr char16_t LongVerse[] =
    u"Dragostea este îndelung răbdătoare, e plină de bunătate; dragostea nu pizmuiește; "
    u"dragostea nu se laudă, nu se umflă de mândrie, nu se poartă necuviincios, nu caută "
    u"folosul său, nu se mânie, nu se gândește la rău. (1 Cor. 13:4, 5)";
static_assert(sizeof LongVerse / sizeof LongVerse[0] - 1 == 230);

LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        HDC dc = GetDC(window);
        PaintClientBlack(window, dc);
        ReleaseDC(window, dc);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

struct FrameJob {
    HWND window;
    SaverSettings* record;
    int mode; // 0: the run's frame, 1: the three calls alone, 2: the three calls and the peek
    std::vector<double> times;
};

DWORD WINAPI TimeFrames(LPVOID parameter) {
    FrameJob& job = *static_cast<FrameJob*>(parameter);
    HDC windowDc = GetDC(job.window);
    RECT client;
    GetClientRect(job.window, &client);
    {
        GdiMeasurer measurer(windowDc);
        VerseRunPlan plan =
            PlanVerseRun(*job.record, client.right, client.bottom, DayNumber(), measurer);
        measurer.RestoreSurfaceFont();
        PaintClientBlack(job.window, windowDc);
        FrameSurface surface = MakeFrameSurface(windowDc, plan, measurer.Font());
        // The reference draws in the verse's full colour, so its text costs what a frame's does.
        SetTextColor(surface.Dc, ColourRef(plan.Colour));
        for (uint32_t i = 1; i <= plan.Fade.Frames; i++) {
            double start = Now();
            if (job.mode == 0) {
                DrawFrame(windowDc, surface, plan,
                          FadeColourAt(plan.Colour, plan.Fade, FrameDeadline(plan.Fade, i)));
            } else {
                PatBlt(surface.Dc, 0, 0, plan.Block.Width, plan.Block.Height, PATCOPY);
                RECT block = {0, 0, plan.Block.Width, plan.Block.Height};
                DrawTextW(surface.Dc, plan.Text, static_cast<int>(plan.Length), &block,
                          VerseTextFormat);
                BitBlt(windowDc, plan.X, plan.Y, plan.Block.Width, plan.Block.Height, surface.Dc, 0,
                       0, SRCCOPY);
                if (job.mode == 2) {
                    MSG message;
                    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
                }
            }
            job.times.push_back(Now() - start);
        }
        ReleaseFrameSurface(surface);
    }
    ReleaseDC(job.window, windowDc);
    return 0;
}

void RunOnThread(LPTHREAD_START_ROUTINE routine, void* parameter) {
    HANDLE thread = CreateThread(nullptr, 0, routine, parameter, 0, nullptr);
    PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, INFINITE);
    CloseHandle(thread);
}

HWND FullScreenWindow() {
    return MakeTestWindow("DisplayBench", BenchProc, 0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                          GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

void Frames() {
    HWND window = FullScreenWindow();
    PumpMessages(200);
    std::vector<WideChar> verses = WideSlots({LongVerse}, TextSlotWidth);
    const char* names[] = {"frame of a run (fill, colour, text, copy, peek)",
                           "reference: fill, text, copy", "reference with the peek"};
    std::vector<double> pooled[3];
    VerseRunPlan shown{};
    // Five rounds of each, interleaved, over the frames of the slowest fade (240 each).
    for (uint32_t seed = 1; seed <= 5; seed++) {
        SaverSettings record{};
        UseVerses(record, verses);
        record.FadeSpeed = 0;
        record.ThreadSeed = seed;
        {
            HDC dc = GetDC(window);
            GdiMeasurer measurer(dc);
            RECT client;
            GetClientRect(window, &client);
            shown = PlanVerseRun(record, client.right, client.bottom, DayNumber(), measurer);
            ReleaseDC(window, dc);
        }
        for (int mode = 0; mode < 3; mode++) {
            record.ThreadSeed = seed;
            FrameJob job{window, &record, mode, {}};
            RunOnThread(TimeFrames, &job);
            pooled[mode].insert(pooled[mode].end(), job.times.begin(), job.times.end());
        }
    }
    printf("screen %dx%d, verse of %zu bytes, block %dx%d at FadeSpeed 0\n",
           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), sizeof LongVerse - 1,
           shown.Block.Width, shown.Block.Height);
    for (int mode = 0; mode < 3; mode++) {
        printf("  %-50s median %.3f ms  p95 %.3f ms  (%zu frames)\n", names[mode],
               Percentile(pooled[mode], 0.5), Percentile(pooled[mode], 0.95), pooled[mode].size());
    }
    printf("  median of a frame / reference: %.2f\n",
           Percentile(pooled[0], 0.5) / Percentile(pooled[1], 0.5));
    DestroyWindow(window);
}

double ProcessCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](FILETIME time) {
        return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime) /
               10000.0;
    };
    return value(kernel) + value(user);
}

void Verses(int count, uint32_t fadeSpeed) {
    HWND window = FullScreenWindow();
    PumpMessages(200);
    std::vector<WideChar> verses = WideSlots({LongVerse}, TextSlotWidth);
    double cpu = ProcessCpuMilliseconds();
    double wall = Now();
    uint32_t screens = 1;
    for (int i = 0; i < count; i++) {
        SaverSettings record{};
        UseVerses(record, verses);
        record.SaverWindow = window;
        record.FadeSpeed = fadeSpeed;
        record.Running = 1;
        SeedRandom(static_cast<uint32_t>(i + 1));
        VerseRound round{};
        ClientAreas areas = WindowAreas(window);
        TickRuns tick = StartTick(record, round, areas, VerseOnEveryScreen, DayNumber());
        ScreenRun runs[MaxClientAreas];
        HANDLE threads[MaxClientAreas];
        for (uint32_t k = 0; k < tick.Count; k++) {
            runs[k] = {&record, areas.Area[tick.Run[k].AreaIndex],
                       areas.Area[tick.Run[k].AreaIndex], tick.Run[k]};
            threads[k] = CreateThread(nullptr, 0, DrawVerseThread, &runs[k], 0, nullptr);
        }
        PumpUntil(
            [&] { return WaitForMultipleObjects(tick.Count, threads, TRUE, 0) == WAIT_OBJECT_0; },
            INFINITE);
        for (uint32_t k = 0; k < tick.Count; k++) {
            CloseHandle(threads[k]);
        }
        screens = tick.Count;
    }
    double cpuPerVerse = (ProcessCpuMilliseconds() - cpu) / (count * screens);
    double wallPerVerse = (Now() - wall) / count;
    printf("FadeSpeed %2u, %d ticks on %u screens: fade %.0f ms (wall per tick), process CPU %.1f "
           "ms per verse and screen\n",
           fadeSpeed, count, screens, wallPerVerse, cpuPerVerse);
    DestroyWindow(window);
}

// Whether every screen is black, read from the X screen.
bool ScreenIsBlack() {
    HDC screen = GetDC(nullptr);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    bool black = true;
    // A grid of points is enough to tell a window that covers the screen.
    for (int y = 1; y < 8 && black; y++) {
        for (int x = 1; x < 8 && black; x++) {
            black = (GetPixel(screen, x * width / 8, y * height / 8) & 0xFFFFFF) == 0;
        }
    }
    ReleaseDC(nullptr, screen);
    return black;
}

// Milliseconds from starting the program to a black screen; the program is then closed with a
// key press at the window of the given class.
double TimeToBlack(const std::string& commandLine, const char* windowClass) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    double start = Now();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        fprintf(stderr, "cannot start %s\n", commandLine.c_str());
        exit(1);
    }
    double black = -1;
    while (Now() - start < 20000) {
        if (ScreenIsBlack()) {
            black = Now() - start;
            break;
        }
        PumpMessages(1);
    }
    HWND window = nullptr;
    while (window == nullptr && Now() - start < 20000) {
        window = FindWindowA(windowClass, nullptr);
    }
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return black;
}

LRESULT CALLBACK WhiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Black(const char* saver, const char* bare, int verses) {
    std::string lines;
    for (int i = 0; i < verses; i++) {
        char line[200];
        snprintf(line, sizeof line,
                 "Si a zis Dumnezeu: Sa fie lumina! Si a fost lumina. Dumnezeu a vazut ca lumina "
                 "era buna; si Dumnezeu a despartit lumina de intuneric. (Carte %d:%d)\r\n",
                 i / 30 + 1, i % 30 + 1);
        lines += line;
    }
    Installed installed(lines, std::nullopt);
    installed.key.SetDword("TextSpeed", 60000);
    // A white screen underneath, so that black means the program's window is up.
    HWND white = MakeTestWindow("BenchWhite", WhiteProc, 0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                GetSystemMetrics(SM_CYVIRTUALSCREEN));
    SetWindowLongPtrA(white, GWL_EXSTYLE, 0);
    SetWindowPos(white, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    std::vector<double> saverTimes, bareTimes;
    for (int round = 0; round < 15; round++) {
        for (int which = 0; which < 2; which++) {
            InvalidateRect(white, nullptr, TRUE);
            PumpMessages(300);
            if (ScreenIsBlack()) {
                fprintf(stderr, "the screen is black before the launch\n");
                exit(1);
            }
            char line[MAX_PATH + 16];
            if (which == 0) {
                snprintf(line, sizeof line, "\"%s\" /s", saver);
                saverTimes.push_back(TimeToBlack(line, "WindowsScreenSaverClass"));
            } else {
                snprintf(line, sizeof line, "\"%s\"", bare);
                bareTimes.push_back(TimeToBlack(line, "BareBlackWindow"));
            }
        }
    }
    double saverMedian = Percentile(saverTimes, 0.5);
    double bareMedian = Percentile(bareTimes, 0.5);
    printf("time to a black screen, median of %zu: saver with %d verses %.0f ms, bare black "
           "window %.0f ms (%.2f x)\n",
           saverTimes.size(), verses, saverMedian, bareMedian, saverMedian / bareMedian);
    DestroyWindow(white);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && strcmp(argv[1], "frames") == 0) {
        Frames();
        return 0;
    }
    if (argc >= 4 && strcmp(argv[1], "verses") == 0) {
        Verses(atoi(argv[2]), static_cast<uint32_t>(atoi(argv[3])));
        return 0;
    }
    if (argc >= 5 && strcmp(argv[1], "black") == 0) {
        Black(argv[2], argv[3], atoi(argv[4]));
        return 0;
    }
    fprintf(stderr, "usage: display_bench frames | verses N SPEED | black SAVER BARE COUNT\n");
    return 2;
}
