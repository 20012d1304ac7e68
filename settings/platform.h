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
// that the target holds either its old content or the whole new one, never a mixture. While
// the new file takes the target's place the old one is kept under the backup name.
inline constexpr size_t ReplacementPathSize = 1024;
#ifdef _WIN32
using PathUnit = wchar_t;
#else
using PathUnit = char;
#endif
struct ReplacementFile {
    FILE* stream; // where the new content goes
    PathUnit temporary[ReplacementPathSize];
    PathUnit backup[ReplacementPathSize];
    PathUnit target[ReplacementPathSize];
};

enum class ReplacementStart : uint8_t {
    Ready,         // the temporary file is open for writing, in binary mode
    FolderRefuses, // the folder lets no new file be made (access denied)
    Failed,        // no temporary file for another reason (a missing folder, a path too long)
};

// Creates a temporary file with a name no other save uses, in the target's folder.
ReplacementStart BeginReplacement(const char* target, ReplacementFile& file);
// Flushes the stream down to the disk, closes it and puts the file in the target's place.
// Returns 0, ErrorWriteFault when the content did not reach the disk, or ErrorFileNotFound
// when the target cannot be replaced (a read-only target among them: it stays as it was). The
// temporary file is gone either way, unless a failed replacement left it the only copy.
uint32_t FinishReplacement(ReplacementFile& file);
// Closes and removes the temporary file; the target stays as it was.
void AbandonReplacement(ReplacementFile& file);

// Puts the old list back at path where a replacement cut short left it under a backup name
// (PutBackupInPlace). True when it did.
bool PutListBackupInPlace(const char* path);

// Whether the folder that would hold the file at path exists.
bool FolderOfPathExists(const char* path);

// Flushes a stream's buffers and the system's down to the disk; false when that failed.
bool FlushToDisk(FILE* stream);

// Reads up to size bytes; false on a read error (what was read before it is in read).
bool ReadStream(FILE* stream, char* buffer, size_t size, size_t& read);
// The last-write time of an open file, in the platform's units; 0 when unknown.
uint64_t StreamLastWrite(FILE* stream);
// Why the last read of an open file failed: the system's reason, or ErrorReadFault.
uint32_t ReadFailureReason();

// Converts length bytes of the ANSI code page into at most capacity units; returns the units
// written (a byte gives at most one unit).
size_t AnsiToWide(const char* bytes, size_t length, WideChar* out, size_t capacity);
// Converts length units into at most capacity bytes of the ANSI code page, in written. False
// when a unit has no exact form there (no best-fit letter stands in) or the bytes would not fit.
bool WideToAnsi(const WideChar* text, size_t length, char* out, size_t capacity, size_t& written);
