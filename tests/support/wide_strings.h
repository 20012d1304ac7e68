#pragma once
// Wide texts in tests: written as UTF-16 literals (u"ș"), turned into the platform's own wide
// units (wchar_t on Windows, char16_t on Linux) and back, unit for unit.

#include "wide_text.h"

#include <string>
#include <string_view>
#include <vector>

using WideString = std::basic_string<WideChar>;

inline WideString Wide(std::u16string_view text) {
    return WideString(text.begin(), text.end());
}

inline std::u16string Utf16(const WideChar* text, size_t length) {
    return std::u16string(text, text + length);
}

// The NUL-terminated text of a slot of width units.
inline std::u16string SlotText(const WideChar* slot, size_t width) {
    return Utf16(slot, WideLength(slot, width));
}

// A list block of fixed-width slots holding the entries, as the list reader makes them: each
// entry cut to width - 1 units, the rest of its slot zeros.
inline std::vector<WideChar> WideSlots(const std::vector<std::u16string>& entries, size_t width) {
    std::vector<WideChar> block(entries.size() * width, 0);
    for (size_t i = 0; i < entries.size(); i++) {
        std::u16string_view entry = std::u16string_view(entries[i]).substr(0, width - 1);
        std::copy(entry.begin(), entry.end(), block.begin() + i * width);
    }
    return block;
}
