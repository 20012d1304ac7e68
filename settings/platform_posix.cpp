// Linux stand-ins for the Windows heap, last-error value, file replacement and ANSI code page,
// used by the unit tests, the fuzz targets and the benchmarks. The heap counts its live blocks
// and can be told to fail, so that tests can check that nothing leaks and that every allocation
// failure is handled.

#include "platform.h"

#include "file_replacement.h"
#include "list_file.h"
#include "platform_posix.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
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

// Code page 1250 (Central European, Romanian Windows) from 0x80 up; the five bytes it leaves
// undefined map to the control characters of the same number, as on Windows.
constexpr uint16_t Windows1250[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, //
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, //
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, //
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, //
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, //
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, //
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, //
};

// The byte of a unit in code page 1250, or -1.
int AnsiByte(uint16_t unit) {
    if (unit < 0x80) {
        return unit;
    }
    for (int i = 0; i < 128; i++) {
        if (Windows1250[i] == unit) {
            return 0x80 + i;
        }
    }
    return -1;
}

long ReadFailsAfter = -1;
bool FolderRefusesFiles = false;

bool Exists(const char* path) {
    return access(path, F_OK) == 0;
}

bool MoveNew(const char* from, const char* to) {
    // A hard link claims the name only where there is none; the old name then goes.
    return link(from, to) == 0 && unlink(from) == 0;
}

// The old file keeps a second name while rename puts the new one in its place in one step.
bool Swap(const char* target, const char* replacement, const char* backup) {
    if (link(target, backup) != 0) {
        return false;
    }
    if (rename(replacement, target) != 0) {
        unlink(backup);
        return false;
    }
    return true;
}

bool Remove(const char* path) {
    return unlink(path) == 0;
}

bool TryAgain(int attempt) {
    return attempt < 3;
}

bool Newest(const char* pattern, char (&found)[ReplacementPathSize]) {
    const char* slash = strrchr(pattern, '/');
    std::string folder = slash == nullptr ? "" : std::string(pattern, slash + 1);
    DIR* listing = opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr) {
        return false;
    }
    bool any = false;
    timespec newest{};
    for (const dirent* entry; (entry = readdir(listing)) != nullptr;) {
        std::string path = folder + entry->d_name;
        struct stat status {};
        if (fnmatch(slash != nullptr ? slash + 1 : pattern, entry->d_name, 0) != 0 ||
            stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
            path.size() >= sizeof found) {
            continue;
        }
        const timespec& written = status.st_mtim;
        if (!any || written.tv_sec > newest.tv_sec ||
            (written.tv_sec == newest.tv_sec && written.tv_nsec > newest.tv_nsec)) {
            memcpy(found, path.c_str(), path.size() + 1);
            newest = written;
            any = true;
        }
    }
    closedir(listing);
    return any;
}

constexpr FileMoves PosixMoves{Exists, MoveNew, Swap, Remove, TryAgain, Newest};

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

const FileMoves& PlatformFileMoves() {
    return PosixMoves;
}

ReplacementStart BeginReplacement(const char* target, ReplacementFile& file) {
    file.stream = nullptr;
    size_t length = strlen(target);
    if (length >= sizeof file.target) {
        return ReplacementStart::Failed;
    }
    memcpy(file.target, target, length + 1);
    if (FolderRefusesFiles) {
        return ReplacementStart::FolderRefuses;
    }
    static unsigned serial = 0;
    unsigned start = static_cast<unsigned>(getpid()) * 7919u + serial++ * 257u;
    int descriptor = -1;
    for (unsigned attempt = 0; attempt < 256 && descriptor < 0; attempt++) {
        if (!NameReplacement(file, start + attempt, 0)) {
            return ReplacementStart::Failed;
        }
        descriptor = open(file.temporary, O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (descriptor < 0 && errno != EEXIST) {
            return errno == EACCES ? ReplacementStart::FolderRefuses : ReplacementStart::Failed;
        }
    }
    file.stream = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
    if (file.stream == nullptr) {
        if (descriptor >= 0) {
            close(descriptor);
            unlink(file.temporary);
        }
        return ReplacementStart::Failed;
    }
    return ReplacementStart::Ready;
}

uint32_t FinishReplacement(ReplacementFile& file) {
    bool written = FlushToDisk(file.stream);
    written = fclose(file.stream) == 0 && written;
    file.stream = nullptr;
    if (!written) {
        unlink(file.temporary);
        return ErrorWriteFault;
    }
    return PutReplacementInPlace(PosixMoves, file);
}

void AbandonReplacement(ReplacementFile& file) {
    fclose(file.stream);
    file.stream = nullptr;
    unlink(file.temporary);
}

bool PutListBackupInPlace(const char* path) {
    ReplacementFile file;
    size_t length = strlen(path);
    if (length >= sizeof file.target) {
        return false;
    }
    memcpy(file.target, path, length + 1);
    return PutBackupInPlace(PosixMoves, file, 0);
}

bool FolderOfPathExists(const char* path) {
    const char* slash = strrchr(path, '/');
    std::string folder =
        slash == nullptr ? "." : std::string(path, static_cast<size_t>(slash - path) + 1);
    struct stat status {};
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool FlushToDisk(FILE* stream) {
    return fflush(stream) == 0 && fsync(fileno(stream)) == 0;
}

bool ReadStream(FILE* stream, char* buffer, size_t size, size_t& read) {
    if (ReadFailsAfter >= 0 && size > static_cast<size_t>(ReadFailsAfter)) {
        read = fread(buffer, 1, static_cast<size_t>(ReadFailsAfter), stream);
        ReadFailsAfter = -1;
        return false;
    }
    read = fread(buffer, 1, size, stream);
    return ferror(stream) == 0;
}

uint64_t StreamLastWrite(FILE* stream) {
    struct stat status {};
    if (fstat(fileno(stream), &status) != 0) {
        return 0;
    }
    return static_cast<uint64_t>(status.st_mtim.tv_sec) * 1000000000u +
           static_cast<uint64_t>(status.st_mtim.tv_nsec);
}

uint32_t ReadFailureReason() {
    return ErrorReadFault;
}

void FailReadAfter(long bytes) {
    ReadFailsAfter = bytes;
}

void RefuseTemporaryFiles(bool refuse) {
    FolderRefusesFiles = refuse;
}

size_t AnsiToWide(const char* bytes, size_t length, WideChar* out, size_t capacity) {
    size_t units = length < capacity ? length : capacity;
    for (size_t i = 0; i < units; i++) {
        auto byte = static_cast<uint8_t>(bytes[i]);
        out[i] = byte < 0x80 ? byte : Windows1250[byte - 0x80];
    }
    return units;
}

bool WideToAnsi(const WideChar* text, size_t length, char* out, size_t capacity, size_t& written) {
    written = 0;
    if (length > capacity) {
        return false;
    }
    for (size_t i = 0; i < length; i++) {
        int byte = AnsiByte(static_cast<uint16_t>(text[i]));
        if (byte < 0) {
            return false;
        }
        out[i] = static_cast<char>(byte);
    }
    written = length;
    return true;
}
