#pragma once
// An enumerator's name for a test's messages, from the names listed in the enumeration's order.

#include <cstddef>

template <typename Enum, size_t N> const char* NameOf(Enum value, const char* const (&names)[N]) {
    size_t index = static_cast<size_t>(value);
    return index < N ? names[index] : "?";
}
