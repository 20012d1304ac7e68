// The verse display in the real Verselume.scr under Wine: what a close (or the session's end)
// stores under each change policy, a close before the first verse, the default verse when the
// lists are empty, and the letters of a list file shown as they are whatever the system's code
// page.

#include "random.h"
#include "saver_clock.h"
#include "support/files.h"
#include "support/installed.h"
#include "support/messages.h"
#include "support/pixels.h"
#include "support/records.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "verse_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// Waits until a verse has faded in and stays: lit pixels that no longer change.
Pixels WaitForVerse(HWND window, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    Pixels last = ReadScreen(window);
    while (GetTickCount() - start < timeoutMs) {
        PumpMessages(100);
        Pixels now = ReadScreen(window);
        if (LitPixels(now) > 0 && now.values == last.values) {
            return now;
        }
        last = now;
    }
    return Pixels{};
}

struct PolicyCase {
    const char* name;
    DWORD options;
    int32_t lastDayFromToday;
    DWORD expectedText;     // 0: moved on by at least two runs
    bool loggedOff = false; // the session ends instead: the process may end with no close
};

// Consecutive order over 100 verses from LastText 5, so that the stored index counts new picks.
const PolicyCase PolicyCases[] = {
    {"every display", 0 | ConsecutiveOrderBit, 0, 0},
    {"every activation", 1 | ConsecutiveOrderBit, 0, 6},
    {"every day, same day", 2 | ConsecutiveOrderBit, 0, 5},
    {"every day, new day", 2 | ConsecutiveOrderBit, -1, 6},
    {"options 3, new day", 3 | ConsecutiveOrderBit, -1, 6},
    {"every day at random, same day", 2, 0, 5},
    {"every activation, logged off", 1 | ConsecutiveOrderBit, -1, 6, true},
};

TEST(SaverDisplay, CloseStoresTodayAndThePositionUnderEachPolicy) {
    for (const PolicyCase& c : PolicyCases) {
        SCOPED_TRACE(c.name);
        Installed installed(100, 1000); // an interval longer than the fade
        installed.key.SetDword("Options", c.options);
        installed.key.SetDword("LastText", 5);
        installed.key.SetDword("LastDay", static_cast<DWORD>(DayNumber() + c.lastDayFromToday));
        FullScreenSaver saver;
        ASSERT_NE(saver.window, nullptr);
        EXPECT_GT(LitPixels(WaitForVerse(saver.window, 10000)), 0u) << "no verse shown";
        PumpMessages(2300); // two more ticks
        if (c.loggedOff) {
            SendMessageA(saver.window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        } else {
            saver.Close();
        }
        EXPECT_EQ(static_cast<int32_t>(installed.key.Dword("LastDay")), DayNumber());
        if (c.expectedText == 0) {
            EXPECT_GE(installed.key.Dword("LastText"), 7u);
        } else {
            EXPECT_EQ(installed.key.Dword("LastText"), c.expectedText);
        }
    }
}

// Random order under "every activation": five activations show each of five verses once, and
// the sixth, a new round, not the verse the fifth showed.
TEST(SaverDisplay, RandomOrderShowsEveryVerseOnceBeforeAnyComesBack) {
    Installed installed(5, 500);
    installed.key.SetDword("Options", 1);
    std::vector<DWORD> shown;
    for (int activation = 0; activation < 6; activation++) {
        FullScreenSaver saver;
        ASSERT_NE(saver.window, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return LitPixels(ReadScreen(saver.window)) > 0; }))
            << "no verse in activation " << activation;
        saver.Close();
        shown.push_back(installed.key.Dword("LastText"));
    }
    EXPECT_EQ(std::set<DWORD>(shown.begin(), shown.begin() + 5).size(), 5u);
    EXPECT_NE(shown[5], shown[4]);
}

// Closed right after the launch, while a whole book of verses may still be being read.
TEST(SaverDisplay, ClosingBeforeTheFirstVerseStoresTodayAndTheLoadedPosition) {
    Installed installed(31102, 60000);
    installed.key.SetDword("Options", 2 | ConsecutiveOrderBit);
    installed.key.SetDword("LastText", 7);
    installed.key.SetDword("LastDay", 5);
    FullScreenSaver saver;
    ASSERT_NE(saver.window, nullptr);
    EXPECT_EQ(LitPixels(ReadScreen(saver.window)), 0u);
    saver.Close();
    EXPECT_EQ(static_cast<int32_t>(installed.key.Dword("LastDay")), DayNumber());
    EXPECT_EQ(installed.key.Dword("LastText"), 7u);
}

