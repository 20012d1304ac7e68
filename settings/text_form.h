#pragma once
// The forms a list file may have, how a file's form is recognised, and the conversions between
// the Unicode forms and the UTF-16 text of the slots. The ANSI code page is the platform's
// (platform.h).

#include "wide_text.h"

#include <cstddef>
#include <cstdint>

enum class ListFileForm : uint8_t {
    None,    // no file was read; a new file is written as Utf8Bom
    Ansi,    // bytes of the system's ANSI code page
    Utf8,    // UTF-8 without a byte-order mark
    Utf8Bom, // UTF-8 after the mark EF BB BF
    Utf16Le, // UTF-16 little-endian after the mark FF FE
    Utf16Be, // UTF-16 big-endian after the mark FE FF
};

// The form of a file's bytes, and in textStart where its text begins (after the mark). Without
// a mark: UTF-8 when every byte belongs to a valid sequence and one sequence is longer than a
// byte; otherwise ANSI (so a file of ASCII only stays ANSI).
ListFileForm DetectListFileForm(const char* bytes, size_t length, size_t& textStart);

// Whether bytes begin with one of the three byte-order marks.
bool StartsWithMark(const char* bytes, size_t length);

// How bytes read as UTF-8: not valid, valid and ASCII only, or valid with a longer sequence.
enum class Utf8Kind : uint8_t { Invalid, Ascii, MultiByte };
Utf8Kind ClassifyUtf8(const char* bytes, size_t length);

// UTF-8 to UTF-16; a byte that starts no valid sequence gives U+FFFD. out needs room for length
// units. Returns the units written.
size_t DecodeUtf8(const char* bytes, size_t length, WideChar* out);
// UTF-16 of the given byte order to units; a last odd byte is dropped. out needs room for
// length / 2 units. Returns the units written.
size_t DecodeUtf16(const char* bytes, size_t length, bool bigEndian, WideChar* out);

// Longest encoding of one unit: three UTF-8 bytes (a pair of units takes four).
inline constexpr size_t MaxUtf8PerUnit = 3;
// Units to UTF-8; a surrogate without its other half gives U+FFFD. Returns the bytes written.
size_t EncodeUtf8(const WideChar* text, size_t length, char* out);
// Units to UTF-16 bytes of the given byte order (two a unit). Returns the bytes written.
size_t EncodeUtf16(const WideChar* text, size_t length, bool bigEndian, char* out);

inline bool IsHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool IsLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
