#include "random.h"

namespace {

// A thread that never seeds starts as the C runtime's does, at 1.
thread_local uint32_t Generator = 1;

} // namespace

void SeedRandom(uint32_t seed) {
    Generator = seed;
}

uint32_t RandomState() {
    return Generator;
}

uint32_t NextRandom() {
    Generator = Generator * 214013u + 2531011u;
    return (Generator >> 16) & 0x7FFFu;
}

uint32_t RandomUpTo(uint32_t n) {
    return (NextRandom() * (n + 1u)) >> 15;
}
