#include "texts_rules.h"

int32_t MoveTarget(int32_t index, bool up, int32_t count) {
    if (index == NoVerse) {
        return NoVerse;
    }
    if (up) {
        return index == 0 ? 0 : index - 1;
    }
    if (count <= 0) {
        return NoVerse;
    }
    return index >= count - 1 ? index : index + 1;
}

int32_t IndexAfterDelete(int32_t index, int32_t remaining) {
    if (index == NoVerse) {
        return NoVerse;
    }
    return remaining == index ? index - 1 : index;
}

size_t JoinVerseLines(WideChar* text) {
    size_t out = 0;
    for (size_t in = 0; text[in] != 0; in++) {
        WideChar c = text[in];
        if (c == '\r' && text[in + 1] == '\n') {
            in++;
        }
        text[out++] = (c == '\r' || c == '\n') ? ' ' : c;
    }
    text[out] = 0;
    return out;
}
