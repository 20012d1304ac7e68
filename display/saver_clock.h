#pragma once
// Dates and seeds from the UTC clock, and the period of the display timer.

#include <cstdint>

// (year - 2000) * 372 + month * 31 + day: every month counted as 31 days, so the number only
// tells whether two dates are the same day.
int32_t DayNumber(int32_t year, int32_t month, int32_t day);

// The seed the saver window starts its generator with: (millisecond + 1) * (second + 1) *
// (minute + 1) * (hour + 1) * day, in 32-bit arithmetic (the largest, 2678400000, still fits).
uint32_t ClockSeed(uint32_t day, uint32_t hour, uint32_t minute, uint32_t second,
                   uint32_t millisecond);

// Milliseconds between two verses for a TextSpeed. At 0 (no settings key, or 0 typed in the
// dialog) the timer would tick as fast as the platform allows and stop every verse before it
// could be read: the default interval takes its place. The setting itself stays 0.
uint32_t DisplayPeriod(uint32_t textSpeed);

#ifdef _WIN32
// The same from the current UTC date and time; the day turns at midnight UTC.
int32_t DayNumber();
uint32_t ClockSeed();
#endif
