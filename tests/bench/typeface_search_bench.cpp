// Prints what the chosen-typeface look-up costs per installed typeface as the chosen block
// grows, beside a plain linear scan of the same block: the look-up should grow with the
// logarithm of the block, the scan with the block.

#include "typeface_search.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool ScanForTypeface(const char* block, uint32_t count, const char* name) {
    for (uint32_t i = 0; i < count; ++i) {
        if (strncmp(name, block + static_cast<size_t>(i) * 32, 32) == 0) {
            return true;
        }
    }
    return false;
}

template <typename LookUp>
double NanosecondsPerLookUp(LookUp lookUp, const std::vector<char>& block, uint32_t count,
                            const std::vector<std::string>& probes, int rounds) {
    size_t found = 0;
    Clock::time_point start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (const std::string& probe : probes) {
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
        std::vector<char> block(static_cast<size_t>(count) * 32, '\0');
        for (uint32_t i = 0; i < count; ++i) {
            snprintf(block.data() + static_cast<size_t>(i) * 32, 32, "Typeface %08u", 2 * i);
        }
        std::vector<std::string> probes;
        for (uint32_t i = 0; i < 1000; ++i) {
            char name[32];
            snprintf(name, sizeof name, "Typeface %08u", (i * 7919u) % (2 * count));
            probes.emplace_back(name);
        }
        int rounds = count <= 512 ? 200 : 20;
        double search = NanosecondsPerLookUp(IsTypefaceChosen, block, count, probes, rounds);
        double scan = NanosecondsPerLookUp(ScanForTypeface, block, count, probes, rounds);
        printf("%8u %16.1f %16.1f\n", count, search, scan);
    }
    return 0;
}
