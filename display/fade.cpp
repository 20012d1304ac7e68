#include "fade.h"

#include <algorithm>
#include <cmath>

namespace {

// The sRGB component as light, 0 to 1, by the WCAG formula.
double LinearLevel(uint32_t component) {
    double level = component / 255.0;
    return level <= 0.03928 ? level / 12.92 : std::pow((level + 0.055) / 1.055, 2.4);
}

bool Readable(const Rgb& colour) {
    return ContrastAgainstBlack(colour) >= ContrastFloor;
}

// Each component times top / largest, rounded.
Rgb Scaled(const Rgb& colour, uint32_t largest, uint32_t top) {
    auto scale = [&](uint32_t component) { return (component * top + largest / 2) / largest; };
    return {scale(colour.Red), scale(colour.Green), scale(colour.Blue)};
}

// Each component moved towards 255 by share / 255 of its distance, rounded.
Rgb TowardsWhite(const Rgb& colour, uint32_t share) {
    auto mix = [&](uint32_t component) {
        return component + ((255 - component) * share + 127) / 255;
    };
    return {mix(colour.Red), mix(colour.Green), mix(colour.Blue)};
}

// The least value in (low, high] for which make(value) is readable; make(high) must be. Every
// step up brightens no component less, so readability only turns on once.
template <typename Make> Rgb LeastReadable(uint32_t low, uint32_t high, Make make) {
    while (high - low > 1) {
        uint32_t middle = low + (high - low) / 2;
        if (Readable(make(middle))) {
            high = middle;
        } else {
            low = middle;
        }
    }
    return make(high);
}

// As many intervals as the frame rate allows: rounded down, so that on average none is shorter
// than a frame of the rate.
FadeSchedule FadeLasting(uint32_t duration) {
    uint32_t frames = static_cast<uint32_t>(uint64_t(duration) * FadeFrameRate / 1000);
    return {duration, std::max(frames, 1u)};
}

} // namespace

uint32_t ColourRef(const Rgb& colour) {
    return colour.Red + colour.Green * 256 + colour.Blue * 65536;
}

double ContrastAgainstBlack(const Rgb& colour) {
    double luminance = 0.2126 * LinearLevel(colour.Red) + 0.7152 * LinearLevel(colour.Green) +
                       0.0722 * LinearLevel(colour.Blue);
    return (luminance + 0.05) / 0.05;
}

Rgb ReadableColour(const Rgb& colour) {
    if (Readable(colour)) {
        return colour;
    }
    Rgb brightest = colour;
    uint32_t largest = std::max({colour.Red, colour.Green, colour.Blue});
    // Black has no hue to keep: it turns grey.
    if (largest > 0) {
        brightest = Scaled(colour, largest, 255);
        if (Readable(brightest)) {
            return LeastReadable(largest, 255,
                                 [&](uint32_t top) { return Scaled(colour, largest, top); });
        }
    }
    return LeastReadable(0, 255, [&](uint32_t share) { return TowardsWhite(brightest, share); });
}

FadeSchedule ScheduleFade(uint32_t fadeSpeed) {
    uint32_t speed = std::min(fadeSpeed, FastestFadeSpeed);
    double ratio = double(FastestFadeDuration) / double(SlowestFadeDuration);
    uint32_t duration = static_cast<uint32_t>(
        std::lround(SlowestFadeDuration * std::pow(ratio, double(speed) / FastestFadeSpeed)));
    return FadeLasting(duration);
}

VerseFades ScheduleFades(uint32_t fadeSpeed, uint32_t interval) {
    uint64_t in = ScheduleFade(fadeSpeed).Duration;
    uint64_t out = in / 2;
    uint64_t most = uint64_t(interval) * 2 / 3;
    uint64_t both = in + out;
    if (both > most) {
        in = in * most / both;
        out = out * most / both;
    }
    return {FadeLasting(static_cast<uint32_t>(out)), FadeLasting(static_cast<uint32_t>(in))};
}

uint32_t FrameDeadline(const FadeSchedule& schedule, uint32_t frame) {
    return static_cast<uint32_t>(uint64_t(schedule.Duration) * frame / schedule.Frames);
}

uint32_t NextFrameAfter(const FadeSchedule& schedule, uint32_t elapsed) {
    if (elapsed >= schedule.Duration) {
        return schedule.Frames;
    }
    // The least frame with Duration * frame / Frames > elapsed.
    uint32_t frame =
        static_cast<uint32_t>((uint64_t(elapsed) + 1) * schedule.Frames / schedule.Duration);
    while (FrameDeadline(schedule, frame) <= elapsed) {
        frame++;
    }
    return frame;
}

uint32_t FadeColourAt(const Rgb& colour, const FadeSchedule& schedule, uint32_t elapsed,
                      FadeDirection direction) {
    if (elapsed >= schedule.Duration) {
        return direction == FadeDirection::In ? ColourRef(colour) : 0;
    }
    uint32_t lit = direction == FadeDirection::In ? elapsed : schedule.Duration - elapsed;
    auto level = [&](uint32_t component) {
        return static_cast<uint32_t>(uint64_t(component) * lit / schedule.Duration);
    };
    return ColourRef({level(colour.Red), level(colour.Green), level(colour.Blue)});
}

bool RunFade(const Rgb& colour, const FadeSchedule& schedule, FadeTarget& target,
             const std::atomic<uint32_t>& running, FadeDirection direction) {
    uint32_t frame = 1;
    while (running != 0) {
        uint32_t deadline = FrameDeadline(schedule, frame);
        uint32_t elapsed = target.Elapsed();
        if (elapsed < deadline) {
            target.Wait(deadline - elapsed);
            // A stop that came during the pause draws no further frame.
            if (running == 0) {
                return false;
            }
            elapsed = std::max(target.Elapsed(), deadline);
        }
        target.DrawFrame(FadeColourAt(colour, schedule, elapsed, direction));
        if (elapsed >= schedule.Duration) {
            return true;
        }
        // Deadlines that went by while the frame was drawn are skipped.
        frame = NextFrameAfter(schedule, target.Elapsed());
    }
    return false;
}
