#pragma once
// Whether the program hands out and takes back its blocks on the process heap.

// Whether block is an allocated block of the process heap.
bool IsProcessHeapBlock(const void* block);