// A verses file that never answers (a pipe nobody writes to, as a hung network path would be):
// the screen stays black, and a key still ends the saver at once.
TEST(SaverDisplay, AListReadThatHangsNeverKeepsTheSaverFromEnding) {
    Installed installed(1);
    const char pipeName[] = "\\\\.\\pipe\\verselume-never-written";
    HANDLE pipe =
        CreateNamedPipeA(pipeName, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    installed.key.SetString("TextsFile", pipeName);
    installed.key.SetDword("TextSpeed", 1000);
    installed.key.SetDword("LastText", 3);
    {
        FullScreenSaver saver;
        ASSERT_NE(saver.window, nullptr);
        PumpMessages(2500);
        EXPECT_EQ(LitPixels(ReadScreen(saver.window)), 0u);
        EXPECT_EQ(saver.process.EndWithAKey(saver.window, 1000), 0u);
    }
    EXPECT_EQ(installed.key.Dword("LastText"), 3u);
    CloseHandle(pipe);
}

// With TextSpeed 0 the timer takes the default interval: the first verse comes after about 4 s
// and stays about 4 s.
TEST(SaverDisplay, IntervalZeroShowsEachVerseForAboutFourSeconds) {
    Installed installed(100, 0);
    FullScreenSaver saver;
    ASSERT_NE(saver.window, nullptr);
    DWORD start = GetTickCount();
    Pixels first = WaitForVerse(saver.window, 10000);
    DWORD shown = GetTickCount() - start;
    ASSERT_GT(LitPixels(first), 0u) << "no verse shown";
    while (GetTickCount() - start < 15000 && ReadScreen(saver.window).values == first.values) {
        PumpMessages(20);
    }
    DWORD changed = GetTickCount() - start;
    saver.Close();
    EXPECT_GE(shown, 3000u) << "a verse before the first tick";
    EXPECT_GE(changed, 7000u) << "the next run came early";
    EXPECT_LT(changed, 12000u) << "the next run came late";
}

// The last frame of the plan as this process draws it: the plan's face, height and colour.
Pixels RenderLastFrame(const VerseRunPlan& plan) {
    MemorySurface surface(plan.Block.Width, plan.Block.Height);
    LOGFONTW description{};
    description.lfHeight = plan.FontHeight;
    description.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(description.lfFaceName, plan.Face, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ keptFont = SelectObject(surface.dc, font);
    SetBkColor(surface.dc, RGB(0, 0, 0));
    SetTextColor(surface.dc, ColourRef(plan.Colour));
    RECT block = FrameTextRect(plan);
    DrawTextW(surface.dc, ShownText(plan), static_cast<int>(plan.Length), &block,
              DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
    SelectObject(surface.dc, keptFont);
    DeleteObject(font);
    return surface.Read();
}

// Whether the screen shows the plan's last frame at the plan's place pixel for pixel: alone, all
// of it and nothing else; beside another screen's verse (Wine's monitors overlap), at least half.
bool ShowsPlan(const Pixels& screen, const VerseRunPlan& plan, bool alone) {
    Pixels frame = RenderLastFrame(plan);
    size_t lit = 0, same = 0;
    for (int y = 0; y < frame.height && plan.Y + y < screen.height; y++) {
        for (int x = 0; x < frame.width && plan.X + x < screen.width; x++) {
            lit += frame.At(x, y) != 0;
            same += frame.At(x, y) != 0 && frame.At(x, y) == screen.At(plan.X + x, plan.Y + y);
        }
    }
    return alone ? same == lit && LitPixels(screen) == lit : lit > 0 && same * 2 >= lit;
}

// The plans, among those of the 32768 seeds a tick can hand to a run on each area as the Screens
// value places it (the whole screen when no area is given), whose last frame laid out here from
// the lists that fill puts in a record the saver shows.
std::vector<VerseRunPlan> PlansShowing(const Pixels& shown,
                                       const std::function<void(SaverSettings&)>& fill,
                                       ClientAreas areas = {{{0, 0, 0, 0}}, 0, 0},
                                       uint32_t screens = VerseOnEveryScreen) {
    if (areas.Count == 0) {
        areas = {{{0, 0, shown.width, shown.height}}, 1, 0};
    }
    std::set<uint32_t> colours(shown.values.begin(), shown.values.end());
    HDC screen = GetDC(nullptr);
    std::vector<VerseRunPlan> plans;
    for (uint32_t k = 0; k < areas.Count; k++) {
        uint32_t area = screens == VerseOnOneScreen    ? AreaDrawn
                        : screens == VerseOnMainScreen ? areas.Main
                                                       : k;
        auto startFor = [&](SaverSettings& record, uint32_t seed) {
            fill(record);
            record.FadeSpeed = 10;
            VerseRound none{};
            return StartRun(record, none, areas, area, seed, DayNumber());
        };
        auto planFor = [&](uint32_t seed) {
            SaverSettings record{};
            RunStart start = startFor(record, seed);
            GdiMeasurer measurer(screen);
            return PlanVerseRun(record, areas.Area[k], start, measurer);
        };
        // Whether a scale is drawn does not depend on the seed; with it known, the colour of a
        // seed is quick to find, and only seeds of a colour on the screen are laid out in full.
        VerseRunPlan first = planFor(0);
        int drawsBeforeColour = first.Upper > first.Lower ? 3 : 2;
        for (uint32_t seed = 0; seed <= 32767; seed++) {
            SaverSettings record{};
            RunStart start = startFor(record, seed);
            SeedRandom(start.Generator);
            for (int draw = 0; draw < drawsBeforeColour; draw++) {
                NextRandom();
            }
            Rgb drawn;
            drawn.Red = RandomUpTo(255);
            drawn.Green = RandomUpTo(255);
            drawn.Blue = RandomUpTo(255);
            Rgb colour = ReadableColour(drawn);
            if (start.AreaIndex != k ||
                colours.count(colour.Red << 16 | colour.Green << 8 | colour.Blue) == 0) {
                continue;
            }
            VerseRunPlan plan = planFor(seed);
            if (ShowsPlan(shown, plan, areas.Count == 1)) {
                plans.push_back(plan);
            }
        }
    }
    ReleaseDC(nullptr, screen);
    return plans;
}

// A verse that the next one replaces first fades out: its place on screen darkens over several
// frames before the next verse comes.
TEST(SaverDisplay, AVerseFadesOutBeforeTheNextComes) {
    Installed installed(100, 3000);
    installed.key.SetDword("FadeSpeed", 5); // 1.3 s in, 0.6 s out
    FullScreenSaver saver;
    ASSERT_NE(saver.window, nullptr);
    LitBounds verse = FindLitBounds(WaitForVerse(saver.window, 10000));
    ASSERT_GE(verse.right, 0) << "no verse shown";
    POINT origin = {verse.left, verse.top};
    ClientToScreen(saver.window, &origin);
    HDC screen = GetDC(nullptr);
    auto brightness = [&] {
        LitBounds lit =
            FindLitBounds(ReadDc(screen, origin.x, origin.y, verse.right - verse.left + 1,
                                 verse.bottom - verse.top + 1));
        return std::max({lit.red, lit.green, lit.blue});
    };
    uint32_t last = brightness();
    int falling = 0; // levels seen between the verse's colour and black
    for (DWORD start = GetTickCount(); last != 0 && GetTickCount() - start < 6000;) {
        PumpMessages(2);
        uint32_t level = brightness();
        if (level > last) {
            break; // the next verse
        }
        falling += level < last && level > 0 ? 1 : 0;
        last = level;
    }
    ReleaseDC(nullptr, screen);
    saver.Close();
    EXPECT_GE(falling, 3) << "the verse went at once";
}

// With empty lists the saver shows the default verse in the default typeface.
TEST(SaverDisplay, EmptyListsShowTheDefaultVerseInTheDefaultTypeface) {
    Installed installed(0, 1500);
    installed.key.SetDword("LastText", 3);
    FullScreenSaver saver;
    ASSERT_NE(saver.window, nullptr);
    Pixels shown = WaitForVerse(saver.window, 10000);
    saver.Close();
    ASSERT_GT(LitPixels(shown), 0u) << "no verse shown";
    EXPECT_EQ(installed.key.Dword("LastText"), 3u);

    std::vector<VerseRunPlan> plans = PlansShowing(shown, [](SaverSettings&) {});
    ASSERT_GE(plans.size(), 1u) << "the screen shows no layout of the default verse in Verdana";
    EXPECT_EQ(SlotText(plans[0].Face, FontSlotWidth), u"Verdana");
    EXPECT_EQ(plans[0].Text, DefaultVerse.data());
}

// Romanian letters with the cedilla and with the comma below, and an ampersand, read from a
// UTF-8 list show as the test's own wide drawing of them, whatever the code page (a test run
// under 1252 as well); a list in code page 1250 shows its letters under 1250.
TEST(SaverDisplay, ListLettersShowAsTheyAreWhateverTheCodePage) {
    if (const char* wanted = getenv("VERSELUME_TEST_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(atoi(wanted)));
    }
    struct ListCase {
        const char* name;
        std::string bytes;
        std::u16string verse;
        UINT codePage; // 0: any
    };
    const ListCase cases[] = {
        {"UTF-8", "ş ţ ș ț ă î â & Ş Ţ Ș Ț (Test 1:1)\r\n", u"ş ţ ș ț ă î â & Ş Ţ Ș Ț (Test 1:1)",
         0},
        {"ANSI", "\xBA \xFE \xE3 \xEE \xE2 & \xAA \xDE (Test 1:2)\r\n",
         u"ş ţ ă î â & Ş Ţ (Test 1:2)", 1250},
    };
    for (const ListCase& c : cases) {
        if (c.codePage != 0 && c.codePage != GetACP()) {
            continue;
        }
        SCOPED_TRACE(c.name);
        Installed installed(1);
        WriteBytes(installed.texts, c.bytes);
        installed.key.SetDword("TextSpeed", 1500);
        installed.key.SetDword("Options", 0); // a random verse at every display: a draw each run
        FullScreenSaver saver;
        ASSERT_NE(saver.window, nullptr);
        Pixels shown = WaitForVerse(saver.window, 10000);
        saver.Close();
        ASSERT_GT(LitPixels(shown), 0u) << "no verse shown";

        std::vector<WideChar> verses = WideSlots({c.verse}, TextSlotWidth);
        std::vector<WideChar> fonts = WideSlots({u"Tahoma"}, FontSlotWidth);
        auto fill = [&](SaverSettings& record) {
            UseVerses(record, verses);
            UseFonts(record, fonts);
        };
        EXPECT_GE(PlansShowing(shown, fill).size(), 1u)
            << "the screen shows no layout of the verse as drawn here";
    }
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT monitor, LPARAM list) {
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*monitor);
    return TRUE;
}

// Run by tools/two-monitors, on an X server of two screens (Wine places both at the origin, the
// second one larger): the window covers every monitor and each verse lies inside one of them.
TEST(TwoMonitors, WindowCoversEveryMonitorAndEachVerseStaysOnOne) {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    ASSERT_GE(monitors.size(), 2u);
    Installed installed(100);
    installed.key.SetDword("Screens", VerseOnOneScreen);
    // Long enough for the fastest fade (0.4 s) to end and the verse to stay a while, on a busy
    // machine too.
    installed.key.SetDword("TextSpeed", 2000);
    FullScreenSaver saver;
    ASSERT_NE(saver.window, nullptr);
    RECT bounds{};
    GetWindowRect(saver.window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(bounds.bottom - bounds.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    for (int verse = 0; verse < 4; verse++) {
        LitBounds lit = FindLitBounds(WaitForVerse(saver.window, 10000));
        RECT block = {bounds.left + lit.left, bounds.top + lit.top, bounds.left + lit.right + 1,
                      bounds.top + lit.bottom + 1};
        EXPECT_TRUE(std::any_of(monitors.begin(), monitors.end(),
                                [&](const RECT& monitor) {
                                    RECT common;
                                    return lit.right >= 0 &&
                                           IntersectRect(&common, &block, &monitor) &&
                                           EqualRect(&common, &block);
                                }))
            << "verse " << verse;
        PumpMessages(350);
    }
    saver.Close();
}

// After the first tick, with Screens missing every monitor shows a verse, with 1 one of them, with
// 2 the main one; a key ends the saver each time. All show the activation's verse.
TEST(TwoMonitors, EveryScreenOneOfThemOrTheMainOneShowsAVerse) {
    for (DWORD screens : {0xFFFFFFFFu, VerseOnOneScreen, VerseOnMainScreen}) {
        SCOPED_TRACE(screens);
        Installed installed(100, 4000);
        installed.key.SetDword("Options", 1 | ConsecutiveOrderBit);
        installed.key.SetDword("LastText", 5);
        if (screens != 0xFFFFFFFFu) {
            installed.key.SetDword("Screens", screens);
        }
        FullScreenSaver saver;
        ASSERT_NE(saver.window, nullptr);
        ClientAreas areas = WindowAreas(saver.window);
        WaitForVerse(saver.window, 10000);
        PumpMessages(1000); // the other screen's run, on a busy machine, may come later
        Pixels shown = WaitForVerse(saver.window, 10000);
        saver.Close();
        std::vector<WideChar> verses =
            WideSlots({u"Versetul 6, pe ecran. (Test 6)"}, TextSlotWidth);
        std::vector<WideChar> fonts = WideSlots({u"Tahoma"}, FontSlotWidth);
        std::vector<uint32_t> lit;
        for (const VerseRunPlan& plan : PlansShowing(
                 shown,
                 [&](SaverSettings& record) {
                     UseVerses(record, verses);
                     UseFonts(record, fonts);
                     record.Options = ConsecutiveOrderBit;
                 },
                 areas, screens)) {
            lit.push_back(plan.AreaIndex);
        }
        EXPECT_EQ(areas.Count, 2u);
        if (screens == VerseOnOneScreen) {
            EXPECT_EQ(lit.size(), 1u);
        } else {
            std::vector<uint32_t> expected = {0, 1};
            if (screens == VerseOnMainScreen) {
                expected = {areas.Main};
            }
            EXPECT_EQ(lit, expected);
        }
    }
}

} // namespace
