#include "verse_pick.h"

#include "platform.h"
#include "random.h"

#include <bit>
#include <cstring>

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

uint64_t ReadLittleEndian(const uint8_t* bytes, uint32_t size) {
    uint64_t value = 0;
    for (uint32_t i = size; i > 0; i--) {
        value = value << 8 | bytes[i - 1];
    }
    return value;
}

void WriteLittleEndian(uint8_t* bytes, uint32_t size, uint64_t value) {
    for (uint32_t i = 0; i < size; i++) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// The verses the bits of a stored round leave unshown; above count when a bit beyond the list is
// set, which no round of this list has.
uint64_t CountUnshown(const uint8_t* bits, uint32_t count) {
    uint64_t shown = 0;
    for (uint32_t i = 0; i < (count + 7ull) / 8; i++) {
        shown += static_cast<uint64_t>(std::popcount(bits[i]));
    }
    uint32_t spare = count % 8;
    if (spare != 0 && (bits[count / 8] >> spare) != 0) {
        return uint64_t(count) + 1;
    }
    return count - shown;
}

// Index of the k-th verse (from 0) whose bit is clear, passing over skip.
uint32_t NthUnshown(const uint8_t* bits, uint32_t count, uint32_t skip, uint32_t k) {
    for (uint32_t byte = 0; byte < (count + 7ull) / 8; byte++) {
        uint32_t free = ~bits[byte] & 0xFFu;
        if (byte == count / 8) {
            free &= (1u << (count % 8)) - 1; // no verse beyond the list
        }
        if (skip / 8 == byte) {
            free &= ~(1u << (skip % 8));
        }
        uint32_t here = static_cast<uint32_t>(std::popcount(free));
        if (k >= here) {
            k -= here;
            continue;
        }
        for (; k > 0; k--) {
            free &= free - 1;
        }
        return byte * 8 + static_cast<uint32_t>(std::countr_zero(free));
    }
    return 0; // not reached while k is below the verses left
}

// One draw among the verses the round has not shown. A round with nothing shown yet is new: it
// passes over the verse the last one ended with (LastText), unless that is the only verse.
uint32_t PickUnshown(VerseRound& round, uint32_t count, uint32_t last) {
    bool kept = round.Stored != nullptr && round.Count == count;
    if (kept && round.Unshown == 0) {
        memset(round.Stored + RoundHeaderSize, 0, RoundStoredSize(count) - RoundHeaderSize);
        round.Unshown = count;
    }
    uint32_t unshown = kept ? round.Unshown : count;
    bool skipLast = unshown == count && count > 1 && last < count;
    uint32_t k = RandomUpTo(unshown - (skipLast ? 2 : 1));
    uint32_t skip = skipLast ? last : count;
    if (!kept) {
        return k >= skip ? k + 1 : k;
    }
    uint8_t* bits = round.Stored + RoundHeaderSize;
    uint32_t index = NthUnshown(bits, count, skip, k);
    bits[index / 8] |= static_cast<uint8_t>(1u << (index % 8));
    round.Unshown--;
    return index;
}

} // namespace

uint32_t RoundStoredSize(uint32_t count) {
    return RoundHeaderSize + count / 8 + (count % 8 != 0 ? 1 : 0);
}

void FitRound(VerseRound& round, const uint8_t* stored, uint32_t size, uint32_t count,
              uint64_t digest) {
    ReleaseRound(round);
    if (count == 0) {
        return;
    }
    uint32_t wanted = RoundStoredSize(count);
    round.Stored = static_cast<uint8_t*>(HeapAllocZero(wanted));
    if (round.Stored == nullptr) {
        return;
    }
    round.Count = count;
    round.Unshown = count;
    bool fits = stored != nullptr && size == wanted && ReadLittleEndian(stored, 4) == count &&
                ReadLittleEndian(stored + 4, 8) == digest &&
                CountUnshown(stored + RoundHeaderSize, count) <= count;
    if (fits) {
        memcpy(round.Stored, stored, wanted);
        round.Unshown = static_cast<uint32_t>(CountUnshown(stored + RoundHeaderSize, count));
        return;
    }
    // A list changed since, or a round that cannot be this list's: a new round.
    WriteLittleEndian(round.Stored, 4, count);
    WriteLittleEndian(round.Stored + 4, 8, digest);
}

void ReleaseRound(VerseRound& round) {
    HeapRelease(round.Stored);
    round = VerseRound{};
}

const WideChar* PickVerse(SaverSettings& record, VerseRound& round, int32_t today) {
    if (NewVerseDue(record, today)) {
        if ((record.Options & ConsecutiveOrderBit) != 0) {
            record.LastText = record.LastText + 1;
        } else {
            record.LastText = PickUnshown(round, record.TextCount, record.LastText);
        }
    }
    // The registry may hold any index, and the list may have become shorter since.
    if (record.LastText >= record.TextCount) {
        record.LastText = 0;
    }
    record.FirstPick = 0;
    return record.Texts + static_cast<size_t>(record.LastText) * TextSlotWidth;
}
