#pragma once
// The few platform services the list files need: the process heap, the thread's last-error
// value, replacing one file by another and the system's ANSI code page. Windows uses the real
// ones; the Linux build used by the unit tests has plain C stand-ins, and code page 1250 as
// its ANSI code page.

#include "wide_text.h"

#include <cstddef>
#include <cstdint>

// Zero-filled block, or none.
void* HeapAllocZero(size_t size);
// Resizes a block; bytes beyond the old size are zero. None on failure, the block left as it was.
void* HeapResizeZero(void* block, size_t size);
void HeapRelease(void* block);

void SetThreadLastError(uint32_t code);
uint32_t ThreadLastError();

// Puts the file at source in the place of target, replacing it; false when that failed and
// target is unchanged.
bool MoveFileOver(const char* source, const char* target);
bool RemoveFileAt(const char* path);

// Converts length bytes of the ANSI code page into at most capacity units; returns the units
// written (a byte gives at most one unit).
size_t AnsiToWide(const char* bytes, size_t length, WideChar* out, size_t capacity);
// Converts length units into at most capacity bytes of the ANSI code page, in written. False
// when a unit has no exact form there (no best-fit letter stands in) or the bytes would not fit.
bool WideToAnsi(const WideChar* text, size_t length, char* out, size_t capacity, size_t& written);
