// Saves one list over and over, as a second program saving the same file would.
// Usage: list_writer <target> <word> <entries> <times>. The list's entries are "<word> <n>"; the
// exit code is the first failed save's error code, or 0.

#include "list_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 5) {
        return 87;
    }
    uint32_t entries = static_cast<uint32_t>(atoi(argv[3]));
    std::vector<WideChar> block(entries * 256, 0);
    for (uint32_t i = 0; i < entries; i++) {
        char entry[256];
        snprintf(entry, sizeof entry, "%s %u", argv[2], i);
        std::copy(entry, entry + strlen(entry), block.begin() + i * 256);
    }
    for (int save = atoi(argv[4]); save > 0; save--) {
        if (uint32_t code =
                WriteListFile(argv[1], block.data(), entries, 256, ListFileForm::Ansi)) {
            return static_cast<int>(code);
        }
    }
    return 0;
}
