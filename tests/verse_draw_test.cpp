#include "verse_draw.h"

#include "saver_clock.h"
#include "support/messages.h"
#include "support/pixels.h"
#include "support/process_objects.h"
#include "support/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr int Left = 40;
constexpr int Top = 30;

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        return 1; // the tests paint the window themselves
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// What a run starts from: a window, one verse and a seed.
struct RunSetup {
    HWND window = nullptr;
    std::vector<WideChar> verses;
    std::vector<WideChar> fonts;
    uint32_t seed = 4242;
    uint32_t fadeSpeed = 10;

    RunSetup(int width, int height, const std::u16string& verse) {
        window = MakeTestWindow("VerseDrawTest", PlainProc, Left, Top, width, height);
        verses = MakeSlots({verse}, TextSlotWidth);
        PumpMessages(50);
    }
    ~RunSetup() { DestroyWindow(window); }

    void Fill(SaverSettings& record) {
        ClearRecord(record);
        record.SaverWindow = window;
        UseVerses(record, verses);
        UseFonts(record, fonts);
        record.FadeSpeed = fadeSpeed;
        record.ThreadSeed = seed;
        record.Options = 0;
    }

    // The plan the run will follow, measured on the same window.
    VerseRunPlan Plan() {
        SaverSettings record;
        Fill(record);
        HDC dc = GetDC(window);
        VerseRunPlan plan;
        {
            GdiMeasurer measurer(dc);
            plan = PlanVerseRun(record, ClientWidth(), ClientHeight(), DayNumber(), measurer);
        }
        ReleaseDC(window, dc);
        return plan;
    }

    int ClientWidth() const {
        RECT client;
        GetClientRect(window, &client);
        return client.right;
    }
    int ClientHeight() const {
        RECT client;
        GetClientRect(window, &client);
        return client.bottom;
    }
};

HANDLE StartRun(SaverSettings& record, uint32_t running = 1) {
    record.Running = running;
    HANDLE thread = CreateThread(nullptr, 0, DrawVerseThread, &record, 0, nullptr);
    EXPECT_NE(thread, nullptr);
    return thread;
}

void FinishRun(HANDLE thread) {
    ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0) << "the run did not end";
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(thread);
}

void RunToEnd(SaverSettings& record) {
    FinishRun(StartRun(record));
}

uint32_t Channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}

uint32_t Brightest(const Pixels& pixels) {
    uint32_t brightest = 0;
    for (uint32_t pixel : pixels.values) {
        brightest = std::max({brightest, Channel(pixel, 16), Channel(pixel, 8), Channel(pixel, 0)});
    }
    return brightest;
}

