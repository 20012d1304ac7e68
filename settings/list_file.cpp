#include "list_file.h"

#include "platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// FNV-1a: a change anywhere in a file changes its hash.
uint64_t HashBytes(const char* bytes, size_t length) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (size_t i = 0; i < length; i++) {
        hash = (hash ^ static_cast<uint8_t>(bytes[i])) * 0x100000001b3u;
    }
    return hash;
}

// The whole file in one heap buffer: the file is read in one go and then taken apart in memory,
// which keeps loading a whole book of verses close to the cost of reading it. A read that fails
// part-way, or ends before the size the file had when it was opened, is no read: a list cut
// short must never pass for the user's list. Without a buffer, code says why.
char* ReadWholeFile(FILE* file, size_t& length, uint32_t& code) {
    size_t capacity = 65536;
    size_t expected = 0;
    if (fseek(file, 0, SEEK_END) == 0) {
        long size = ftell(file);
        if (size >= 0 && static_cast<unsigned long>(size) < SIZE_MAX - 1) {
            expected = static_cast<size_t>(size);
            capacity = expected + 1;
        }
        rewind(file);
    }
    char* data = static_cast<char*>(HeapAllocZero(capacity));
    // Touch every page before the read: Wine fills pages that were never touched much more
    // slowly than resident ones (twice the time of the whole read, measured).
    for (size_t page = 0; data != nullptr && page < capacity; page += 4096) {
        data[page] = '\0';
    }
    code = ErrorOutOfMemory;
    length = 0;
    while (data != nullptr) {
        size_t read = 0;
        bool good = ReadStream(file, data + length, capacity - length, read);
        length += read;
        if (!good || (length < capacity && length < expected)) {
            code = good ? ErrorReadFault : ReadFailureReason();
            HeapRelease(data);
            return nullptr;
        }
        if (length < capacity) {
            code = 0;
            break;
        }
        char* larger = capacity <= SIZE_MAX / 2
                           ? static_cast<char*>(HeapResizeZero(data, capacity * 2))
                           : nullptr;
        if (larger == nullptr) {
            HeapRelease(data);
            return nullptr;
        }
        data = larger;
        capacity *= 2;
    }
    return data;
}

// The whole file at path, and its stamp where one is asked for (hashing a book of verses is
// for a save to compare with, not for the saver); none when it cannot be opened (code
// ErrorFileNotFound, and the stamp tells whether there was a file) or read.
char* ReadStampedFile(const char* path, size_t& length, ListFileStamp* stamp, uint32_t& code) {
    ListFileStamp read;
    FILE* file = fopen(path, "rb");
    char* data = nullptr;
    if (file == nullptr) {
        read.Exists = errno != ENOENT && errno != ENOTDIR;
        read.FolderMissing = !read.Exists && !FolderOfPathExists(path);
        code = ErrorFileNotFound;
    } else {
        read.Exists = true;
        data = ReadWholeFile(file, length, code);
        if (data != nullptr && stamp != nullptr) {
            read.Known = true;
            read.Size = length;
            read.LastWrite = StreamLastWrite(file);
            read.Hash = HashBytes(data, length);
        }
        fclose(file);
    }
    if (stamp != nullptr) {
        *stamp = read;
    }
    return data;
}

bool IsBreak(uint32_t unit) {
    return unit == '\n' || unit == '\r' || unit == 0;
}

// Position of the first LF, CR or NUL in [from, end), or end. Scans eight bytes at a time: the
// C runtime's memchr is a plain byte loop on some platforms, and loading a book scans megabytes.
const char* FindBreak(const char* from, const char* end) {
    constexpr uint64_t ones = 0x0101010101010101u;
    constexpr uint64_t highs = 0x8080808080808080u;
    constexpr uint64_t lfs = ones * '\n';
    constexpr uint64_t crs = ones * '\r';
    while (end - from >= 8) {
        uint64_t word;
        memcpy(&word, from, 8);
        uint64_t lf = word ^ lfs;
        uint64_t cr = word ^ crs;
        if ((((word - ones) & ~word) | ((lf - ones) & ~lf) | ((cr - ones) & ~cr)) & highs) {
            break;
        }
        from += 8;
    }
    while (from < end && !IsBreak(static_cast<uint8_t>(*from))) {
        from++;
    }
    return from;
}

