#pragma once
// The few platform services the list files need: the process heap, the thread's last-error
// value, replacing a file safely and the system's ANSI code page. Windows uses the real ones;
// the Linux build used by the unit tests has plain C stand-ins, and code page 1250 as its ANSI
// code page.

#include "wide_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Zero-filled block, or none.
void* HeapAllocZero(size_t size);
// Resizes a block; bytes beyond the old size are zero. None on failure, the block left as it was.
void* HeapResizeZero(void* block, size_t size);
void HeapRelease(void* block);

void SetThreadLastError(uint32_t code);
uint32_t ThreadLastError();

// A file of its own beside a target, written in full and then put in the target's place, so
// that the target holds either its old content or the whole new one, never a mixture.
inline constexpr size_t ReplacementPathSize = 1024;
struct ReplacementFile {
    FILE* stream; // where the new content goes
#ifdef _WIN32
    wchar_t temporary[ReplacementPathSize];
    wchar_t target[ReplacementPathSize];
#else
    char temporary[ReplacementPathSize];
    const char* target;
#endif
};

// Creates a temporary file with a name no other save uses, in the target's folder, and opens
// it for writing in binary mode. False when the folder cannot take a file.
bool BeginReplacement(const char* target, ReplacementFile& file);
// Flushes the stream down to the disk, closes it and puts the file in the target's place.
// Returns 0, ErrorWriteFault when the content did not reach the disk, or ErrorFileNotFound
// when the target cannot be replaced (a read-only target among them: it stays as it was). The
// temporary file is gone either way, unless a failed replacement left it the only copy.
uint32_t FinishReplacement(ReplacementFile& file);
// Closes and removes the temporary file; the target stays as it was.
void AbandonReplacement(ReplacementFile& file);

// Converts length bytes of the ANSI code page into at most capacity units; returns the units
// written (a byte gives at most one unit).
size_t AnsiToWide(const char* bytes, size_t length, WideChar* out, size_t capacity);
// Converts length units into at most capacity bytes of the ANSI code page, in written. False
// when a unit has no exact form there (no best-fit letter stands in) or the bytes would not fit.
bool WideToAnsi(const WideChar* text, size_t length, char* out, size_t capacity, size_t& written);
