#include "verse_pick.h"

#include "random.h"

namespace {

bool NewVerseDue(SaverSettings& record, int32_t today) {
    switch (record.Options & ChangePolicyMask) {
    case 0:
        return true;
    case 1:
        return record.FirstPick != 0;
    default: {
        // The day is stored whether it changed or not.
        bool due = today != record.LastDay;
        record.LastDay = today;
        return due;
    }
    }
}

} // namespace

const WideChar* PickVerse(SaverSettings& record, int32_t today) {
    if (NewVerseDue(record, today)) {
        if ((record.Options & ConsecutiveOrderBit) != 0) {
            record.LastText = record.LastText + 1;
        } else {
            record.LastText = RandomUpTo(record.TextCount - 1);
        }
    }
    // The registry may hold any index, and the list may have become shorter since.
    if (record.LastText >= record.TextCount) {
        record.LastText = 0;
    }
    record.FirstPick = 0;
    return record.Texts + static_cast<size_t>(record.LastText) * TextSlotWidth;
}