// A UTF-8 text decoded line by line: a line that is not UTF-8 (one another editor appended in
// the code page) is read as ANSI, so that its letters show right too. out needs room for length
// units; returns the units written.
size_t DecodeUtf8Lines(const char* bytes, size_t length, WideChar* out) {
    size_t units = 0;
    const char* end = bytes + length;
    for (const char* line = bytes; line < end;) {
        const char* stop = FindBreak(line, end);
        size_t lineLength = static_cast<size_t>(stop - line);
        size_t decoded = 0;
        if (!DecodeValidUtf8(line, lineLength, out + units, decoded)) {
            decoded = AnsiToWide(line, lineLength, out + units, lineLength);
        }
        units += decoded;
        if (stop < end) {
            out[units++] = static_cast<uint8_t>(*stop++); // the line end (or NUL) itself
        }
        line = stop;
    }
    return units;
}

const WideChar* FindBreak(const WideChar* from, const WideChar* end) {
    while (from < end && !IsBreak(*from)) {
        from++;
    }
    return from;
}

template <typename Unit> size_t LengthBeforeNul(const Unit* piece, size_t length) {
    size_t n = 0;
    while (n < length && piece[n] != 0) {
        n++;
    }
    return n;
}

// How much of the rest of a line the next entry takes: at most longest units, one less where
// the cut would part the halves of a surrogate pair. A byte of the ANSI code page is cut
// wherever the line is full, as the C runtime's line buffer would.
size_t PieceLength(const char* piece, const char* end, size_t longest) {
    size_t rest = static_cast<size_t>(end - piece);
    return rest < longest ? rest : longest;
}

size_t PieceLength(const WideChar* piece, const WideChar* end, size_t longest) {
    size_t rest = static_cast<size_t>(end - piece);
    if (rest <= longest) {
        return rest;
    }
    bool partsAPair = IsHighSurrogate(piece[longest - 1]) && IsLowSurrogate(piece[longest]);
    return partsAPair && longest > 1 ? longest - 1 : longest;
}

// Calls take(entry, length) for each entry of the text, in order, as a line buffer of width
// units would cut them: a line ends at CR LF, LF or CR alone (the files of every system), a
// longer line is cut into pieces (PieceLength), and empty lines are no entries. A NUL ends its
// piece's entry (the rest of the piece is dropped), so that every slot stays zero after its
// terminator.
template <typename Unit, typename Take>
void ForEachEntry(const Unit* data, size_t length, uint32_t width, Take take) {
    const size_t longest = width - 1;
    const Unit* end = data + length;
    for (const Unit* line = data; line < end;) {
        const Unit* stop = FindBreak(line, end);
        bool hasNul = false;
        while (stop < end && *stop == 0) {
            hasNul = true;
            stop = FindBreak(stop + 1, end);
        }
        for (const Unit* piece = line; piece < stop;) {
            size_t pieceLength = PieceLength(piece, stop, longest);
            size_t entryLength = hasNul ? LengthBeforeNul(piece, pieceLength) : pieceLength;
            if (entryLength > 0) {
                take(piece, entryLength);
            }
            piece += pieceLength;
        }
        bool crLf = stop + 1 < end && stop[0] == '\r' && stop[1] == '\n';
        line = stop < end ? stop + (crLf ? 2 : 1) : end;
    }
}

WideChar* FailRead(uint32_t& count, uint32_t code) {
    count = 0;
    SetThreadLastError(code);
    return nullptr;
}

// A block of the text's entries, each put into its slot by put(slot, entry, length). Counting
// first lets the block be allocated once at its final size: growing it while reading copies it
// over and over on large files.
template <typename Unit, typename Put>
WideChar* FillSlots(const Unit* text, size_t length, uint32_t width, uint32_t& count, Put put) {
    size_t entries = 0;
    ForEachEntry(text, length, width, [&](const Unit*, size_t) { entries++; });
    if (entries == 0) {
        return FailRead(count, 0);
    }
    const size_t slotBytes = static_cast<size_t>(width) * sizeof(WideChar);
    auto* block = entries <= UINT32_MAX && entries <= SIZE_MAX / slotBytes
                      ? static_cast<WideChar*>(HeapAllocZero(entries * slotBytes))
                      : nullptr;
    if (block == nullptr) {
        return FailRead(count, ErrorOutOfMemory);
    }
    WideChar* slot = block;
    ForEachEntry(text, length, width, [&](const Unit* entry, size_t entryLength) {
        put(slot, entry, entryLength);
        slot += width;
    });
    count = static_cast<uint32_t>(entries);
    SetThreadLastError(0);
    return block;
}

