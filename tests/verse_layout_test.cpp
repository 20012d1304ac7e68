#include "verse_layout.h"

#include "random.h"
#include "support/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Returns the extents it is given and notes every request.
class ScriptedMeasurer final : public TextMeasurer {
  public:
    // What the one-line measurement, the first wrapped one and every later one give.
    ScriptedMeasurer(TextExtent lineExtent, TextExtent firstWrap, TextExtent laterWraps)
        : line(lineExtent), first(firstWrap), second(laterWraps) {}

    TextExtent line{};
    TextExtent first{};
    TextExtent second{};
    std::vector<std::string> requests;
    // Faces (by name) and the units each lacks; every other face has every glyph.
    std::vector<std::pair<std::u16string, std::u16string>> lacking;

    void UseFont(const WideChar* face, int32_t height) override {
        // The typeface names of these tests are ASCII.
        std::string name(face, face + WideLength(face, FontSlotWidth));
        requests.push_back("font " + name + " " + std::to_string(height));
    }
    TextExtent MeasureLine(const WideChar*, uint32_t length) override {
        requests.push_back("line " + std::to_string(length));
        return line;
    }
    TextExtent MeasureWrapped(const WideChar*, uint32_t length, int32_t width,
                              int32_t height) override {
        requests.push_back("wrap " + std::to_string(length) + " " + std::to_string(width) + "x" +
                           std::to_string(height));
        return wraps_++ == 0 ? first : second;
    }
    bool HasGlyphs(const WideChar* face, const WideChar* text, uint32_t length) override {
        for (const auto& [name, units] : lacking) {
            if (SlotText(face, FontSlotWidth) == name &&
                std::u16string(text, text + length).find_first_of(units) != std::u16string::npos) {
                return false;
            }
        }
        return true;
    }

  private:
    int wraps_ = 0;
};

// A small text engine: every character half as wide as the cell is high, words broken at
// spaces, lines as high as the cell (height 0 is the default height, 20).
class WrappingMeasurer final : public TextMeasurer {
  public:
    void UseFont(const WideChar*, int32_t height) override { height_ = height == 0 ? 20 : height; }
    TextExtent MeasureLine(const WideChar*, uint32_t length) override {
        return {static_cast<int32_t>(length) * CharWidth(), height_};
    }
    TextExtent MeasureWrapped(const WideChar* text, uint32_t length, int32_t width,
                              int32_t) override {
        int32_t widest = 0;
        int32_t lines = 0;
        int32_t current = -1; // characters on the current line, -1 before its first word
        uint32_t i = 0;
        while (i < length) {
            uint32_t end = i;
            while (end < length && text[end] != ' ') {
                end++;
            }
            int32_t word = static_cast<int32_t>(end - i);
            if (current >= 0 && (current + 1 + word) * CharWidth() <= width) {
                current += 1 + word;
            } else {
                if (current >= 0 && current * CharWidth() > widest) {
                    widest = current * CharWidth();
                }
                lines += current >= 0 ? 1 : 0;
                current = word;
            }
            i = end + 1;
        }
        if (current >= 0) {
            lines++;
            widest = current * CharWidth() > widest ? current * CharWidth() : widest;
        }
        return {widest, lines * height_};
    }
    bool HasGlyphs(const WideChar*, const WideChar*, uint32_t) override { return true; }

  private:
    int32_t CharWidth() const { return height_ / 2 > 0 ? height_ / 2 : 1; }
    int32_t height_ = 20;
};

