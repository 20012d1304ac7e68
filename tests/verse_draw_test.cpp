#include "verse_draw.h"

#include "saver_clock.h"
#include "support/messages.h"
#include "support/pixels.h"
#include "support/process_objects.h"
#include "support/records.h"
#include "support/test_fonts.h"

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
        verses = WideSlots({verse}, TextSlotWidth);
        PumpMessages(50);
    }
    ~RunSetup() { DestroyWindow(window); }

    void Fill(SaverSettings& record) {
        SetUpRun(record, verses, fonts, seed, fadeSpeed);
        record.SaverWindow = window;
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

// The run of the thread started last: each is the first of its activation.
VerseRound Round{};
ScreenRun Run{};

HANDLE StartRun(SaverSettings& record, uint32_t running = 1) {
    record.Running = running;
    // One run at a time, over the whole window as one screen, started as the saver starts one.
    RECT client = {0, 0, 0, 0};
    GetClientRect(record.SaverWindow, &client);
    ClientAreas one = {{{0, 0, client.right, client.bottom}}, 1, 0};
    Run = {&record,
           one.Area[0],
           ::StartRun(record, Round, one, 0, record.ThreadSeed, DayNumber()),
           {},
           nullptr};
    HANDLE thread = CreateThread(nullptr, 0, DrawVerseThread, &Run, 0, nullptr);
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
    LitBounds lit = FindLitBounds(pixels);
    EXPECT_GT(LitPixels(pixels), 100u) << "the verse is not on the window";
    // The widest line spans the block, centred: its side bearings leave equal margins.
    int leftMargin = lit.left - plan.X;
    int rightMargin = plan.X + plan.Block.Width - 1 - lit.right;
    EXPECT_LE(std::abs(leftMargin - rightMargin), 3) << leftMargin << " vs " << rightMargin;
    EXPECT_TRUE(lit.left >= plan.X && lit.right < plan.X + plan.Block.Width && lit.top >= plan.Y &&
                lit.bottom < plan.Y + plan.Block.Height)
        << "lit pixels outside the planned block";
    EXPECT_TRUE(lit.red <= plan.Colour.Red && lit.green <= plan.Colour.Green &&
                lit.blue <= plan.Colour.Blue)
        << "pixels brighter than the planned colour";
}

constexpr char16_t Verse[] =
    u"Domnul este păstorul meu: nu voi duce lipsă de nimic. (Psalmul 23:1)";

TEST(DrawVerseThread, DrawsThePlannedBlockInThePlannedColour) {
    RunSetup setup(640, 480, Verse);
    VerseRunPlan plan = setup.Plan();
    ASSERT_TRUE(plan.Complete);
    FillClient(setup.window, RGB(255, 255, 255));
    SaverSettings record;
    setup.Fill(record);
    RunToEnd(record);

    EXPECT_EQ(record.LastText, 0u);
    ExpectVerseWithinPlan(ReadClient(setup.window), plan);
    // What the screen shows, not only what the window's surface holds.
    ExpectVerseWithinPlan(ReadScreen(setup.window), plan);
}

uint32_t Brightest(const Rgb& colour) {
    return std::max({colour.Red, colour.Green, colour.Blue});
}

TEST(DrawVerseThread, StopsWithinOneFrameOnceRunningDrops) {
    RunSetup setup(640, 480, Verse);
    setup.fadeSpeed = 0; // 4 s, a level or so per frame
    VerseRunPlan plan = setup.Plan();
    uint32_t top = Brightest(plan.Colour);
    SaverSettings record;
    setup.Fill(record);
    HANDLE thread = StartRun(record);
    // Let the fade come a fifth of the way.
    for (int i = 0; i < 500 && Brightest(ReadClient(setup.window)) < top / 5; i++) {
        Sleep(5);
    }
    record.Running = 0;
    uint32_t atStop = Brightest(ReadClient(setup.window));
    FinishRun(thread);
    uint32_t atEnd = Brightest(ReadClient(setup.window));
    EXPECT_GE(atStop, top / 5);
    // The frame under way when the flag dropped may still come, a level or two brighter.
    EXPECT_LE(atEnd, atStop + 3) << "more than one frame after the stop";
    EXPECT_LT(atEnd, top - 1) << "the fade ran to its end";
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
        {"FadeSpeed beyond the slider", 400, 300, Verse, 4294967295u, 1},
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

// With Windows' animations off, the slowest fade shows its verse at the colour in one frame.
TEST(DrawVerseThread, AnimationsOffShowTheVerseInOneFrame) {
    BOOL animations = TRUE;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &animations, 0));
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETCLIENTAREAANIMATION, 0, nullptr, 0));
    RunSetup setup(400, 300, Verse);
    setup.fadeSpeed = 0;
    VerseRunPlan plan = setup.Plan();
    SaverSettings record;
    setup.Fill(record);
    HANDLE thread = StartRun(record);
    // A fade would take 4 s.
    EXPECT_EQ(WaitForSingleObject(thread, 1000), WAIT_OBJECT_0) << "the verse faded in";
    FinishRun(thread);
    SystemParametersInfoW(SPI_SETCLIENTAREAANIMATION, 0,
                          reinterpret_cast<void*>(static_cast<INT_PTR>(animations)), 0);
    LitBounds shown = FindLitBounds(ReadClient(setup.window));
    EXPECT_EQ(RGB(shown.red, shown.green, shown.blue), ColourRef(plan.Colour));
}

