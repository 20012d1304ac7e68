// Prints how long the verses editor takes to open on a whole Bible (31,102 verses) and to close
// with OK, which collects every verse into a new block. The dialog is shown and painted between
// the two, as it is for a user.
// Usage: texts_dialog_bench [verses] [runs]

#include "platform.h"
#include "saver_settings.h"
#include "support/messages.h"
#include "texts_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Verses of about 145 bytes, as in a real Bible.
void FillVerses(SaverSettings& record, uint32_t count) {
    record.Texts = static_cast<WideChar*>(
        HeapAllocZero(static_cast<size_t>(count) * TextSlotWidth * sizeof(WideChar)));
    unsigned state = 12345;
    for (uint32_t i = 0; i < count; i++) {
        state = state * 214013 + 2531011;
        size_t length = 60 + (state >> 16) % 170;
        std::string line;
        while (line.size() < length) {
            line += "cuvant ";
        }
        line.resize(length);
        line += " (Carte " + std::to_string(i / 30 + 1) + ":" + std::to_string(i % 30 + 1) + ")";
        line.resize(std::min<size_t>(line.size(), TextSlotWidth - 1));
        std::copy(line.begin(), line.end(), record.Texts + static_cast<size_t>(i) * TextSlotWidth);
    }
    record.TextCount = count;
}

struct Run {
    double open, paint, ok, total;
};

Run Measure(uint32_t count) {
    SaverSettings record{};
    FillVerses(record, count);
    WideChar* before = record.Texts;
    auto start = Clock::now();
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), L"TEXTSDLG", nullptr,
                                     TextsDialogProc, reinterpret_cast<LPARAM>(&record));
    auto opened = Clock::now();
    UpdateWindow(dialog);
    PumpMessages();
    auto painted = Clock::now();
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    DestroyWindow(dialog);
    auto closed = Clock::now();
    if (dialog == nullptr || record.TextCount != count || record.Texts == before) {
        fprintf(stderr, "the editor did not open or did not collect the verses\n");
        exit(1);
    }
    HeapRelease(record.Texts);
    return {Milliseconds(start, opened), Milliseconds(opened, painted),
            Milliseconds(painted, closed), Milliseconds(start, closed)};
}

} // namespace

int main(int argc, char** argv) {
    uint32_t count = argc > 1 ? static_cast<uint32_t>(strtoul(argv[1], nullptr, 10)) : 31102;
    int runs = argc > 2 ? atoi(argv[2]) : 5;
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    Measure(100); // warm-up: loads the controls and fonts

    std::vector<Run> results;
    for (int i = 0; i < runs; i++) {
        results.push_back(Measure(count));
    }
    std::sort(results.begin(), results.end(),
              [](const Run& a, const Run& b) { return a.total < b.total; });
    const Run& median = results[results.size() / 2];
    printf("verses editor, %u verses, %d runs (target 1000 ms for open + OK)\n", count, runs);
    printf("  best   %8.1f ms  (open %.1f, show %.1f, OK %.1f)\n", results[0].total,
           results[0].open, results[0].paint, results[0].ok);
    printf("  median %8.1f ms  (open %.1f, show %.1f, OK %.1f)\n", median.total, median.open,
           median.paint, median.ok);
    return 0;
}