uint32_t Bits(float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Every field of the plan; the floats to the last bit.
void ExpectSamePlan(const VerseRunPlan& a, const VerseRunPlan& b) {
    EXPECT_EQ(a.Face, b.Face);
    EXPECT_EQ(a.Text, b.Text);
    EXPECT_EQ(a.Length, b.Length);
    EXPECT_EQ(a.AreaIndex, b.AreaIndex);
    EXPECT_EQ(a.ClientWidth, b.ClientWidth);
    EXPECT_EQ(a.ClientHeight, b.ClientHeight);
    EXPECT_EQ(a.Line.Width, b.Line.Width);
    EXPECT_EQ(a.Line.Height, b.Line.Height);
    EXPECT_EQ(a.Quotient, b.Quotient);
    EXPECT_EQ(a.Lines, b.Lines);
    EXPECT_EQ(a.Base.Width, b.Base.Width);
    EXPECT_EQ(a.Base.Height, b.Base.Height);
    EXPECT_EQ(Bits(a.WidthRatio), Bits(b.WidthRatio));
    EXPECT_EQ(Bits(a.HeightRatio), Bits(b.HeightRatio));
    EXPECT_EQ(Bits(a.Lower), Bits(b.Lower));
    EXPECT_EQ(Bits(a.Upper), Bits(b.Upper));
    EXPECT_EQ(Bits(a.Scale), Bits(b.Scale));
    EXPECT_EQ(a.FontHeight, b.FontHeight);
    EXPECT_EQ(a.BlockLayoutWidth, b.BlockLayoutWidth);
    EXPECT_EQ(a.Block.Width, b.Block.Width);
    EXPECT_EQ(a.Block.Height, b.Block.Height);
    EXPECT_EQ(a.X, b.X);
    EXPECT_EQ(a.Y, b.Y);
    EXPECT_EQ(a.Red, b.Red);
    EXPECT_EQ(a.Green, b.Green);
    EXPECT_EQ(a.Blue, b.Blue);
    EXPECT_EQ(ColourRef(a.Colour), ColourRef(b.Colour));
    EXPECT_EQ(a.Fade.Duration, b.Fade.Duration);
    EXPECT_EQ(a.Fade.Frames, b.Fade.Frames);
    EXPECT_EQ(a.Cedillas, b.Cedillas);
    EXPECT_EQ(a.Complete, b.Complete);
}

struct Lists {
    std::vector<WideChar> verses =
        WideSlots({u"Întâi", u"Al doilea verset", u"Al treilea verset"}, TextSlotWidth);
    std::vector<WideChar> fonts =
        WideSlots({u"Arial", u"Georgia", u"Tahoma", u"Times New Roman"}, FontSlotWidth);
};

TEST(PlanVerseRun, DrawsInOrderAndRoundsToFloat) {
    Lists lists;
    // Draws 31684, 25190, 25328, 15730, 27961, 25840, 23001, 21341; FadeSpeed 7.
    SaverSettings record;
    SetUpRun(record, lists.verses, lists.fonts, 100000, 7);
    ScriptedMeasurer measurer({2000, 20}, {280, 140}, {430, 280});

    VerseRunPlan plan = PlanVerseRun(record, 1000, 600, 9000, measurer);

    ASSERT_TRUE(plan.Complete);
    EXPECT_EQ(SlotText(plan.Face, FontSlotWidth), u"Times New Roman"); // RandomUpTo(3)
    EXPECT_EQ(plan.Face, lists.fonts.data() + 3 * FontSlotWidth);
    EXPECT_EQ(SlotText(plan.Text, TextSlotWidth), u"Al treilea verset"); // RandomUpTo(2)
    EXPECT_EQ(record.LastText, 2u);
    EXPECT_EQ(plan.Length, 17u);
    EXPECT_EQ(plan.Quotient, 60); // 600 * 2000 / (1000 * 20)
    EXPECT_EQ(plan.Lines, 7);
    EXPECT_EQ(Bits(plan.WidthRatio), 0x40649249u);  // 1000 / 280
    EXPECT_EQ(Bits(plan.HeightRatio), 0x40892492u); // 600 / 140
    EXPECT_EQ(Bits(plan.Lower), 0x3f5b6db6u);
    EXPECT_EQ(Bits(plan.Upper), 0x3fe49249u);
    EXPECT_EQ(Bits(plan.Scale), 0x3fc9966eu); // r = 25328: 1.5749032
    EXPECT_EQ(plan.FontHeight, 31);
    EXPECT_EQ(plan.X, 274); // RandomUpTo(1000 - 430)
    EXPECT_EQ(plan.Y, 273); // RandomUpTo(600 - 280)
    EXPECT_EQ(plan.Red, 201u);
    EXPECT_EQ(plan.Green, 179u);
    EXPECT_EQ(plan.Blue, 166u);
    EXPECT_EQ(ColourRef(plan.Colour), ColourRef({201, 179, 166})); // readable as it is
    EXPECT_EQ(plan.Fade.Duration, 798u);                           // FadeSpeed 7
    EXPECT_EQ(plan.Fade.Frames, 47u);
    // The second layout starts from w1 * s and the unscaled line height.
    EXPECT_EQ(measurer.requests,
              (std::vector<std::string>{"font Times New Roman 20", "line 17", "wrap 17 285x20",
                                        "font Times New Roman 31", "wrap 17 440x20"}));
}

TEST(PlanVerseRun, SameSeedSamePlan) {
    for (uint32_t seed : {0u, 1u, 4242u, 32767u, 4294967295u}) {
        SCOPED_TRACE(seed);
        Lists lists;
        VerseRunPlan plans[2];
        for (VerseRunPlan& plan : plans) {
            SaverSettings record;
            SetUpRun(record, lists.verses, lists.fonts, seed);
            WrappingMeasurer measurer;
            plan = PlanVerseRun(record, 1280, 1024, 9000, measurer);
        }
        ExpectSamePlan(plans[0], plans[1]);
    }
}

TEST(PlanVerseRun, BlocksFitTheClientAreaAndScaleStaysWithinItsBounds) {
    std::vector<WideChar> verses =
        WideSlots({Utf16(DefaultVerse.data(), DefaultVerse.size() - 1),
                   u"Domnul este păstorul meu: nu voi duce lipsă de nimic. (Psalmul 23:1)",
                   u"Isus plângea. (Ioan 11:35)"},
                  TextSlotWidth);
    struct Area {
        int32_t width, height;
    };
    for (Area area : {Area{1920, 1080}, Area{1280, 1024}, Area{152, 112}, Area{1080, 1920}}) {
        for (uint32_t seed = 0; seed < 300; seed++) {
            SaverSettings record{};
            UseVerses(record, verses);
            record.ThreadSeed = seed;
            WrappingMeasurer measurer;
            VerseRunPlan plan = PlanVerseRun(record, area.width, area.height, 9000, measurer);
            SCOPED_TRACE(std::to_string(area.width) + "x" + std::to_string(area.height) + " seed " +
                         std::to_string(seed));
            ASSERT_TRUE(plan.Complete);
            if (plan.Upper > plan.Lower) {
                ASSERT_GE(plan.Scale, plan.Lower);
                ASSERT_LE(plan.Scale, plan.Upper);
            }
            ASSERT_GE(plan.X, 0);
            ASSERT_GE(plan.Y, 0);
            if (plan.Block.Width <= area.width) {
                ASSERT_LE(plan.X + plan.Block.Width, area.width);
            } else {
                ASSERT_EQ(plan.X, 0);
            }
            if (plan.Block.Height <= area.height) {
                ASSERT_LE(plan.Y + plan.Block.Height, area.height);
            } else {
                ASSERT_EQ(plan.Y, 0);
            }
        }
    }
}

struct MonitorCase {
    const char* name;
    std::vector<ScreenRect> monitors; // the window covers them all
    std::vector<int32_t> area;        // index, then X, Y, W and H of the run seed 100000 lays out
};

const MonitorCase MonitorCases[] = {
    {"one", {{0, 0, 1000, 600}}, {0, 274, 273, 1000, 600}},
    {"one at negative coordinates", {{-1000, -600, 0, 0}}, {0, 274, 273, 1000, 600}},
    {"side by side", {{0, 0, 1000, 600}, {1000, 0, 2280, 500}}, {1, 1000 + 726, 174, 1280, 500}},
    {"left of and above",
     {{0, 0, 1000, 600}, {-1280, -300, 0, 724}},
     {1, 1280 + 487, 300 + 253, 1000, 600}},
    {"below and above", {{0, 0, 1000, 600}, {0, -600, 1000, 0}}, {1, 487, 600 + 253, 1000, 600}},
    {"both at the origin (Wine)",
     {{0, 0, 1024, 768}, {0, 0, 1280, 1024}},
     {1, 726, 587, 1280, 1024}},
};

// Each verse is laid out in one monitor's part of the client area; with several, one draw
// before all others picks it, and with one the run is the same as before, field for field.
TEST(PlanVerseRun, EachRunLaysItsVerseOutOnOneMonitor) {
    for (const MonitorCase& c : MonitorCases) {
        SCOPED_TRACE(c.name);
        ScreenRect client = c.monitors[0];
        for (const ScreenRect& m : c.monitors) {
            client = {std::min(client.Left, m.Left), std::min(client.Top, m.Top),
                      std::max(client.Right, m.Right), std::max(client.Bottom, m.Bottom)};
        }
        ClientAreas areas{};
        AddMonitorArea(areas, client, {client.Right, 0, client.Right + 800, 600}); // beside it
        for (const ScreenRect& monitor : c.monitors) {
            AddMonitorArea(areas, client, monitor);
        }
        Lists lists;
        auto plan = [&](bool whole) {
            // Draws 31684, 25190, 25328, 15730, 27961, 25840, ...
            SaverSettings record;
            SetUpRun(record, lists.verses, lists.fonts, 100000);
            ScriptedMeasurer measurer({2000, 20}, {280, 140}, {430, 280});
            if (whole) {
                return PlanVerseRun(record, c.area[3], c.area[4], 9000, measurer);
            }
            VerseRound round{};
            RunStart start = StartRun(record, round, areas, AreaDrawn, 100000, 9000);
            return PlanVerseRun(record, areas.Area[start.AreaIndex], start, measurer);
        };
        VerseRunPlan run = plan(false);
        EXPECT_EQ(areas.Count, c.monitors.size());
        EXPECT_EQ(std::vector<int32_t>({static_cast<int32_t>(run.AreaIndex), run.X, run.Y,
                                        run.ClientWidth, run.ClientHeight}),
                  c.area);
        if (areas.Count == 1) {
            ExpectSamePlan(run, plan(true));
        }
    }
}

struct TickCase {
    const char* name;
    uint32_t screens;
    uint32_t options;
    int32_t lastDay;
    std::vector<uint32_t> areas; // of each run
    std::vector<uint32_t> verses;
};

// Five verses from LastText 3 at an activation's first tick.
const TickCase TickCases[] = {
    {"missing: every screen, each display, in order", 0, 4, 9000, {0, 1, 2}, {4, 0, 1}},
    {"every screen, each display, random", 0, 0, 9000, {0, 1, 2}, {0, 4, 0}},
    {"every screen, each activation", 0, 5, 9000, {0, 1, 2}, {4, 4, 4}},
    {"every screen, a new day", 0, 2, 8999, {0, 1, 2}, {0, 0, 0}},
    {"every screen, the same day", 0, 2, 9000, {0, 1, 2}, {3, 3, 3}},
    {"7 as every screen", 7, 4, 9000, {0, 1, 2}, {4, 0, 1}},
    {"one screen at random", 1, 0, 9000, {0}, {4}},
    {"the main screen only", 2, 4, 9000, {2}, {4}},
};

// Three screens, the main one right, come in screen order; each run has its own seed, in turn
// from the window's generator, and lays its verse out on its own screen.
TEST(StartTick, EachScreenHasItsSeedAndTheVersesFollowThePolicyInScreenOrder) {
    ScreenRect client = {-1000, 0, 2000, 600};
    ClientAreas areas{};
    AddMonitorArea(areas, client, {1000, 0, 2000, 600}, true);
    AddMonitorArea(areas, client, {-1000, 0, 0, 600});
    AddMonitorArea(areas, client, {0, 0, 1000, 600});
    std::vector<WideChar> verses = WideSlots({u"0", u"1", u"2", u"3", u"4"}, TextSlotWidth);
    Lists lists;
    for (const TickCase& c : TickCases) {
        SCOPED_TRACE(c.name);
        SaverSettings record{};
        UseVerses(record, verses);
        UseFonts(record, lists.fonts);
        record.Options = c.options;
        record.LastText = 3;
        record.LastDay = c.lastDay;
        record.FirstPick = 1;
        SeedRandom(100000); // draws 31684, 25190, 25328, 15730
        VerseRound round{};
        TickRuns tick = StartTick(record, round, areas, c.screens, 9000);
        EXPECT_EQ(NextRandom(), c.areas.size() == 3 ? 15730u : 25190u) << "the window's draws";
        std::vector<uint32_t> runs[3];
        for (const RunStart& run : std::vector<RunStart>(tick.Run, tick.Run + tick.Count)) {
            runs[0].push_back(run.AreaIndex);
            runs[1].push_back(run.Seed);
            runs[2].push_back(uint32_t(run.Text - verses.data()) / TextSlotWidth);
            WrappingMeasurer measurer;
            EXPECT_EQ(PlanVerseRun(record, areas.Area[run.AreaIndex], run, measurer).X / 1000,
                      int32_t(run.AreaIndex));
        }
        EXPECT_EQ(runs[0], c.areas);
        std::vector<uint32_t> seeds = {31684, 25190, 25328};
        seeds.resize(tick.Count);
        EXPECT_EQ(runs[1], seeds);
        EXPECT_EQ(runs[2], c.verses);
        EXPECT_EQ(record.LastText, c.verses.back()) << "the last verse picked";
    }
}

// Proportions that differ by 2.5 or more take the midpoint of the bounds without a draw, so
// position and colour take the values one place earlier.
TEST(PlanVerseRun, MidpointScaleMakesNoDraw) {
    struct ScaleCase {
        const char* name;
        TextExtent first;
        float scale; // 0 when drawn
        int32_t x;
    };
    const ScaleCase cases[] = {
        {"factor 5", {100, 300}, 1.5f, 1},   // rw 10, rh 2: A 2, B 1
        {"factor 2.5", {200, 300}, 1.0f, 1}, // rw 5, rh 2: A 1, B 1
        {"just under 2.5", {201, 300}, 0, 479},
    };
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(c.name);
        SaverSettings record{};
        record.ThreadSeed = 1; // draws 41, 18467, 6334, 26500, 19169, 15724
        ScriptedMeasurer measurer({2000, 20}, c.first, {150, 90});
        VerseRunPlan plan = PlanVerseRun(record, 1000, 600, 9000, measurer);
        EXPECT_EQ(plan.X, c.x);
        if (c.scale != 0) {
            EXPECT_EQ(plan.Scale, c.scale);
            EXPECT_EQ(plan.Y, 287); // RandomUpTo(510) of 18467
            EXPECT_EQ(plan.Red, 49u);
            EXPECT_EQ(plan.Green, 207u);
            EXPECT_EQ(plan.Blue, 149u);
        } else {
            EXPECT_GT(plan.Upper, plan.Lower);
            EXPECT_EQ(plan.Red, 26500u >> 7);
        }
    }
}

