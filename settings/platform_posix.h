#pragma once
// Inspection and fault injection of the Linux stand-ins, for tests and benchmarks.

#include <cstddef>

// Size of a block from HeapAllocZero or HeapResizeZero.
size_t HeapBlockSize(const void* block);
// Blocks allocated and not yet released.
long HeapLiveBlocks();
// Heap calls (allocations and resizes) since the last FailHeapCall.
long HeapCallCount();
// Makes the heap call with this number (1 = the next one) fail; -1 never fails.
void FailHeapCall(long call);
// Makes the next stream read deliver only this many bytes and then fail; -1 never fails.
void FailReadAfter(long bytes);
// Makes every folder refuse new files, as one without the right to create them would.
void RefuseTemporaryFiles(bool refuse);