// Lit pixels only inside the planned block, none brighter than the planned colour.
void ExpectVerseWithinPlan(const Pixels& pixels, const VerseRunPlan& plan) {
    size_t lit = 0;
    size_t outside = 0;
    size_t brighter = 0;
    for (int y = 0; y < pixels.height; y++) {
        for (int x = 0; x < pixels.width; x++) {
            uint32_t pixel = pixels.At(x, y);
            if (pixel == 0) {
                continue;
            }
            lit++;
            if (x < plan.X || x >= plan.X + plan.Block.Width || y < plan.Y ||
                y >= plan.Y + plan.Block.Height) {
                outside++;
            }
            if (Channel(pixel, 16) > plan.Red || Channel(pixel, 8) > plan.Green ||
                Channel(pixel, 0) > plan.Blue) {
                brighter++;
            }
        }
    }
    int left = pixels.width, right = -1, top = pixels.height, bottom = -1;
    for (int y = 0; y < pixels.height; y++) {
        for (int x = 0; x < pixels.width; x++) {
            if (pixels.At(x, y) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_GT(lit, 100u) << "the verse is not on the window";
    // The widest line spans the block, centred: its side bearings leave equal margins.
    int leftMargin = left - plan.X;
    int rightMargin = plan.X + plan.Block.Width - 1 - right;
    EXPECT_LE(std::abs(leftMargin - rightMargin), 3) << leftMargin << " vs " << rightMargin;
    EXPECT_EQ(outside, 0u) << "lit pixels outside the planned block";
    EXPECT_EQ(brighter, 0u) << "pixels brighter than the planned colour";
}

constexpr char16_t Verse[] =
    u"Domnul este păstorul meu: nu voi duce lipsă de nimic. (Psalmul 23:1)";

TEST(DrawVerseThread, DrawsThePlannedBlockInThePlannedColour) {
    RunSetup setup(640, 480, Verse);
    VerseRunPlan plan = setup.Plan();
    ASSERT_TRUE(plan.Complete);
    ASSERT_GT(plan.Steps, 20);
    FillClient(setup.window, RGB(255, 255, 255));
    SaverSettings record;
    setup.Fill(record);
    RunToEnd(record);

    EXPECT_EQ(record.LastText, 0u);
    ExpectVerseWithinPlan(ReadClient(setup.window), plan);
    // What the screen shows, not only what the window's surface holds.
    ExpectVerseWithinPlan(ReadScreen(setup.window), plan);
}

TEST(DrawVerseThread, StopsWithinOneFrameOnceRunningDrops) {
    RunSetup setup(640, 480, Verse);
    setup.fadeSpeed = 0; // one level per frame, 5 ms apart
    VerseRunPlan plan = setup.Plan();
    ASSERT_GT(plan.Steps, 100);
    SaverSettings record;
    setup.Fill(record);
    HANDLE thread = StartRun(record);
    // Let the fade come a fifth of the way.
    for (int i = 0; i < 500 && Brightest(ReadClient(setup.window)) < plan.Steps / 5u; i++) {
        Sleep(5);
    }
    record.Running = 0;
    uint32_t atStop = Brightest(ReadClient(setup.window));
    FinishRun(thread);
    uint32_t atEnd = Brightest(ReadClient(setup.window));
    EXPECT_GE(atStop, plan.Steps / 5u);
    EXPECT_LE(atEnd, atStop + 1) << "more than one frame after the stop";
    EXPECT_LT(atEnd, static_cast<uint32_t>(plan.Steps) - 1) << "the fade ran to its end";
}

TEST(DrawVerseThread, RunStoppedBeforeItsFramesLeavesTheWindowBlack) {
    RunSetup setup(320, 240, Verse);
    FillClient(setup.window, RGB(255, 255, 255));
    SaverSettings record;
    setup.Fill(record);
    FinishRun(StartRun(record, 0));
    EXPECT_EQ(LitPixels(ReadClient(setup.window)), 0u);
}

// One word that cannot be broken, in a window too narrow for it.
TEST(DrawVerseThread, BlockWiderThanTheWindowStartsAtItsLeftEdge) {
    RunSetup setup(120, 300, std::u16string(40, u'W'));
    VerseRunPlan plan = setup.Plan();
    ASSERT_TRUE(plan.Complete);
    ASSERT_GT(plan.Block.Width, 120);
    EXPECT_EQ(plan.X, 0);
    SaverSettings record;
    setup.Fill(record);
    RunToEnd(record);
    Pixels pixels = ReadClient(setup.window);
    EXPECT_GT(LitPixels(pixels), 0u);
    // The first letter touches the edge, give or take its side bearing.
    size_t nearEdge = 0;
    for (int y = 0; y < pixels.height; y++) {
        for (int x = 0; x < 4; x++) {
            nearEdge += pixels.At(x, y) != 0 ? 1 : 0;
        }
    }
    EXPECT_GT(nearEdge, 0u) << "the block does not start at the left edge";
}

// A run that cannot lay its verse out still ends with the window black.
TEST(DrawVerseThread, WindowWithoutWidthEndsTheRunBlack) {
    SaverSettings record;
    {
        RunSetup setup(0, 200, Verse);
        ASSERT_EQ(setup.ClientWidth(), 0);
        EXPECT_FALSE(setup.Plan().Complete);
        setup.Fill(record);
        RunToEnd(record);
    }
    // The same path where black can be seen: a verse without extent in a window that has one.
    RunSetup setup(300, 200, u"");
    EXPECT_FALSE(setup.Plan().Complete);
    FillClient(setup.window, RGB(255, 255, 255));
    setup.Fill(record);
    RunToEnd(record);
    EXPECT_EQ(LitPixels(ReadClient(setup.window)), 0u);
}

TEST(PaintClientBlack, FillsTheWholeClientAreaAndKeepsTheBlackBrush) {
    RunSetup setup(300, 200, Verse);
    FillClient(setup.window, RGB(200, 10, 30));
    HDC dc = GetDC(setup.window);
    PaintClientBlack(setup.window, dc);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(BLACK_BRUSH));
    ReleaseDC(setup.window, dc);
    EXPECT_EQ(LitPixels(ReadClient(setup.window)), 0u);
}

// Every path of a run gives back every GDI object it made.
TEST(DrawVerseThread, ReleasesEveryGdiObjectOnEveryPath) {
    struct PathCase {
        const char* name;
        int width, height;
        std::u16string verse;
        uint32_t fadeSpeed;
        uint32_t running;
    };
    const PathCase cases[] = {
        {"whole fade", 400, 300, Verse, 10, 1},
        {"stopped before the frames", 400, 300, Verse, 10, 0},
        {"oversized block", 120, 300, std::u16string(40, u'W'), 10, 1},
        {"no width", 0, 300, Verse, 10, 1},
        {"negative step", 400, 300, Verse, 4294967295u, 1},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.name);
        RunSetup setup(c.width, c.height, c.verse);
        setup.fadeSpeed = c.fadeSpeed;
        SaverSettings record;
        setup.Fill(record);
        RunToEnd(record); // the first run loads what GDI keeps for later
        size_t before = GdiObjectCount();
        ASSERT_GT(before, 0u) << "cannot read the GDI handle table";
        for (uint32_t seed = 1; seed <= 20; seed++) {
            setup.Fill(record);
            record.ThreadSeed = seed;
            FinishRun(StartRun(record, c.running));
        }
        EXPECT_EQ(GdiObjectCount(), before);
    }
}

// A FadeSpeed whose step is negative as a signed number draws the black frame 0 and ends.
TEST(DrawVerseThread, NegativeStepDrawsOnlyTheBlackFrame) {
    RunSetup setup(400, 300, Verse);
    setup.fadeSpeed = 2147483652u;
    VerseRunPlan plan = setup.Plan();
    ASSERT_LT(plan.Step, 0);
    ASSERT_GT(plan.Steps, 0);
    FillClient(setup.window, RGB(255, 255, 255));
    SaverSettings record;
    setup.Fill(record);
    RunToEnd(record);
    EXPECT_EQ(LitPixels(ReadClient(setup.window)), 0u);
}

} // namespace