// L is the truncated square root of q, and at least 1.
TEST(PlanVerseRun, LineCountFromTheQuotient) {
    const int32_t lines[] = {1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 4};
    for (int32_t q = 0; q <= 16; q++) {
        SCOPED_TRACE(q);
        SaverSettings record{};
        // q = (100 * cx) / (100 * 10), cx just short of the next q.
        ScriptedMeasurer measurer({10 * q + 9, 10}, {50, 50}, {50, 50});
        VerseRunPlan plan = PlanVerseRun(record, 100, 100, 9000, measurer);
        EXPECT_EQ(plan.Quotient, q);
        EXPECT_EQ(plan.Lines, lines[q]);
        EXPECT_EQ(measurer.requests[2],
                  "wrap 140 " + std::to_string((10 * q + 9) / lines[q]) + "x10");
    }
}

TEST(PlanVerseRun, ScaleBelowOneTwentiethAsksForHeightZero) {
    SaverSettings record{};
    record.ThreadSeed = 1;
    // rw = rh = 0.02: A 0.004, B 0.01
    ScriptedMeasurer measurer({5000, 20}, {5000, 5000}, {10, 10});
    VerseRunPlan plan = PlanVerseRun(record, 100, 100, 9000, measurer);
    EXPECT_LT(plan.Scale, 0.05f);
    EXPECT_EQ(plan.FontHeight, 0);
    EXPECT_EQ(measurer.requests[3], "font Verdana 0");
    EXPECT_EQ(measurer.requests[4], "wrap 140 20x20"); // 5000 * 0.0040075
}

