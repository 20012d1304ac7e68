// Feeds arbitrary bytes to the list reader at both slot widths and checks the block it returns.

#include "list_file.h"
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace {

void CheckBlock(const char* block, uint32_t count, uint32_t width) {
    for (uint32_t i = 0; i < count; i++) {
        const char* slot = block + static_cast<size_t>(i) * width;
        size_t length = strnlen(slot, width);
        if (length == 0 || length >= width || memchr(slot, '\n', length) != nullptr) {
            abort();
        }
        for (size_t j = length; j < width; j++) {
            if (slot[j] != '\0') {
                abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char path[64];
    if (path[0] == '\0') {
        snprintf(path, sizeof path, "/tmp/verselume-fuzz-%d.txt", static_cast<int>(getpid()));
    }
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        return 0;
    }
    fwrite(data, 1, size, file);
    fclose(file);
    for (uint32_t width : {256u, 32u}) {
        uint32_t count = 0;
        char* block = ReadListFile(path, width, count);
        if ((block == nullptr) != (count == 0)) {
            abort();
        }
        if (block != nullptr) {
            CheckBlock(block, count, width);
        }
        HeapRelease(block);
    }
    return 0;
}
