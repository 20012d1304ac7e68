// Two thousand drawing runs at the shortest tick through the saver window's handling: never more
// than one drawing thread, and the process ends with the GDI objects and handles it started
// with. Run under WINEDEBUG=warn+heap, where Wine checks the heap on every call.

#include "saver_window.h"
#include "support/installed.h"
#include "support/messages.h"
#include "support/pixels.h"
#include "support/process_objects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

LRESULT CALLBACK SoakProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SaverWindowProc(window, message, wParam, lParam);
}

struct SoakFigures {
    uint32_t runs = 0;
    size_t mostDrawingThreads = 0;
    DWORD milliseconds = 0;
};

// Runs the saver window until the consecutive order has moved on by runs verses.
SoakFigures Soak(uint32_t runs, size_t threads) {
    SoakFigures figures;
    DWORD start = GetTickCount();
    HWND window = MakeTestWindow("SaverSoak", SoakProc, 0, 0, 640, 480);
    uint32_t first = SaverRecord.LastText;
    while (SaverRecord.LastText - first < runs && GetTickCount() - start < 600000) {
        PumpMessages(5);
        size_t now = ProcessThreads().size();
        figures.mostDrawingThreads = std::max(figures.mostDrawingThreads, now - threads);
    }
    figures.runs = SaverRecord.LastText - first;
    DestroyWindow(window);
    figures.milliseconds = GetTickCount() - start;
    return figures;
}

TEST(SaverWindowSoak, TwoThousandRunsLeaveNothingBehind) {
    std::string lines;
    for (int i = 0; i < 2500; i++) {
        char line[120];
        snprintf(line, sizeof line,
                 "Versetul %d are cuvinte destule ca sa se rupa pe cateva randuri. (Soak %d)\r\n",
                 i, i);
        lines += line;
    }
    Installed installed(lines, std::nullopt);
    installed.key.SetDword("TextSpeed", 1); // the platform's shortest period
    installed.key.SetDword("FadeSpeed", 10);
    installed.key.SetDword("Options", ConsecutiveOrderBit);
    size_t threads = ProcessThreads().size();

    // A first activation brings in what GDI and the window manager keep for later.
    Soak(50, threads);
    size_t gdiObjects = GdiObjectCount();
    size_t handles = OpenHandleCount();

    SoakFigures figures = Soak(2000, threads);
    printf("runs %u in %lu ms, at most %zu drawing thread(s); GDI objects %zu -> %zu, handles "
           "%zu -> %zu\n",
           figures.runs, static_cast<unsigned long>(figures.milliseconds),
           figures.mostDrawingThreads, gdiObjects, GdiObjectCount(), handles, OpenHandleCount());
    EXPECT_GE(figures.runs, 2000u);
    EXPECT_LE(figures.mostDrawingThreads, 1u);
    EXPECT_EQ(GdiObjectCount(), gdiObjects);
    EXPECT_EQ(OpenHandleCount(), handles);
}

} // namespace
