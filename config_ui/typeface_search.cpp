#include "typeface_search.h"

#include "saver_settings.h"

namespace {

// strncmp over units: the order of the first differing unit, unsigned.
int CompareNames(const WideChar* name, const WideChar* slot, size_t limit) {
    for (size_t i = 0; i < limit; i++) {
        if (name[i] != slot[i] || name[i] == 0) {
            return static_cast<int>(static_cast<uint16_t>(name[i])) -
                   static_cast<int>(static_cast<uint16_t>(slot[i]));
        }
    }
    return 0;
}

} // namespace

bool IsTypefaceChosen(const WideChar* block, uint32_t count, const WideChar* name) {
    if (block == nullptr) {
        return false;
    }
    uint32_t low = 0;
    uint32_t high = count;
    while (low < high) {
        uint32_t middle = low + (high - low) / 2;
        int order =
            CompareNames(name, block + static_cast<size_t>(middle) * FontSlotWidth, FontSlotWidth);
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