TEST(PlanVerseRun, EmptyListsGiveTheDefaultsWithoutDraws) {
    std::vector<WideChar> fontsWithoutCount = WideSlots({u"Arial"}, FontSlotWidth);
    SaverSettings record{};
    record.Fonts = fontsWithoutCount.data(); // a block but a count of 0
    record.LastText = 7;
    record.FirstPick = 1;
    record.Options = 0;
    record.ThreadSeed = 1;
    ScriptedMeasurer measurer({2000, 20}, {100, 300}, {150, 90});
    VerseRunPlan plan = PlanVerseRun(record, 1000, 600, 9000, measurer);
    EXPECT_EQ(plan.Face, DefaultTypeface.data());
    EXPECT_EQ(SlotText(plan.Face, FontSlotWidth), u"Verdana");
    EXPECT_EQ(plan.Text, DefaultVerse.data());
    EXPECT_EQ(plan.Length, 140u);
    EXPECT_EQ(WideLength(plan.Text, 1000), 140u);
    EXPECT_EQ(record.LastText, 7u);
    EXPECT_EQ(record.FirstPick, 1u);
    EXPECT_EQ(plan.X, 1); // the first value went to the position

    // A count without a block is empty too.
    record.Fonts = nullptr;
    record.FontCount = 3;
    record.Texts = nullptr;
    record.TextCount = 2;
    ScriptedMeasurer again({2000, 20}, {100, 300}, {150, 90});
    plan = PlanVerseRun(record, 1000, 600, 9000, again);
    EXPECT_EQ(plan.Face, DefaultTypeface.data());
    EXPECT_EQ(plan.Text, DefaultVerse.data());
    EXPECT_EQ(plan.X, 1);
}

