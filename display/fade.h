#pragma once
// The fades of a verse, paced by the clock: the fade-in from black and the fade-out back to black
// before the next verse, how long each lasts for a FadeSpeed and an interval, when their frames
// come, the colour each shows, and the frame loop over a clock and a drawing surface. The colour
// the fade-in ends on is first lifted, if need be, to a contrast against black that reads.

#include <atomic>
#include <cstdint>

struct Rgb {
    uint32_t Red;
    uint32_t Green;
    uint32_t Blue;
};

// As a COLORREF: red + green * 256 + blue * 65536.
uint32_t ColourRef(const Rgb& colour);

// Contrast of a colour against black, by the WCAG relative luminance: (L + 0.05) / 0.05.
double ContrastAgainstBlack(const Rgb& colour);

inline constexpr double ContrastFloor = 4.5;

// The colour itself when its contrast against black reaches ContrastFloor. Otherwise the
// dimmest colour of the same hue that does: its components scaled up together, and where one
// reaches 255, mixed towards white.
Rgb ReadableColour(const Rgb& colour);

// The fade's timing: the last frame comes Duration milliseconds after the fade begins, and the
// frames before it at even intervals, never more than FadeFrameRate a second. Frame 0 would be
// black on black and is not drawn.
struct FadeSchedule {
    uint32_t Duration; // milliseconds
    uint32_t Frames;   // frames 1 to Frames
};

inline constexpr uint32_t FadeFrameRate = 60;
inline constexpr uint32_t SlowestFadeDuration = 4000;
inline constexpr uint32_t FastestFadeDuration = 400;
inline constexpr uint32_t FastestFadeSpeed = 10;
// One frame at the colour, at once: for a user who turned Windows' animations off.
inline constexpr FadeSchedule InstantFade = {0, 1};

// From 4 s at FadeSpeed 0 to 0.4 s at 10, evenly on a logarithmic scale (about 1.3 s at 5);
// a FadeSpeed above 10 (only written by hand) fades as fast as 10.
FadeSchedule ScheduleFade(uint32_t fadeSpeed);

// The two fades of a verse shown every interval milliseconds: the fade-out of the verse before
// it, in half the time of its fade-in. Where both together would take more than two thirds of
// the interval, both shrink in proportion, so that every verse rests at its colour for at least
// a third of it.
struct VerseFades {
    FadeSchedule Out;
    FadeSchedule In;
};
VerseFades ScheduleFades(uint32_t fadeSpeed, uint32_t interval);

enum class FadeDirection : uint8_t {
    In,  // from black to the colour
    Out, // from the colour to black
};

// When a frame is due, in milliseconds since the fade began: Duration * frame / Frames.
uint32_t FrameDeadline(const FadeSchedule& schedule, uint32_t frame);

// The first frame due after the given time: the frames whose time has already gone are skipped,
// so a slow frame never delays those after it.
uint32_t NextFrameAfter(const FadeSchedule& schedule, uint32_t elapsed);

// The colour after elapsed milliseconds: each component in proportion to the time, exactly the
// colour from Duration on; fading out, in proportion to the time left, black from Duration on.
uint32_t FadeColourAt(const Rgb& colour, const FadeSchedule& schedule, uint32_t elapsed,
                      FadeDirection direction = FadeDirection::In);

// The clock and the surface a fade runs on.
class FadeTarget {
  public:
    // Milliseconds since the fade began.
    virtual uint32_t Elapsed() = 0;
    // Pauses the fade for that many milliseconds (at most one frame's interval).
    virtual void Wait(uint32_t milliseconds) = 0;
    virtual void DrawFrame(uint32_t colourRef) = 0;

  protected:
    ~FadeTarget() = default;
};

// Draws each frame at its deadline in the colour of the time it is drawn at, until the frame at
// Duration or until running drops: it is looked at before each frame and after each pause.
// False when running dropped before the last frame.
bool RunFade(const Rgb& colour, const FadeSchedule& schedule, FadeTarget& target,
             const std::atomic<uint32_t>& running, FadeDirection direction = FadeDirection::In);