// An ANSI file is cut into entries as bytes, and each entry is then converted.
WideChar* AnsiSlots(const char* bytes, size_t length, uint32_t width, uint32_t& count) {
    return FillSlots(bytes, length, width, count,
                     [&](WideChar* slot, const char* entry, size_t entryLength) {
                         AnsiToWide(entry, entryLength, slot, width - 1);
                     });
}

// A Unicode file is decoded whole, then cut into entries of units.
WideChar* UnicodeSlots(const char* bytes, size_t length, ListFileForm form, uint32_t width,
                       uint32_t& count) {
    auto* text = length < SIZE_MAX / sizeof(WideChar)
                     ? static_cast<WideChar*>(HeapAllocZero((length + 1) * sizeof(WideChar)))
                     : nullptr;
    if (text == nullptr) {
        return FailRead(count, ErrorOutOfMemory);
    }
    size_t units = IsUtf16Form(form) ? DecodeUtf16(bytes, length, IsBigEndianForm(form), text)
                                     : DecodeUtf8Lines(bytes, length, text);
    WideChar* block = FillSlots(text, units, width, count,
                                [](WideChar* slot, const WideChar* entry, size_t entryLength) {
                                    memcpy(slot, entry, entryLength * sizeof(WideChar));
                                });
    HeapRelease(text);
    return block;
}

// Whether the list written in ANSI reads back as the same list: every entry keeps its letters
// in the code page and its bytes fit one entry, and the file is not taken for another form (a
// mark at its start, or lines that show UTF-8; each entry is one line).
bool AnsiReadsBack(const WideChar* block, uint32_t count, uint32_t width) {
    char bytes[1024];
    size_t capacity = width - 1 < sizeof bytes ? width - 1 : sizeof bytes;
    Utf8LineCounts lines;
    for (uint32_t i = 0; i < count; i++) {
        const WideChar* entry = block + static_cast<size_t>(i) * width;
        size_t written;
        if (!WideToAnsi(entry, WideLength(entry, width), bytes, capacity, written) ||
            (i == 0 && StartsWithMark(bytes, written))) {
            return false;
        }
        Utf8Kind kind = ClassifyUtf8(bytes, written);
        lines.MultiByte += kind == Utf8Kind::MultiByte ? 1 : 0;
        lines.Invalid += kind == Utf8Kind::Invalid ? 1 : 0;
    }
    return !LinesShowUtf8(lines);
}

// Whether the list written as UTF-16 without a mark is still taken for it when read back: its
// zero bytes (line ends included) must show the pattern.
bool UnmarkedUtf16ReadsBack(const WideChar* block, uint32_t count, uint32_t width) {
    size_t units = 2 * static_cast<size_t>(count);
    size_t highZeros = units; // CR and LF
    size_t lowZeros = 0;
    for (uint32_t i = 0; i < count; i++) {
        const WideChar* entry = block + static_cast<size_t>(i) * width;
        size_t length = WideLength(entry, width);
        units += length;
        for (size_t j = 0; j < length; j++) {
            highZeros += (entry[j] >> 8) == 0 ? 1 : 0;
            lowZeros += (entry[j] & 0xFF) == 0 ? 1 : 0;
        }
    }
    return count == 0 || (block[0] != 0xFEFF && ZerosShowUtf16(units, highZeros, lowZeros));
}

// The form a list is written in: its file's, where the list reads back from it unchanged;
// otherwise, and for a list that never had a file, UTF-8 with a mark.
ListFileForm FormToWrite(const WideChar* block, uint32_t count, uint32_t width, ListFileForm form) {
    switch (form) {
    case ListFileForm::Ansi:
        return AnsiReadsBack(block, count, width) ? form : ListFileForm::Utf8Bom;
    // Without a mark, a first entry that starts with U+FEFF would read back as a mark.
    case ListFileForm::Utf8:
        return count == 0 || block[0] != 0xFEFF ? form : ListFileForm::Utf8Bom;
    case ListFileForm::Utf16LeNoMark:
        return UnmarkedUtf16ReadsBack(block, count, width) ? form : ListFileForm::Utf16Le;
    case ListFileForm::Utf16BeNoMark:
        return UnmarkedUtf16ReadsBack(block, count, width) ? form : ListFileForm::Utf16Be;
    case ListFileForm::None:
        return ListFileForm::Utf8Bom;
    default:
        return form;
    }
}

