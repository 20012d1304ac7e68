#pragma once
// The forms a list file may have, how a file's form is recognised, and the conversions between
// the Unicode forms and the UTF-16 text of the slots. The ANSI code page is the platform's
// (platform.h).

#include "wide_text.h"

#include <cstddef>
#include <cstdint>

enum class ListFileForm : uint8_t {
    None,          // no file was read; a new file is written as Utf8Bom
    Ansi,          // bytes of the system's ANSI code page
    Utf8,          // UTF-8 without a byte-order mark
    Utf8Bom,       // UTF-8 after the mark EF BB BF
    Utf16Le,       // UTF-16 little-endian after the mark FF FE
    Utf16Be,       // UTF-16 big-endian after the mark FE FF
    Utf16LeNoMark, // UTF-16 little-endian without a mark
    Utf16BeNoMark, // UTF-16 big-endian without a mark
};

inline bool IsUtf16Form(ListFileForm form) {
    return form == ListFileForm::Utf16Le || form == ListFileForm::Utf16Be ||
           form == ListFileForm::Utf16LeNoMark || form == ListFileForm::Utf16BeNoMark;
}
inline bool IsBigEndianForm(ListFileForm form) {
    return form == ListFileForm::Utf16Be || form == ListFileForm::Utf16BeNoMark;
}

// The form of a file's bytes, and in textStart where its text begins (after the mark). Without
// a mark: UTF-16 when zero bytes show its pattern (ZerosShowUtf16) and its length is even; else
// UTF-8 when its lines show it (LinesShowUtf8); otherwise ANSI (so a file of ASCII only stays
// ANSI). A UTF-8 file may hold lines that are not UTF-8, which are read as ANSI.
ListFileForm DetectListFileForm(const char* bytes, size_t length, size_t& textStart);

// Whether the zero bytes of a text without a mark show it to be UTF-16: text in Latin letters
// has a zero high byte in most units (ASCII, â, î; ă ș ț have 01 or 02), while ANSI and UTF-8
// text has no zero byte but for a stray NUL. So at least two units, and one unit in four, have a
// zero high byte, and ten times as many as have a zero low byte.
bool ZerosShowUtf16(size_t units, size_t highZeros, size_t lowZeros);

// Whether bytes begin with one of the three byte-order marks.
bool StartsWithMark(const char* bytes, size_t length);

// How bytes read as UTF-8: not valid, valid and ASCII only, or valid with a longer sequence.
enum class Utf8Kind : uint8_t { Invalid, Ascii, MultiByte };
Utf8Kind ClassifyUtf8(const char* bytes, size_t length);

// How many lines of a text (ended by CR or LF) are valid UTF-8 with a longer sequence, and how
// many are not valid UTF-8.
struct Utf8LineCounts {
    size_t MultiByte = 0;
    size_t Invalid = 0;
};
Utf8LineCounts CountUtf8Lines(const char* bytes, size_t length);

// Whether a text without a mark is UTF-8: at least as many of its lines are UTF-8 with a letter
// beyond ASCII as are not UTF-8 at all, and there is one. A UTF-8 file keeps its form when
// another editor appended a line in the code page, while an ANSI file stays ANSI where a line of
// it happens to be valid UTF-8 (hardly any ANSI line with a letter beyond ASCII is).
inline bool LinesShowUtf8(const Utf8LineCounts& lines) {
    return lines.MultiByte > 0 && lines.MultiByte >= lines.Invalid;
}

// UTF-8 to UTF-16, while every byte belongs to a valid sequence: false at the first that does
// not. out needs room for length units; units is what was written.
bool DecodeValidUtf8(const char* bytes, size_t length, WideChar* out, size_t& units);
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
