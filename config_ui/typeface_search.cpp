#include "typeface_search.h"

#include "saver_settings.h"

#include <cstring>

bool IsTypefaceChosen(const char* block, uint32_t count, const char* name) {
    if (block == nullptr) {
        return false;
    }
    uint32_t low = 0;
    uint32_t high = count;
    while (low < high) {
        uint32_t middle = low + (high - low) / 2;
        int order =
            strncmp(name, block + static_cast<size_t>(middle) * FontSlotWidth, FontSlotWidth);
        if (order == 0) {
            return true;
        }
        if (order < 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return false;
}
