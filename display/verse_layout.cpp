#include "verse_layout.h"

#include "glyph_cover.h"
#include "random.h"

#include <algorithm>
#include <cmath>

// Floating values follow one rule: compute in double, round to float once by storing into a
// float variable. The i686 build compiles this file with -ffloat-store so that the x87 really
// rounds at each store instead of keeping 80-bit values in registers (see CMakeLists.txt).

namespace {

constexpr auto SegoeUi = WidenAscii("Segoe UI");
constexpr auto Arial = WidenAscii("Arial");
constexpr auto Tahoma = WidenAscii("Tahoma");

// Truncates toward zero; values beyond the 32-bit range (only from absurd measurements) stop at
// its ends instead of being undefined.
int32_t Truncate(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= -2147483649.0) {
        return INT32_MIN;
    }
    if (value >= 2147483648.0) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

// A position from 0 to range. A block larger than the client area still makes its draw, so the
// draws after it keep their place, and starts at the area's edge.
int32_t RandomPosition(int32_t range) {
    return static_cast<int32_t>(RandomUpTo(range > 0 ? static_cast<uint32_t>(range) : 0));
}

const WideChar* PickTypeface(const SaverSettings& record) {
    if (record.FontCount == 0 || record.Fonts == nullptr) {
        return DefaultTypeface.data();
    }
    uint32_t index = RandomUpTo(record.FontCount - 1);
    return record.Fonts + static_cast<size_t>(index) * FontSlotWidth;
}

// Lines for a block with the proportions of the client area; false when the area has no width
// or the text no height.
bool CountLines(VerseRunPlan& plan) {
    int64_t divisor = static_cast<int64_t>(plan.ClientWidth) * plan.Line.Height;
    if (divisor == 0) {
        return false;
    }
    plan.Quotient =
        static_cast<int32_t>(static_cast<int64_t>(plan.ClientHeight) * plan.Line.Width / divisor);
    plan.Lines = plan.Quotient > 0 ? static_cast<int32_t>(std::sqrt(double(plan.Quotient))) : 0;
    if (plan.Lines == 0) {
        plan.Lines = 1;
    }
    return true;
}

// Bounds and scale; draws the scale only when the upper bound lies above the lower one.
void ChooseScale(VerseRunPlan& plan) {
    float widthRatio = static_cast<float>(double(plan.ClientWidth) / double(plan.Base.Width));
    float heightRatio = static_cast<float>(double(plan.ClientHeight) / double(plan.Base.Height));
    float larger = widthRatio > heightRatio ? widthRatio : heightRatio;
    float smaller = widthRatio > heightRatio ? heightRatio : widthRatio;
    float lower = static_cast<float>(double(larger) / 5.0);
    float upper = static_cast<float>(double(smaller) / 2.0);
    float scale;
    if (upper > lower) {
        // A + r (B - A) / 32767 with the numerator summed first: it is exact in double (at most
        // 43 significant bits, as A lies within a factor 2.5 of B), so the division is the
        // only rounding before the store, and SSE and x87 agree to the last bit.
        double r = RandomUpTo(32767);
        scale = static_cast<float>((double(lower) * 32767.0 + r * (double(upper) - double(lower))) /
                                   32767.0);
    } else {
        scale = static_cast<float>(double(upper) + (double(lower) - double(upper)) / 2.0);
    }
    plan.WidthRatio = widthRatio;
    plan.HeightRatio = heightRatio;
    plan.Lower = lower;
    plan.Upper = upper;
    plan.Scale = scale;
}

// Whether the face shows every letter of the verse, if need be with the cedilla forms of ș ț.
bool FaceShowsVerse(VerseRunPlan& plan, const WideChar* face, TextMeasurer& measurer) {
    if (measurer.HasGlyphs(face, plan.Text, plan.Length)) {
        plan.Face = face;
        plan.Cedillas = false;
        return true;
    }
    if (WithCedillas(plan.Text, plan.Length, plan.CedillaText) &&
        measurer.HasGlyphs(face, plan.CedillaText, plan.Length)) {
        plan.Face = face;
        plan.Cedillas = true;
        return true;
    }
    return false;
}

// The listed face where it shows the verse; else the first fallback face that does, else the
// default typeface, which draws most. Makes no random draw.
void ChooseFaceForLetters(VerseRunPlan& plan, TextMeasurer& measurer) {
    if (FaceShowsVerse(plan, plan.Face, measurer)) {
        return;
    }
    for (const WideChar* face : FallbackFaces) {
        if (FaceShowsVerse(plan, face, measurer)) {
            return;
        }
    }
    plan.Face = DefaultTypeface.data();
    plan.Cedillas = false;
}

// One run inside one area of the client area, from its start on.
VerseRunPlan LayOutRun(const SaverSettings& record, const ClientArea& area, const RunStart& start,
                       TextMeasurer& measurer) {
    SeedRandom(start.Generator);
    VerseRunPlan plan{};
    plan.Face = start.Face;
    plan.Text = start.Text;
    plan.Length = start.Length;
    plan.AreaIndex = start.AreaIndex;
    plan.ClientWidth = area.Width;
    plan.ClientHeight = area.Height;
    plan.Fade = ScheduleFade(record.FadeSpeed);
    ChooseFaceForLetters(plan, measurer);
    const WideChar* text = ShownText(plan);

    measurer.UseFont(plan.Face, BaseFontHeight);
    plan.Line = measurer.MeasureLine(text, plan.Length);
    if (!CountLines(plan)) {
        return plan;
    }
    plan.Base =
        measurer.MeasureWrapped(text, plan.Length, plan.Line.Width / plan.Lines, plan.Line.Height);
    if (plan.Base.Width == 0 || plan.Base.Height == 0) {
        return plan;
    }
    ChooseScale(plan);

    plan.FontHeight = Truncate(double(BaseFontHeight) * double(plan.Scale));
    measurer.UseFont(plan.Face, plan.FontHeight);
    // The second layout starts from the base font's line height, not a scaled one.
    plan.BlockLayoutWidth = Truncate(double(plan.Base.Width) * double(plan.Scale));
    plan.Block =
        measurer.MeasureWrapped(text, plan.Length, plan.BlockLayoutWidth, plan.Line.Height);

    plan.X = area.Left + RandomPosition(plan.ClientWidth - plan.Block.Width);
    plan.Y = area.Top + RandomPosition(plan.ClientHeight - plan.Block.Height);
    plan.Red = RandomUpTo(255);
    plan.Green = RandomUpTo(255);
    plan.Blue = RandomUpTo(255);
    plan.Colour = ReadableColour({plan.Red, plan.Green, plan.Blue});
    plan.Complete = true;
    return plan;
}

} // namespace

