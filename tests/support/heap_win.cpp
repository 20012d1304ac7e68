#include "support/heap.h"

#include <windows.h>

bool IsProcessHeapBlock(const void* block) {
    HANDLE heap = GetProcessHeap();
    bool found = false;
    if (!HeapLock(heap)) {
        return false;
    }
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 && entry.lpData == block) {
            found = true;
        }
    }
    HeapUnlock(heap);
    return found;
}
