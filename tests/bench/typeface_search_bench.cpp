// Prints what the chosen-typeface look-up costs per installed typeface as the chosen block
// grows, beside a plain linear scan of the same block: the look-up should grow with the
// logarithm of the block, the scan with the block.

#include "typeface_search.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Name = std::basic_string<WideChar>;

bool ScanForTypeface(const WideChar* block, uint32_t count, const WideChar* name) {
    for (uint32_t i = 0; i < count; ++i) {
        const WideChar* slot = block + static_cast<size_t>(i) * 32;
        size_t length = WideLength(slot, 32);
        if (WideLength(name, 32) == length && std::equal(slot, slot + length, name)) {
            return true;
        }
    }
    return false;
}

// "Typeface " and a number of eight digits, as wide text.
Name NumberedName(uint32_t number) {
    char name[32];
    snprintf(name, sizeof name, "Typeface %08u", number);
    return Name(name, name + strlen(name));
}

template <typename LookUp>
double NanosecondsPerLookUp(LookUp lookUp, const std::vector<WideChar>& block, uint32_t count,
                            const std::vector<Name>& probes, int rounds) {
    size_t found = 0;
    Clock::time_point start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (const Name& probe : probes) {
            found += lookUp(block.data(), count, probe.c_str()) ? 1 : 0;
        }
    }
    double elapsed = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    if (found == 0) {
        printf("(nothing found)\n");
    }
    return elapsed / (static_cast<double>(rounds) * probes.size());
}

} // namespace

int main() {
    printf("%8s %16s %16s\n", "chosen", "search ns/name", "scan ns/name");
    for (uint32_t count : {8u, 64u, 512u, 4096u, 32768u}) {
        // Even-numbered names are chosen; the probes, like the installed typefaces, are half
        // chosen and half not.
        std::vector<WideChar> block(static_cast<size_t>(count) * 32, 0);
        for (uint32_t i = 0; i < count; ++i) {
            Name name = NumberedName(2 * i);
            std::copy(name.begin(), name.end(), block.begin() + static_cast<size_t>(i) * 32);
        }
        std::vector<Name> probes;
        for (uint32_t i = 0; i < 1000; ++i) {
            probes.push_back(NumberedName((i * 7919u) % (2 * count)));
        }
        int rounds = count <= 512 ? 200 : 20;
        double search = NanosecondsPerLookUp(IsTypefaceChosen, block, count, probes, rounds);
        double scan = NanosecondsPerLookUp(ScanForTypeface, block, count, probes, rounds);
        printf("%8u %16.1f %16.1f\n", count, search, scan);
    }
    return 0;
}
