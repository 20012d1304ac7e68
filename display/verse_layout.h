#pragma once
// The layout of one drawing run, apart from the drawing: typeface, verse, the letters the face
// can show, line count, the two measurements, scale, position, colour and timing of the fade,
// with the random draws in their fixed order after seeding with the record's ThreadSeed. The
// drawing thread measures with GDI; tests measure with a deterministic stand-in, so a seed's whole
// run is reproducible.

#include "fade.h"
#include "saver_settings.h"
#include "verse_pick.h"
#include "wide_text.h"

#include <cstdint>

inline constexpr auto DefaultTypeface = WidenAscii("Verdana");
inline constexpr auto DefaultVerse = WidenAscii(
    "God so loved the world that he gave his one and only Son, that whoever believes in him "
    "should not die but have everlasting life. (John 3:16)");
// Cell height of the base font, in logical units.
inline constexpr int32_t BaseFontHeight = 20;

struct TextExtent {
    int32_t Width;
    int32_t Height;
};

// The text engine as the layout sees it; texts are UTF-16 units with explicit lengths.
class TextMeasurer {
  public:
    // Makes a font of this face (at most 31 characters) and cell height current for what follows.
    virtual void UseFont(const WideChar* face, int32_t height) = 0;
    // Extent of the text set on one line.
    virtual TextExtent MeasureLine(const WideChar* text, uint32_t length) = 0;
    // Right and bottom of the rectangle (0, 0, width, height) once the text is broken at word
    // boundaries to fit the width and centred; the width grows where a word is wider.
    virtual TextExtent MeasureWrapped(const WideChar* text, uint32_t length, int32_t width,
                                      int32_t height) = 0;
    // Whether the face (as the text engine finds it) has a glyph for every unit of the text.
    virtual bool HasGlyphs(const WideChar* face, const WideChar* text, uint32_t length) = 0;

  protected:
    ~TextMeasurer() = default;
};

// A part of the client area that a verse stays inside: on a full-screen window, the part one
// monitor shows, so that no verse straddles two screens.
struct ClientArea {
    int32_t Left;
    int32_t Top;
    int32_t Width;
    int32_t Height;
};

inline constexpr uint32_t MaxClientAreas = 16;

struct ClientAreas {
    ClientArea Area[MaxClientAreas]; // in screen order: left to right, then top to bottom
    uint32_t Count;
    uint32_t Main; // the main screen's area
};

// A rectangle in screen coordinates, right and bottom excluded.
struct ScreenRect {
    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
};

// Adds the part of a monitor that a client area shows (both in screen coordinates), in client
// coordinates and in screen order; main: the main screen. A monitor beside the client area adds
// nothing, nor one past MaxClientAreas.
void AddMonitorArea(ClientAreas& areas, const ScreenRect& client, const ScreenRect& monitor,
                    bool main = false);

// The faces a verse falls back to, in order, when its own lacks some of its letters: the
// default typeface, then faces of every Windows with the most letters.
inline constexpr uint32_t FallbackFaceCount = 4;
extern const WideChar* const FallbackFaces[FallbackFaceCount];

struct VerseRunPlan {
    // A slot of the typeface list, DefaultTypeface, or a fallback face that has every letter of
    // the verse where the listed face lacks some.
    const WideChar* Face;
    const WideChar* Text; // a slot of the verse list, or DefaultVerse
    uint32_t Length;      // units of Text
    // Whether the verse is shown with the cedilla forms of ș ț, which Face has where it lacks
    // the comma-below forms; the text shown is then in CedillaText (see ShownText).
    bool Cedillas;
    WideChar CedillaText[TextSlotWidth];
    uint32_t AreaIndex;       // the client area the run lays the verse out in
    int32_t ClientWidth;      // W, the area's width
    int32_t ClientHeight;     // H, the area's height
    TextExtent Line;          // the whole verse on one line in the base font (cx, cy)
    int32_t Quotient;         // q = (H * cx) / (W * cy)
    int32_t Lines;            // L, the square root of q, at least 1
    TextExtent Base;          // the wrapped block in the base font (w1, h1)
    float WidthRatio;         // rw = W / w1
    float HeightRatio;        // rh = H / h1
    float Lower;              // A
    float Upper;              // B
    float Scale;              // s
    int32_t FontHeight;       // 20 * s, truncated
    int32_t BlockLayoutWidth; // the width the scaled layout was measured at, w1 * s
    TextExtent Block;         // the wrapped block in the scaled font (bw, bh)
    int32_t X; // top-left corner of the block in the client area, inside the run's area
    int32_t Y;
    uint32_t Red; // the colour as drawn
    uint32_t Green;
    uint32_t Blue;
    Rgb Colour;        // the colour the fade ends on: the drawn one, lifted to be read
    FadeSchedule Fade; // from the record's FadeSpeed
    // False when the layout ran into a division by zero (no width, no line height or an empty
    // block): the run then blacks the window out and draws nothing.
    bool Complete;
};

// How one screen's run of a tick starts: its seed and the draws it makes first, its area (drawn
// only for one screen at random), its typeface and its verse. The window thread makes them for
// every run of a tick, in screen order, so that the verses go from screen to screen as the
// change policy goes from display to display; the run goes on from its generator.
struct RunStart {
    uint32_t Seed;
    uint32_t AreaIndex;
    const WideChar* Face; // a slot of the typeface list, or DefaultTypeface
    const WideChar* Text; // a slot of the verse list, or DefaultVerse
    uint32_t Length;      // units of Text
    uint32_t Generator;   // the run's generator after these draws (RandomState)
};

// For StartRun: the area is the first draw of the run's seed, among all areas.
inline constexpr uint32_t AreaDrawn = UINT32_MAX;

// The start of a run from its seed, in the given area (or AreaDrawn) of the client area. Picks
// the verse (PickVerse through the round, with today's DayNumber), which updates LastText,
// LastDay, FirstPick and the round. Leaves this thread's generator where the run's draws left it.
RunStart StartRun(SaverSettings& record, VerseRound& round, const ClientAreas& areas, uint32_t area,
                  uint32_t seed, int32_t today);

struct TickRuns {
    RunStart Run[MaxClientAreas];
    uint32_t Count;
};

// The runs of a tick for a Screens value (ScreensChoice): a verse on every screen, one run per
// area in screen order; one screen at random or the main one, one run. Each run's seed is the
// next value of this thread's generator, which the runs' own draws leave as it was.
TickRuns StartTick(SaverSettings& record, VerseRound& round, const ClientAreas& areas,
                   uint32_t screens, int32_t today);

// Lays out a run from its start inside its area; the draws go on from the start's generator. The
// scaled font is left current on the measurer.
VerseRunPlan PlanVerseRun(const SaverSettings& record, const ClientArea& area,
                          const RunStart& start, TextMeasurer& measurer);

// A run from ThreadSeed on a client area of clientWidth x clientHeight, as one screen, with no
// round kept: StartRun and the layout in one.
VerseRunPlan PlanVerseRun(SaverSettings& record, int32_t clientWidth, int32_t clientHeight,
                          int32_t today, TextMeasurer& measurer);

// The text the run measures and draws: Text, or its cedilla forms.
const WideChar* ShownText(const VerseRunPlan& plan);