TEST(PlanVerseRun, VerseOfAFullSlotHas255Units) {
    std::vector<WideChar> verses = WideSlots({std::u16string(255, u'v')}, TextSlotWidth);
    SaverSettings record{};
    UseVerses(record, verses);
    WrappingMeasurer measurer;
    VerseRunPlan plan = PlanVerseRun(record, 800, 600, 9000, measurer);
    EXPECT_EQ(plan.Length, 255u);
}

// A block larger than the client area still takes its position draw and starts at 0.
TEST(PlanVerseRun, OversizedBlockStartsAtTheEdge) {
    struct OversizeCase {
        TextExtent block;
        int32_t x, y;
        uint32_t red;
    };
    // Midpoint scale, seed 1: positions take 41 and 18467, red takes 6334.
    const OversizeCase cases[] = {
        {{1500, 90}, 0, 287, 49},
        {{150, 900}, 1, 0, 49},
        {{1500, 900}, 0, 0, 49},
    };
    for (const OversizeCase& c : cases) {
        SaverSettings record{};
        record.ThreadSeed = 1;
        ScriptedMeasurer measurer({2000, 20}, {100, 300}, c.block);
        VerseRunPlan plan = PlanVerseRun(record, 1000, 600, 9000, measurer);
        EXPECT_TRUE(plan.Complete);
        EXPECT_EQ(plan.X, c.x);
        EXPECT_EQ(plan.Y, c.y);
        EXPECT_EQ(plan.Red, c.red);
    }
}

