#pragma once
// The display's random numbers: a 15-bit generator with the C runtime's formula, so that a seed
// shows the same verse layout on every platform, and the one way every choice draws from it.
// Each thread has a generator of its own.

#include <cstdint>

// Starts this thread's generator at seed.
void SeedRandom(uint32_t seed);

// This thread's generator as it stands: SeedRandom(RandomState()) leaves it where it was.
uint32_t RandomState();

// The next value of this thread's generator, from 0 to 32767.
uint32_t NextRandom();

// A value from 0 to n: the next value times n + 1, shifted right by 15 (unsigned 32-bit, so the
// product wraps for n of 131072 and above; the result never exceeds n).
uint32_t RandomUpTo(uint32_t n);
