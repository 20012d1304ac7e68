// Linux stand-ins for the Windows heap, last-error value and file replacement, used by the unit
// tests, the fuzz targets and the benchmarks. The heap counts its live blocks and can be told to
// fail, so that tests can check that nothing leaks and that every allocation failure is handled.

#include "platform.h"

#include "list_file.h"
#include "platform_posix.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

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

bool BeginReplacement(const char* target, ReplacementFile& file) {
    file.stream = nullptr;
    file.target = target;
    const char* slash = strrchr(target, '/');
    size_t folder = slash == nullptr ? 0 : static_cast<size_t>(slash - target) + 1;
    static const char name[] = ".verselume-XXXXXX";
    if (folder + sizeof name > sizeof file.temporary) {
        return false;
    }
    memcpy(file.temporary, target, folder);
    memcpy(file.temporary + folder, name, sizeof name);
    int descriptor = mkstemp(file.temporary);
    if (descriptor < 0) {
        return false;
    }
    file.stream = fdopen(descriptor, "wb");
    if (file.stream == nullptr) {
        close(descriptor);
        unlink(file.temporary);
        return false;
    }
    return true;
}

uint32_t FinishReplacement(ReplacementFile& file) {
    bool written = fflush(file.stream) == 0 && fsync(fileno(file.stream)) == 0;
    written = fclose(file.stream) == 0 && written;
    file.stream = nullptr;
    uint32_t code = !written                                   ? ErrorWriteFault
                    : rename(file.temporary, file.target) != 0 ? ErrorFileNotFound
                                                               : 0;
    if (code != 0) {
        unlink(file.temporary);
    }
    return code;
}

void AbandonReplacement(ReplacementFile& file) {
    fclose(file.stream);
    file.stream = nullptr;
    unlink(file.temporary);
}
