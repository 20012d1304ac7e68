// Feeds arbitrary bytes to the list reader at both slot widths, checks the block it returns, and
// checks that writing the list in the form it came in reads back as the same list.

#include "list_file.h"
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace {

void CheckBlock(const WideChar* block, uint32_t count, uint32_t width) {
    for (uint32_t i = 0; i < count; i++) {
        const WideChar* slot = block + static_cast<size_t>(i) * width;
        size_t length = WideLength(slot, width);
        if (length == 0 || length >= width) {
            abort();
        }
        for (size_t j = 0; j < width; j++) {
            if ((j < length && slot[j] == u'\n') || (j >= length && slot[j] != 0)) {
                abort();
            }
        }
    }
}

void CheckRoundTrip(const char* copy, const WideChar* block, uint32_t count, uint32_t width,
                    ListFileForm form) {
    if (WriteListFile(copy, block, count, width, form) != 0) {
        abort();
    }
    uint32_t againCount = 0;
    ListFileForm againForm;
    WideChar* again = ReadListFile(copy, width, againCount, againForm);
    size_t bytes = static_cast<size_t>(count) * width * sizeof(WideChar);
    if (againCount != count || (count != 0 && memcmp(again, block, bytes) != 0)) {
        abort();
    }
    HeapRelease(again);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char path[64];
    static char copy[64];
    if (path[0] == '\0') {
        snprintf(path, sizeof path, "/tmp/verselume-fuzz-%d.txt", static_cast<int>(getpid()));
        snprintf(copy, sizeof copy, "/tmp/verselume-fuzz-%d-copy.txt", static_cast<int>(getpid()));
    }
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        return 0;
    }
    fwrite(data, 1, size, file);
    fclose(file);
    for (uint32_t width : {256u, 32u}) {
        uint32_t count = 0;
        ListFileForm form;
        WideChar* block = ReadListFile(path, width, count, form);
        if ((block == nullptr) != (count == 0)) {
            abort();
        }
        if (block != nullptr) {
            CheckBlock(block, count, width);
        }
        CheckRoundTrip(copy, block, count, width, form);
        HeapRelease(block);
    }
    return 0;
}