// The same verse and seed in two typeface lists draw the same pixels.
void ExpectSameDrawing(const std::u16string& verse, const std::u16string& face,
                       const std::u16string& referenceVerse, const std::u16string& referenceFace) {
    Pixels drawn[2];
    for (int which = 0; which < 2; which++) {
        RunSetup setup(640, 480, which == 0 ? verse : referenceVerse);
        setup.fonts = WideSlots({which == 0 ? face : referenceFace}, FontSlotWidth);
        SaverSettings record;
        setup.Fill(record);
        RunToEnd(record);
        drawn[which] = ReadClient(setup.window);
    }
    EXPECT_GT(LitPixels(drawn[0]), 100u);
    EXPECT_TRUE(drawn[0].values == drawn[1].values) << "the drawings differ";
}

// A face without ș ț draws their cedilla forms; one without ă draws the verse in the default
// typeface, measured in it.
TEST(DrawVerseThread, EveryLetterIsDrawnInAFaceThatHasIt) {
    ASSERT_TRUE(LoadTestFonts());
    const std::u16string comma = u"Și ați ținut minte; ȘȚ. (Ioan 14:26)";
    RunSetup setup(640, 480, comma);
    setup.fonts = WideSlots({u"Verselume No Comma"}, FontSlotWidth);
    EXPECT_TRUE(setup.Plan().Cedillas);
    ExpectSameDrawing(comma, u"Verselume No Comma", u"Şi aţi ţinut minte; ŞŢ. (Ioan 14:26)",
                      u"Verselume No Comma");
    const std::u16string breve = u"Căci atât de mult a iubit Dumnezeu lumea. (Ioan 3:16)";
    setup.verses = WideSlots({breve}, TextSlotWidth);
    setup.fonts = WideSlots({u"Verselume No Breve"}, FontSlotWidth);
    EXPECT_EQ(setup.Plan().Face, DefaultTypeface.data());
    ExpectSameDrawing(breve, u"Verselume No Breve", breve, u"Verdana");
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
        WideSlots({u"Toate își au vremea lor, și fiecare lucru de sub ceruri îşi are ceasul lui & "
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
        DrawFrame(window.dc, surface, plan, ColourRef(plan.Colour));

        int32_t width = std::max(plan.BlockLayoutWidth, plan.Block.Width);
        MemorySurface reference(width, plan.Block.Height * 3);
        HGDIOBJ keptFont = SelectObject(reference.dc, measurer.Font());
        SetTextColor(reference.dc, ColourRef(plan.Colour));
        SetBkColor(reference.dc, RGB(0, 0, 0));
        RECT measured = {0, 0, width, plan.Block.Height * 3};
        const UINT format = DT_WORDBREAK | DT_CENTER | DT_NOPREFIX;
        DrawTextW(reference.dc, ShownText(plan), static_cast<int>(plan.Length), &measured,
                  format | DT_CALCRECT);
        EXPECT_LE(measured.bottom, plan.Block.Height) << "seed " << seed;
        RECT area = {0, 0, width, plan.Block.Height * 3};
        DrawTextW(reference.dc, ShownText(plan), static_cast<int>(plan.Length), &area, format);
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
