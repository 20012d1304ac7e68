#include "platform.h"

#include <windows.h>

#include <cstring>

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

size_t AnsiToWide(const char* bytes, size_t length, WideChar* out, size_t capacity) {
    if (length == 0) {
        return 0;
    }
    int units = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(length), out,
                                    static_cast<int>(capacity));
    return units > 0 ? static_cast<size_t>(units) : 0;
}

bool WideToAnsi(const WideChar* text, size_t length, char* out, size_t capacity, size_t& written) {
    written = 0;
    if (length == 0) {
        return true;
    }
    int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length),
                                    out, static_cast<int>(capacity), nullptr, nullptr);
    if (bytes <= 0) {
        return false;
    }
    // A letter the code page lacks came out as its default character: only a text that comes
    // back unchanged may be kept in ANSI.
    WideChar back[1024];
    if (length > sizeof back / sizeof back[0]) {
        return false;
    }
    int units = MultiByteToWideChar(CP_ACP, 0, out, bytes, back, static_cast<int>(length));
    if (units != static_cast<int>(length) || memcmp(back, text, length * sizeof(WideChar)) != 0) {
        return false;
    }
    written = static_cast<size_t>(bytes);
    return true;
}
