#pragma once
// Text as the lists hold it: UTF-16 code units, the form every wide platform call takes, so that
// drawing and the editors never convert a verse.

#include <array>
#include <cstddef>
#include <cstdint>

// wchar_t on Windows, where the wide calls take it; char16_t elsewhere (wchar_t is 32 bits on
// Linux), so that a slot has the same size and layout on every build.
#ifdef _WIN32
using WideChar = wchar_t;
#else
using WideChar = char16_t;
#endif
static_assert(sizeof(WideChar) == 2, "a list slot holds UTF-16 code units");

// An ASCII literal as a NUL-terminated wide array, made at compile time.
template <size_t N> constexpr std::array<WideChar, N> WidenAscii(const char (&ascii)[N]) {
    std::array<WideChar, N> wide{};
    for (size_t i = 0; i < N; i++) {
        wide[i] = static_cast<WideChar>(static_cast<unsigned char>(ascii[i]));
    }
    return wide;
}

// Length of a NUL-terminated text, looking no further than limit units.
inline size_t WideLength(const WideChar* text, size_t limit) {
    size_t length = 0;
    while (length < limit && text[length] != 0) {
        length++;
    }
    return length;
}
