#include "glyph_cover.h"

namespace {

// The comma-below letters and, at the same place, their cedilla forms.
constexpr WideChar CommaBelow[] = {0x0218, 0x0219, 0x021A, 0x021B};
constexpr WideChar Cedilla[] = {0x015E, 0x015F, 0x0162, 0x0163};

} // namespace

bool WithCedillas(const WideChar* text, uint32_t length, WideChar* out) {
    bool changed = false;
    for (uint32_t i = 0; i < length; i++) {
        out[i] = text[i];
        for (uint32_t letter = 0; letter < 4; letter++) {
            if (text[i] == CommaBelow[letter]) {
                out[i] = Cedilla[letter];
                changed = true;
            }
        }
    }
    return changed;
}
