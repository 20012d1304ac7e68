// Linux stand-ins for the Windows heap and last-error value, used by the unit tests, the fuzz
// targets and the benchmarks. The heap counts its live blocks and can be told to fail, so that
// tests can check that nothing leaks and that every allocation failure is handled.

#include "platform.h"
#include "platform_posix.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Each block carries its size in front, so that a resize knows which bytes are new.
struct BlockHeader {
    size_t Size;
    size_t Padding;
};

thread_local uint32_t LastError;
long LiveBlocks;
long HeapCalls;
long FailingCall = -1;

bool NextCallFails() {
    HeapCalls++;
    return FailingCall >= 0 && HeapCalls == FailingCall;
}

} // namespace

void* HeapAllocZero(size_t size) {
    if (NextCallFails() || size > SIZE_MAX - sizeof(BlockHeader)) {
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(calloc(1, sizeof(BlockHeader) + size));
    if (header == nullptr) {
        return nullptr;
    }
    header->Size = size;
    LiveBlocks++;
    return header + 1;
}

void* HeapResizeZero(void* block, size_t size) {
    if (NextCallFails() || size > SIZE_MAX - sizeof(BlockHeader)) {
        return nullptr;
    }
    BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
    size_t old = header->Size;
    auto* resized = static_cast<BlockHeader*>(realloc(header, sizeof(BlockHeader) + size));
    if (resized == nullptr) {
        return nullptr;
    }
    if (size > old) {
        memset(reinterpret_cast<char*>(resized + 1) + old, 0, size - old);
    }
    resized->Size = size;
    return resized + 1;
}

void HeapRelease(void* block) {
    if (block != nullptr) {
        LiveBlocks--;
        free(static_cast<BlockHeader*>(block) - 1);
    }
}

size_t HeapBlockSize(const void* block) {
    return (static_cast<const BlockHeader*>(block) - 1)->Size;
}

long HeapLiveBlocks() {
    return LiveBlocks;
}

long HeapCallCount() {
    return HeapCalls;
}

void FailHeapCall(long call) {
    HeapCalls = 0;
    FailingCall = call;
}

void SetThreadLastError(uint32_t code) {
    LastError = code;
}

uint32_t ThreadLastError() {
    return LastError;
}

bool MoveFileOver(const char* source, const char* target) {
    return rename(source, target) == 0;
}

bool RemoveFileAt(const char* path) {
    return remove(path) == 0;
}