const WideChar* const FallbackFaces[FallbackFaceCount] = {DefaultTypeface.data(), SegoeUi.data(),
                                                          Arial.data(), Tahoma.data()};

// The area, where it is drawn, is the seed's first value.
RunStart StartRun(SaverSettings& record, VerseRound& round, const ClientAreas& areas, uint32_t area,
                  uint32_t seed, int32_t today) {
    SeedRandom(seed);
    RunStart start{};
    start.Seed = seed;
    uint32_t count = areas.Count < MaxClientAreas ? areas.Count : MaxClientAreas;
    if (area == AreaDrawn) {
        start.AreaIndex = count > 1 ? RandomUpTo(count - 1) : 0;
    } else {
        start.AreaIndex = area;
    }
    start.Face = PickTypeface(record);
    if (record.TextCount != 0 && record.Texts != nullptr) {
        start.Text = PickVerse(record, round, today);
        start.Length = static_cast<uint32_t>(WideLength(start.Text, TextSlotWidth - 1));
    } else {
        start.Text = DefaultVerse.data();
        start.Length = DefaultVerse.size() - 1;
    }
    start.Generator = RandomState();
    return start;
}

TickRuns StartTick(SaverSettings& record, VerseRound& round, const ClientAreas& areas,
                   uint32_t screens, int32_t today) {
    TickRuns tick{};
    uint32_t choice = ScreensChoice(screens);
    uint32_t count = areas.Count < MaxClientAreas ? areas.Count : MaxClientAreas;
    uint32_t runs = choice == VerseOnEveryScreen ? count : 1;
    for (uint32_t i = 0; i < runs; i++) {
        uint32_t area = i;
        if (choice == VerseOnOneScreen) {
            area = AreaDrawn;
        } else if (choice == VerseOnMainScreen) {
            area = areas.Main < count ? areas.Main : 0;
        }
        uint32_t seed = NextRandom();
        uint32_t kept = RandomState();
        tick.Run[tick.Count++] = StartRun(record, round, areas, area, seed, today);
        SeedRandom(kept);
    }
    return tick;
}

VerseRunPlan PlanVerseRun(const SaverSettings& record, const ClientArea& area,
                          const RunStart& start, TextMeasurer& measurer) {
    return LayOutRun(record, area, start, measurer);
}

VerseRunPlan PlanVerseRun(SaverSettings& record, int32_t clientWidth, int32_t clientHeight,
                          int32_t today, TextMeasurer& measurer) {
    VerseRound none{};
    ClientAreas one{};
    one.Area[0] = {0, 0, clientWidth, clientHeight};
    one.Count = 1;
    RunStart start = StartRun(record, none, one, 0, record.ThreadSeed, today);
    return LayOutRun(record, one.Area[0], start, measurer);
}

void AddMonitorArea(ClientAreas& areas, const ScreenRect& client, const ScreenRect& monitor,
                    bool main) {
    int32_t left = std::max(client.Left, monitor.Left);
    int32_t top = std::max(client.Top, monitor.Top);
    int32_t right = std::min(client.Right, monitor.Right);
    int32_t bottom = std::min(client.Bottom, monitor.Bottom);
    if (left >= right || top >= bottom || areas.Count >= MaxClientAreas) {
        return;
    }
    ClientArea added = {left - client.Left, top - client.Top, right - left, bottom - top};
    // Left to right, then top to bottom; monitors at one place keep the order they came in.
    uint32_t at = areas.Count;
    while (at > 0 &&
           (added.Left < areas.Area[at - 1].Left ||
            (added.Left == areas.Area[at - 1].Left && added.Top < areas.Area[at - 1].Top))) {
        areas.Area[at] = areas.Area[at - 1];
        at--;
    }
    areas.Area[at] = added;
    areas.Count++;
    if (main) {
        areas.Main = at;
    } else if (areas.Count > 1 && at <= areas.Main) {
        areas.Main++;
    }
}

const WideChar* ShownText(const VerseRunPlan& plan) {
    return plan.Cedillas ? plan.CedillaText : plan.Text;
}