namespace {

// A memory surface of the given size, black, for drawing without a window.
TEST(DrawFrame, ShowsEveryLineOfTheMeasuredLayout) {
    // The frame must show the verse broken into lines exactly as the layout measured it, all of
    // them inside the block: the reference draws the same text at the measured layout width on
    // an unbounded surface. Every letter shows as it is, whatever the code page, and "&" is no
    // mnemonic prefix.
    std::vector<WideChar> verses =
        MakeSlots({u"Toate își au vremea lor, și fiecare lucru de sub ceruri îşi are ceasul lui & "
                   u"ş ţ ș ț ă î â. (Eclesiastul 3:1)"},
                  TextSlotWidth);
    MemorySurface window(1280, 1024);
    for (uint32_t seed = 1; seed <= 40; seed++) {
        SaverSettings record;
        ClearRecord(record);
        UseVerses(record, verses);
        record.ThreadSeed = seed;
        GdiMeasurer measurer(window.dc);
        VerseRunPlan plan = PlanVerseRun(record, 1280, 1024, DayNumber(), measurer);
        ASSERT_TRUE(plan.Complete);
        measurer.RestoreSurfaceFont();
        FrameSurface surface = MakeFrameSurface(window.dc, plan, measurer.Font());
        const int32_t last = plan.Steps - 1;
        DrawFrame(window.dc, surface, plan, last);

        int32_t width = std::max(plan.BlockLayoutWidth, plan.Block.Width);
        MemorySurface reference(width, plan.Block.Height * 3);
        HGDIOBJ keptFont = SelectObject(reference.dc, measurer.Font());
        SetTextColor(reference.dc, FrameColour(plan, last));
        SetBkColor(reference.dc, RGB(0, 0, 0));
        RECT measured = {0, 0, width, plan.Block.Height * 3};
        const UINT format = DT_WORDBREAK | DT_CENTER | DT_NOPREFIX;
        DrawTextW(reference.dc, plan.Text, static_cast<int>(plan.Length), &measured,
                  format | DT_CALCRECT);
        EXPECT_LE(measured.bottom, plan.Block.Height) << "seed " << seed;
        RECT area = {0, 0, width, plan.Block.Height * 3};
        DrawTextW(reference.dc, plan.Text, static_cast<int>(plan.Length), &area, format);
        SelectObject(reference.dc, keptFont);

        int32_t left = (plan.Block.Width - width) / 2;
        int differing = 0;
        for (int y = 0; y < plan.Block.Height; y++) {
            for (int x = 0; x < plan.Block.Width; x++) {
                COLORREF drawn = GetPixel(window.dc, plan.X + x, plan.Y + y);
                COLORREF expected = GetPixel(reference.dc, x - left, y);
                differing += drawn != expected ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << "seed " << seed << ", block " << plan.Block.Width << " x "
                                << plan.Block.Height;
        ReleaseFrameSurface(surface);
    }
}

} // namespace
