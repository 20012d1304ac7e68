#include "list_file.h"

#include "platform.h"

#include <cstdio>
#include <cstring>

namespace {

// The whole file in one heap buffer: the file is read in one go and then taken apart in memory,
// which keeps loading a whole book of verses close to the cost of reading it.
char* ReadWholeFile(FILE* file, size_t& length) {
    size_t capacity = 65536;
    if (fseek(file, 0, SEEK_END) == 0) {
        long size = ftell(file);
        if (size >= 0 && static_cast<unsigned long>(size) < SIZE_MAX - 1) {
            capacity = static_cast<size_t>(size) + 1;
        }
        rewind(file);
    }
    char* data = static_cast<char*>(HeapAllocZero(capacity));
    // Touch every page before the read: Wine fills pages that were never touched much more
    // slowly than resident ones (twice the time of the whole read, measured).
    for (size_t page = 0; data != nullptr && page < capacity; page += 4096) {
        data[page] = '\0';
    }
    length = 0;
    while (data != nullptr) {
        length += fread(data + length, 1, capacity - length, file);
        if (length < capacity) {
            break; // end of file or a read error: what was read counts
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

// Position of the first LF or NUL in [from, end), or end. Scans eight bytes at a time: the C
// runtime's memchr is a plain byte loop on some platforms, and loading a book scans megabytes.
const char* FindBreak(const char* from, const char* end) {
    constexpr uint64_t ones = 0x0101010101010101u;
    constexpr uint64_t highs = 0x8080808080808080u;
    constexpr uint64_t lfs = ones * '\n';
    while (end - from >= 8) {
        uint64_t word;
        memcpy(&word, from, 8);
        uint64_t xored = word ^ lfs;
        if ((((word - ones) & ~word) | ((xored - ones) & ~xored)) & highs) {
            break;
        }
        from += 8;
    }
    while (from < end && *from != '\n' && *from != '\0') {
        from++;
    }
    return from;
}

size_t LengthBeforeNul(const char* piece, size_t length) {
    size_t n = 0;
    while (n < length && piece[n] != '\0') {
        n++;
    }
    return n;
}

// Calls take(entry, length) for each entry of the file's bytes, in order, as the C runtime's
// text mode and a line buffer of width bytes would cut them: a line ends at LF, a CR right before
// that LF belongs to the line end, a longer line is cut into pieces of width - 1 bytes, and empty
// lines are no entries. A NUL byte ends its piece's entry (the rest of the piece is dropped), so
// that every slot stays zero after its terminator.
template <typename Take>
void ForEachEntry(const char* data, size_t length, uint32_t width, Take take) {
    const size_t longest = width - 1;
    const char* end = data + length;
    for (const char* line = data; line < end;) {
        const char* stop = FindBreak(line, end);
        bool hasNul = false;
        while (stop < end && *stop == '\0') {
            hasNul = true;
            stop = FindBreak(stop + 1, end);
        }
        const char* contentEnd = stop;
        if (stop < end && contentEnd > line && contentEnd[-1] == '\r') {
            contentEnd--;
        }
        for (const char* piece = line; piece < contentEnd; piece += longest) {
            size_t pieceLength = static_cast<size_t>(contentEnd - piece);
            pieceLength = pieceLength < longest ? pieceLength : longest;
            size_t entryLength = hasNul ? LengthBeforeNul(piece, pieceLength) : pieceLength;
            if (entryLength > 0) {
                take(piece, entryLength);
            }
        }
        line = stop < end ? stop + 1 : end;
    }
}

char* FailRead(uint32_t& count, uint32_t code) {
    count = 0;
    SetThreadLastError(code);
    return nullptr;
}

} // namespace

char* ReadListFile(const char* path, uint32_t width, uint32_t& count) {
    count = 0;
    // Binary mode, with the text-mode line-end rules applied here, reads the same everywhere.
    FILE* file = fopen(path, "rb");
    if (file == nullptr) {
        return FailRead(count, ErrorFileNotFound);
    }
    size_t length = 0;
    char* data = ReadWholeFile(file, length);
    fclose(file);
    if (data == nullptr) {
        return FailRead(count, ErrorOutOfMemory);
    }

    // Counting first lets the block be allocated once at its final size: growing it while
    // reading copies it over and over on large files.
    size_t entries = 0;
    ForEachEntry(data, length, width, [&](const char*, size_t) { entries++; });
    if (entries == 0) {
        HeapRelease(data);
        return FailRead(count, 0);
    }
    char* block = entries <= UINT32_MAX && entries <= SIZE_MAX / width
                      ? static_cast<char*>(HeapAllocZero(entries * width))
                      : nullptr;
    if (block == nullptr) {
        HeapRelease(data);
        return FailRead(count, ErrorOutOfMemory);
    }
    char* slot = block;
    ForEachEntry(data, length, width, [&](const char* entry, size_t entryLength) {
        memcpy(slot, entry, entryLength);
        slot += width;
    });
    HeapRelease(data);
    count = static_cast<uint32_t>(entries);
    SetThreadLastError(0);
    return block;
}

uint32_t WriteListFile(const char* path, const char* block, uint32_t count, uint32_t width) {
    // The list goes to a file of its own and replaces the target only once all of it is on the
    // disk, so that a full disk, a failing drive, a power cut or a second program saving at the
    // same time never leaves the user's list half written.
    ReplacementFile replacement;
    if (!BeginReplacement(path, replacement)) {
        return ErrorFileNotFound;
    }
    for (uint32_t i = 0; i < count; i++) {
        const char* entry = block + static_cast<size_t>(i) * width;
        size_t length = strnlen(entry, width);
        if (fwrite(entry, 1, length, replacement.stream) != length ||
            fwrite("\r\n", 1, 2, replacement.stream) != 2) {
            AbandonReplacement(replacement);
            return ErrorWriteFault;
        }
    }
    return FinishReplacement(replacement);
}
