#pragma once
// The few platform services the list files need: the process heap, the thread's last-error
// value and replacing one file by another. Windows uses the real ones; the Linux build used by
// the unit tests has plain C stand-ins.

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
