#pragma once
// Inspection and fault injection of the Linux heap stand-in, for tests and benchmarks.

#include <cstddef>

// Size of a block from HeapAllocZero or HeapResizeZero.
size_t HeapBlockSize(const void* block);
// Blocks allocated and not yet released.
long HeapLiveBlocks();
// Heap calls (allocations and resizes) since the last FailHeapCall.
long HeapCallCount();
// Makes the heap call with this number (1 = the next one) fail; -1 never fails.
void FailHeapCall(long call);
