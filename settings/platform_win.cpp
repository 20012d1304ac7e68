#include "platform.h"

#include <windows.h>

void* HeapAllocZero(size_t size) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

void* HeapResizeZero(void* block, size_t size) {
    return HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, block, size);
}

void HeapRelease(void* block) {
    if (block != nullptr) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}

void SetThreadLastError(uint32_t code) {
    SetLastError(code);
}

uint32_t ThreadLastError() {
    return GetLastError();
}

bool MoveFileOver(const char* source, const char* target) {
    // A read-only list stays as it is, as it would for a program that rewrote it in place.
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFileAt(const char* path) {
    return DeleteFileA(path) != 0;
}