// No width, no line height or an empty block ends the layout: no frame, no further draw.
TEST(PlanVerseRun, DivisionByZeroLeavesARunWithoutFrames) {
    struct ZeroCase {
        const char* name;
        int32_t width, height;
        TextExtent line, first;
        size_t requests;
    };
    const ZeroCase cases[] = {
        {"client width 0", 0, 600, {2000, 20}, {100, 100}, 2},
        {"line height 0", 1000, 600, {2000, 0}, {100, 100}, 2},
        {"wrapped width 0", 1000, 600, {2000, 20}, {0, 100}, 3},
        {"wrapped height 0", 1000, 600, {2000, 20}, {100, 0}, 3},
        {"client area 0 x 0", 0, 0, {2000, 20}, {100, 100}, 2},
    };
    for (const ZeroCase& c : cases) {
        SCOPED_TRACE(c.name);
        SaverSettings record{};
        record.ThreadSeed = 1;
        ScriptedMeasurer measurer(c.line, c.first, {150, 90});
        VerseRunPlan plan = PlanVerseRun(record, c.width, c.height, 9000, measurer);
        EXPECT_FALSE(plan.Complete);
        EXPECT_EQ(measurer.requests.size(), c.requests);
        EXPECT_EQ(NextRandom(), 41u) << "no draw made";
    }
}

// A client area without height divides by nothing: q and rh are 0 and the run goes on.
TEST(PlanVerseRun, ZeroHeightStillLaysOut) {
    SaverSettings record{};
    record.ThreadSeed = 1;
    ScriptedMeasurer measurer({2000, 20}, {2000, 20}, {40, 8});
    VerseRunPlan plan = PlanVerseRun(record, 1000, 0, 9000, measurer);
    EXPECT_TRUE(plan.Complete);
    EXPECT_EQ(plan.Quotient, 0);
    EXPECT_EQ(plan.Lines, 1);
    EXPECT_EQ(plan.HeightRatio, 0.0f);
    EXPECT_EQ(plan.Upper, 0.0f);
    EXPECT_EQ(plan.Scale, plan.Lower / 2);
    EXPECT_EQ(plan.Y, 0);
}

// The typeface a run measures and draws in has every letter of the verse; no draw is added or
// removed on the way.
TEST(PlanVerseRun, FaceShowsEveryLetterOfTheVerse) {
    struct CoverCase {
        std::vector<std::pair<std::u16string, std::u16string>> lacking;
        std::u16string face;
        bool cedillas;
    };
    const CoverCase cases[] = {
        {{}, u"Georgia", false},
        {{{u"Georgia", u"șțȘȚ"}}, u"Georgia", true},
        {{{u"Georgia", u"șş"}}, u"Verdana", false},
        {{{u"Georgia", u"ă"}}, u"Verdana", false},
        {{{u"Georgia", u"ă"}, {u"Verdana", u"ă"}}, u"Segoe UI", false},
        {{{u"Georgia", u"ă"}, {u"Verdana", u"Ț"}}, u"Verdana", true},
        {{{u"Georgia", u"ă"},
          {u"Verdana", u"ă"},
          {u"Segoe UI", u"ă"},
          {u"Arial", u"ă"},
          {u"Tahoma", u"ă"}},
         u"Verdana",
         false}, // no face has them all
    };
    std::vector<WideChar> verses = WideSlots({u"Țara și cerul, ăsta"}, TextSlotWidth);
    std::vector<WideChar> fonts = WideSlots({u"Georgia"}, FontSlotWidth);
    for (const CoverCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lacking));
        SaverSettings record;
        SetUpRun(record, verses, fonts, 100000);
        ScriptedMeasurer measurer({2000, 20}, {280, 140}, {430, 280});
        measurer.lacking = c.lacking;
        VerseRunPlan plan = PlanVerseRun(record, 1000, 600, 9000, measurer);
        EXPECT_EQ(SlotText(plan.Face, FontSlotWidth), c.face);
        EXPECT_EQ(SlotText(ShownText(plan), TextSlotWidth),
                  c.cedillas ? u"Ţara şi cerul, ăsta" : u"Țara și cerul, ăsta");
        EXPECT_EQ(measurer.requests.front(),
                  "font " + std::string(c.face.begin(), c.face.end()) + " 20");
        // The same eight draws as in DrawsInOrderAndRoundsToFloat, and the generator where they
        // leave it.
        EXPECT_EQ(plan.Red, 201u);
        EXPECT_EQ(NextRandom(), 22727u);
    }
}