// Writes length units in the form; false when a write failed. Long texts go in pieces that never
// part a surrogate pair.
bool WriteUnits(FILE* file, ListFileForm form, const WideChar* text, size_t length) {
    constexpr size_t PieceUnits = 256;
    char bytes[PieceUnits * MaxUtf8PerUnit + 8];
    while (length > 0) {
        size_t units = PieceLength(text, text + length, PieceUnits);
        size_t size = 0;
        if (form == ListFileForm::Ansi) {
            WideToAnsi(text, units, bytes, sizeof bytes, size);
        } else if (IsUtf16Form(form)) {
            size = EncodeUtf16(text, units, IsBigEndianForm(form), bytes);
        } else {
            size = EncodeUtf8(text, units, bytes);
        }
        if (fwrite(bytes, 1, size, file) != size) {
            return false;
        }
        text += units;
        length -= units;
    }
    return true;
}

bool WriteMark(FILE* file, ListFileForm form) {
    static constexpr WideChar mark[] = {0xFEFF};
    bool marked = form == ListFileForm::Utf8Bom || form == ListFileForm::Utf16Le ||
                  form == ListFileForm::Utf16Be;
    return !marked || WriteUnits(file, form, mark, 1);
}

// Every entry and its line end, after the form's mark; an empty list is an empty file.
bool WriteEntries(FILE* file, const WideChar* block, uint32_t count, uint32_t width,
                  ListFileForm form) {
    static constexpr WideChar lineEnd[] = {u'\r', u'\n'};
    if (count != 0 && !WriteMark(file, form)) {
        return false;
    }
    for (uint32_t i = 0; i < count; i++) {
        const WideChar* entry = block + static_cast<size_t>(i) * width;
        if (!WriteUnits(file, form, entry, WideLength(entry, width)) ||
            !WriteUnits(file, form, lineEnd, 2)) {
            return false;
        }
    }
    return true;
}

// Writes the file in place, flushed to the disk: for a folder that lets no temporary file be
// made beside it, where only the file itself may be written.
uint32_t WriteInPlace(const char* path, const WideChar* block, uint32_t count, uint32_t width,
                      ListFileForm form) {
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        return ErrorFileNotFound;
    }
    bool written = WriteEntries(file, block, count, width, form) && FlushToDisk(file);
    written = fclose(file) == 0 && written;
    return written ? 0 : ErrorWriteFault;
}

} // namespace

WideChar* ReadListFile(const char* path, uint32_t width, uint32_t& count, ListFileForm& form,
                       ListFileStamp* stamp) {
    count = 0;
    form = ListFileForm::None;
    // Binary mode, with the line-end rules applied here, reads the same everywhere.
    size_t length = 0;
    uint32_t code = 0;
    char* data = ReadStampedFile(path, length, stamp, code);
    if (data == nullptr) {
        return FailRead(count, code);
    }
    size_t textStart = 0;
    form = DetectListFileForm(data, length, textStart);
    WideChar* block = form == ListFileForm::Ansi
                          ? AnsiSlots(data, length, width, count)
                          : UnicodeSlots(data + textStart, length - textStart, form, width, count);
    HeapRelease(data);
    return block;
}

void StampListFile(const char* path, ListFileStamp& stamp) {
    size_t length = 0;
    uint32_t code = 0;
    HeapRelease(ReadStampedFile(path, length, &stamp, code));
}

uint32_t WriteListFile(const char* path, const WideChar* block, uint32_t count, uint32_t width,
                       ListFileForm form) {
    // The list goes to a file of its own and replaces the target only once all of it is on the
    // disk, so that a full disk, a failing drive, a power cut or a second program saving at the
    // same time never leaves the user's list half written.
    form = FormToWrite(block, count, width, form);
    ReplacementFile replacement;
    switch (BeginReplacement(path, replacement)) {
    case ReplacementStart::Ready:
        break;
    case ReplacementStart::FolderRefuses:
        return WriteInPlace(path, block, count, width, form);
    default:
        return ErrorFileNotFound;
    }
    if (!WriteEntries(replacement.stream, block, count, width, form)) {
        AbandonReplacement(replacement);
        return ErrorWriteFault;
    }
    return FinishReplacement(replacement);
}
