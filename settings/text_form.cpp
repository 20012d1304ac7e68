#include "text_form.h"

namespace {

constexpr uint32_t Replacement = 0xFFFD;

uint8_t Byte(const char* bytes, size_t i) {
    return static_cast<uint8_t>(bytes[i]);
}

bool StartsWith(const char* bytes, size_t length, const char* mark, size_t markLength) {
    if (length < markLength) {
        return false;
    }
    for (size_t i = 0; i < markLength; i++) {
        if (bytes[i] != mark[i]) {
            return false;
        }
    }
    return true;
}

// Length of the valid UTF-8 sequence at bytes[at] and its code point, or 0 when none starts
// there: no overlong forms, no surrogates, nothing above U+10FFFF.
size_t Utf8Sequence(const char* bytes, size_t length, size_t at, uint32_t& point) {
    uint8_t lead = Byte(bytes, at);
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    size_t size = lead >= 0xC2 && lead <= 0xDF   ? 2
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                 : 0;
    if (size == 0 || length - at < size) {
        return 0;
    }
    // The second byte's range is narrower after the leads that could start an invalid form.
    uint8_t low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    uint8_t high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    point = lead & (0xFF >> (size + 1));
    for (size_t i = 1; i < size; i++) {
        uint8_t next = Byte(bytes, at + i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) {
            return 0;
        }
        point = (point << 6) | (next & 0x3F);
    }
    return size;
}

// The form a byte-order mark at the start of bytes announces, and the mark's length; None and 0
// without a mark.
ListFileForm MarkedForm(const char* bytes, size_t length, size_t& markLength) {
    markLength = 0;
    if (StartsWith(bytes, length, "\xEF\xBB\xBF", 3)) {
        markLength = 3;
        return ListFileForm::Utf8Bom;
    }
    if (StartsWith(bytes, length, "\xFF\xFE", 2)) {
        markLength = 2;
        return ListFileForm::Utf16Le;
    }
    if (StartsWith(bytes, length, "\xFE\xFF", 2)) {
        markLength = 2;
        return ListFileForm::Utf16Be;
    }
    return ListFileForm::None;
}

char* PutUtf8(char* out, uint32_t point) {
    if (point < 0x80) {
        *out++ = static_cast<char>(point);
    } else if (point < 0x800) {
        *out++ = static_cast<char>(0xC0 | (point >> 6));
        *out++ = static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (point >> 12));
        *out++ = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (point & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (point >> 18));
        *out++ = static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (point & 0x3F));
    }
    return out;
}

ListFileForm UnmarkedUtf16(const char* bytes, size_t length) {
    if (length < 2 || length % 2 != 0) {
        return ListFileForm::None;
    }
    size_t zeros[2] = {0, 0}; // at even offsets, at odd offsets
    for (size_t i = 0; i < length; i++) {
        zeros[i % 2] += bytes[i] == 0 ? 1 : 0;
    }
    size_t units = length / 2;
    if (ZerosShowUtf16(units, zeros[1], zeros[0])) {
        return ListFileForm::Utf16LeNoMark;
    }
    return ZerosShowUtf16(units, zeros[0], zeros[1]) ? ListFileForm::Utf16BeNoMark
                                                     : ListFileForm::None;
}

} // namespace

bool ZerosShowUtf16(size_t units, size_t highZeros, size_t lowZeros) {
    return highZeros >= 2 && highZeros * 4 >= units && highZeros > lowZeros * 10;
}

ListFileForm DetectListFileForm(const char* bytes, size_t length, size_t& textStart) {
    ListFileForm marked = MarkedForm(bytes, length, textStart);
    if (marked != ListFileForm::None) {
        return marked;
    }
    ListFileForm unmarked = UnmarkedUtf16(bytes, length);
    if (unmarked != ListFileForm::None) {
        return unmarked;
    }
    Utf8Kind whole = ClassifyUtf8(bytes, length);
    bool utf8 = whole == Utf8Kind::MultiByte ||
                (whole == Utf8Kind::Invalid && LinesShowUtf8(CountUtf8Lines(bytes, length)));
    return utf8 ? ListFileForm::Utf8 : ListFileForm::Ansi;
}

bool StartsWithMark(const char* bytes, size_t length) {
    size_t markLength;
    return MarkedForm(bytes, length, markLength) != ListFileForm::None;
}

Utf8Kind ClassifyUtf8(const char* bytes, size_t length) {
    bool multiByte = false;
    for (size_t at = 0; at < length;) {
        uint32_t point;
        size_t size = Utf8Sequence(bytes, length, at, point);
        if (size == 0) {
            return Utf8Kind::Invalid;
        }
        multiByte = multiByte || size > 1;
        at += size;
    }
    return multiByte ? Utf8Kind::MultiByte : Utf8Kind::Ascii;
}

Utf8LineCounts CountUtf8Lines(const char* bytes, size_t length) {
    Utf8LineCounts lines;
    for (size_t at = 0; at <= length;) {
        size_t end = at;
        while (end < length && bytes[end] != '\n' && bytes[end] != '\r') {
            end++;
        }
        Utf8Kind kind = ClassifyUtf8(bytes + at, end - at);
        lines.MultiByte += kind == Utf8Kind::MultiByte ? 1 : 0;
        lines.Invalid += kind == Utf8Kind::Invalid ? 1 : 0;
        at = end + 1;
    }
    return lines;
}

bool DecodeValidUtf8(const char* bytes, size_t length, WideChar* out, size_t& units) {
    units = 0;
    for (size_t at = 0; at < length;) {
        uint32_t point;
        size_t size = Utf8Sequence(bytes, length, at, point);
        if (size == 0) {
            return false;
        }
        if (point >= 0x10000) {
            out[units++] = static_cast<WideChar>(0xD800 + ((point - 0x10000) >> 10));
            out[units++] = static_cast<WideChar>(0xDC00 + (point & 0x3FF));
        } else {
            out[units++] = static_cast<WideChar>(point);
        }
        at += size;
    }
    return true;
}

size_t DecodeUtf16(const char* bytes, size_t length, bool bigEndian, WideChar* out) {
    size_t units = length / 2;
    for (size_t i = 0; i < units; i++) {
        uint32_t first = Byte(bytes, 2 * i);
        uint32_t second = Byte(bytes, 2 * i + 1);
        out[i] = static_cast<WideChar>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return units;
}

size_t EncodeUtf8(const WideChar* text, size_t length, char* out) {
    char* start = out;
    for (size_t i = 0; i < length; i++) {
        uint32_t unit = static_cast<uint16_t>(text[i]);
        uint32_t next = i + 1 < length ? static_cast<uint16_t>(text[i + 1]) : 0;
        if (IsHighSurrogate(unit) && IsLowSurrogate(next)) {
            out = PutUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            i++;
        } else {
            out = PutUtf8(out, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? Replacement : unit);
        }
    }
    return static_cast<size_t>(out - start);
}

size_t EncodeUtf16(const WideChar* text, size_t length, bool bigEndian, char* out) {
    for (size_t i = 0; i < length; i++) {
        uint16_t unit = static_cast<uint16_t>(text[i]);
        char high = static_cast<char>(unit >> 8);
        char low = static_cast<char>(unit & 0xFF);
        out[2 * i] = bigEndian ? high : low;
        out[2 * i + 1] = bigEndian ? low : high;
    }
    return 2 * length;
}