// A clock that moves only while the fade waits or draws; notes each frame's time and colour.
class ClockedFade final : public FadeTarget {
  public:
    std::atomic<uint32_t> running{1};
    uint32_t drawCost = 0;  // milliseconds a frame takes to draw
    uint32_t oversleep = 0; // milliseconds each pause lasts longer than asked
    size_t stopAt = 0;      // running drops while this frame is drawn (0: never)
    std::vector<std::pair<uint32_t, uint32_t>> frames; // time, colour

    uint32_t Elapsed() override { return now_; }
    void Wait(uint32_t milliseconds) override { now_ += milliseconds + oversleep; }
    void DrawFrame(uint32_t colourRef) override {
        frames.emplace_back(now_, colourRef);
        now_ += drawCost;
        // A fade that never ends fails instead of hanging.
        running = frames.size() == stopAt || frames.size() > 10000 ? 0 : running.load();
    }

  private:
    uint32_t now_ = 0;
};

constexpr Rgb FadeColour = {200, 100, 50};

constexpr auto In = FadeDirection::In;
constexpr auto Out = FadeDirection::Out;

// Frames at their deadlines, never more than 60 a second, each brighter than the one before (or
// fading out, darker), the last exactly at the colour (or black); a FadeSpeed above 10 (only
// written by hand) fades as fast as 10. The fade-out takes half the fade-in's time; where both
// would take more than two thirds of the interval, both shrink in proportion.
TEST(FadeSchedule, FadeSpeedSetsTheDurationAndFramesComeAtMost60ASecond) {
    struct Case {
        uint32_t fadeSpeed, interval; // interval 0: the fade-in alone, ScheduleFade
        FadeDirection direction;
        uint32_t duration, frames;
    };
    const Case cases[] = {
        {0, 0, In, 4000, 240},         {1, 0, In, 3177, 190},      {5, 0, In, 1265, 75},
        {9, 0, In, 504, 30},           {10, 0, In, 400, 24},       {11, 0, In, 400, 24},
        {4294967295u, 0, In, 400, 24}, {0, 60000, Out, 2000, 120}, {5, 4000, Out, 632, 37},
        {10, 4000, Out, 200, 12},      {0, 4000, In, 1777, 106},   {0, 4000, Out, 888, 53},
        {5, 1500, In, 666, 39},        {5, 1500, Out, 333, 19}};
    for (const auto& [fadeSpeed, interval, direction, duration, frames] : cases) {
        SCOPED_TRACE(testing::Message() << fadeSpeed << " in " << interval);
        VerseFades fades = ScheduleFades(fadeSpeed, interval);
        FadeSchedule schedule = interval == 0      ? ScheduleFade(fadeSpeed)
                                : direction == Out ? fades.Out
                                                   : fades.In;
        EXPECT_EQ(schedule.Duration, duration);
        ClockedFade fade;
        EXPECT_TRUE(RunFade(FadeColour, schedule, fade, fade.running, direction));
        ASSERT_EQ(fade.frames.size(), frames);
        for (size_t i = 1; i < frames; i++) {
            EXPECT_GE(fade.frames[i].first - fade.frames[i - 1].first, 16u);
            uint32_t red = fade.frames[i].second & 0xFF, before = fade.frames[i - 1].second & 0xFF;
            EXPECT_TRUE(direction == In ? red >= before : red <= before) << i;
        }
        EXPECT_LE(frames * 1000, duration * FadeFrameRate);
        EXPECT_EQ(fade.frames.back(),
                  std::make_pair(duration, direction == In ? ColourRef(FadeColour) : 0u));
    }
    // Half way through the slowest fade, half the colour.
    ClockedFade fade;
    RunFade(FadeColour, ScheduleFade(0), fade, fade.running);
    EXPECT_EQ(fade.frames[119], std::make_pair(2000u, ColourRef({100, 50, 25})));
}

// Slow frames and late pauses make no drift: frames keep to the clock, their colour to the time.
TEST(FadeSchedule, LateFramesKeepToTheClock) {
    FadeSchedule schedule = ScheduleFade(5);
    ClockedFade slow, late;
    slow.drawCost = 40;
    late.oversleep = 9;
    for (ClockedFade* fade : {&slow, &late}) {
        RunFade(FadeColour, schedule, *fade, fade->running);
        for (const auto& [time, colour] : fade->frames) {
            EXPECT_EQ(colour & 0xFF, 200 * std::min(time, schedule.Duration) / schedule.Duration);
        }
        EXPECT_LT(fade->frames.back().first, schedule.Duration + slow.drawCost);
        EXPECT_EQ(fade->frames.back().second, ColourRef(FadeColour));
    }
    // Frames that take long skip the deadlines that went by meanwhile and keep to the next one.
    EXPECT_LT(slow.frames.size(), schedule.Frames / 2);
    for (size_t i = 0; i + 1 < slow.frames.size(); i++) {
        uint32_t time = slow.frames[i].first;
        EXPECT_EQ(FrameDeadline(schedule, NextFrameAfter(schedule, time - 1)), time);
    }
    // Pauses that end late make every frame as late, and no later.
    ASSERT_EQ(late.frames.size(), schedule.Frames);
    for (uint32_t i = 0; i < schedule.Frames; i++) {
        EXPECT_EQ(late.frames[i].first, FrameDeadline(schedule, i + 1) + late.oversleep);
    }
}

// A stop between frames draws no further frame; with animations off, one frame at the colour.
TEST(FadeSchedule, StopBetweenFramesAndInstantFade) {
    ClockedFade stopped, before, instant;
    stopped.stopAt = 10;
    before.running = 0;
    EXPECT_FALSE(RunFade(FadeColour, ScheduleFade(0), stopped, stopped.running, Out));
    EXPECT_FALSE(RunFade(FadeColour, ScheduleFade(0), before, before.running));
    EXPECT_TRUE(RunFade(FadeColour, InstantFade, instant, instant.running));
    EXPECT_EQ(stopped.frames.size(), 10u);
    EXPECT_TRUE(before.frames.empty());
    EXPECT_EQ(instant.frames, (decltype(instant.frames){{0, ColourRef(FadeColour)}}));
}

// HSV hue in degrees, and chroma (0 for grey).
double Hue(const Rgb& c, uint32_t& chroma) {
    uint32_t top = std::max({c.Red, c.Green, c.Blue});
    chroma = top - std::min({c.Red, c.Green, c.Blue});
    double r = c.Red, g = c.Green, b = c.Blue, range = chroma;
    double hue = chroma == 0      ? 0
                 : top == c.Red   ? (g - b) / range
                 : top == c.Green ? 2 + (b - r) / range
                                  : 4 + (r - g) / range;
    return hue < 0 ? hue * 60 + 360 : hue * 60;
}

// The colours of 10,000 seeds as a run draws them: every one reads at 4.5:1 against black,
// those that did keep their colour, the others their hue. Black turns the dimmest grey that does.
TEST(ContrastFloor, EveryColourReadsAndKeepsItsHue) {
    EXPECT_DOUBLE_EQ(ContrastAgainstBlack({255, 255, 255}), 21.0);
    EXPECT_DOUBLE_EQ(ContrastAgainstBlack({0, 0, 0}), 1.0);
    size_t lifted = 0;
    for (uint32_t seed = 0; seed < 10000; seed++) {
        SeedRandom(seed);
        Rgb drawn{RandomUpTo(255), RandomUpTo(255), RandomUpTo(255)};
        Rgb shown = ReadableColour(drawn);
        SCOPED_TRACE(testing::Message() << drawn.Red << " " << drawn.Green << " " << drawn.Blue);
        EXPECT_GE(ContrastAgainstBlack(shown), ContrastFloor);
        if (ContrastAgainstBlack(drawn) >= ContrastFloor) {
            EXPECT_EQ(ColourRef(shown), ColourRef(drawn));
            continue;
        }
        lifted++;
        EXPECT_TRUE(shown.Red >= drawn.Red && shown.Green >= drawn.Green &&
                    shown.Blue >= drawn.Blue &&
                    std::max({shown.Red, shown.Green, shown.Blue}) < 256);
        uint32_t drawnChroma, shownChroma;
        double difference = std::fabs(Hue(drawn, drawnChroma) - Hue(shown, shownChroma));
        EXPECT_EQ(drawnChroma == 0, shownChroma == 0) << "grey stays grey, and only grey";
        // Rounding each component to a whole level moves the hue by at most this much.
        if (shownChroma != 0) {
            EXPECT_LE(std::min(difference, 360 - difference), 120.0 / shownChroma);
        }
    }
    EXPECT_GT(lifted, 2000u); // about one colour in three is too dark
    EXPECT_LT(lifted, 4500u);
    uint32_t grey = ReadableColour({0, 0, 0}).Red;
    EXPECT_EQ(ColourRef(ReadableColour({0, 0, 0})), ColourRef({grey, grey, grey}));
    EXPECT_LT(ContrastAgainstBlack({grey - 1, grey - 1, grey - 1}), ContrastFloor);
}

} // namespace
