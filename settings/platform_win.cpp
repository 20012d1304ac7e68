#include "platform.h"

#include "file_replacement.h"
#include "list_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstring>
#include <cwchar>

namespace {

constexpr unsigned NameAttempts = 256;
// A target that another program holds for a moment (a second save, a reader, a virus scanner)
// is tried again for about a second.
constexpr int ReplaceAttempts = 50;
constexpr DWORD ReplaceRetryMs = 20;
// What the new content takes over from the file it replaces; a read-only target is never
// replaced.
constexpr DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                 FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The full path of a path of the ANSI file functions, in their code page.
bool FullPath(const char* path, wchar_t (&full)[ReplacementPathSize]) {
    wchar_t wide[ReplacementPathSize];
    UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    if (MultiByteToWideChar(codePage, 0, path, -1, wide, ReplacementPathSize) == 0) {
        return false;
    }
    DWORD length = GetFullPathNameW(wide, ReplacementPathSize, full, nullptr);
    return length > 0 && length < ReplacementPathSize;
}

bool Transient(DWORD error) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_ACCESS_DENIED:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_NOT_FOUND: // another save is moving the target at this moment
        return true;
    default:
        return false;
    }
}

// Why the last move failed: the checks between a move and the decision to try again would
// overwrite the thread's last-error value.
thread_local DWORD LastMoveError = ERROR_SUCCESS;

bool Moved(BOOL done) {
    LastMoveError = done ? ERROR_SUCCESS : GetLastError();
    return done != FALSE;
}

bool Exists(const wchar_t* path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool MoveNew(const wchar_t* from, const wchar_t* to) {
    return Moved(MoveFileExW(from, to, MOVEFILE_WRITE_THROUGH));
}

// The target keeps its attributes, security and links. A read-only target stays as it is, as
// it would for a program that rewrote it in place.
bool Swap(const wchar_t* target, const wchar_t* replacement, const wchar_t* backup) {
    DWORD attributes = GetFileAttributesW(target);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return Moved(FALSE); // another save is moving the target at this moment
    }
    if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        LastMoveError = ERROR_WRITE_PROTECT;
        return false;
    }
    // Wine's ReplaceFileW keeps none of the old attributes; where the system keeps them,
    // giving them to the new file first changes nothing.
    if ((attributes & KeptAttributes) != 0) {
        SetFileAttributesW(replacement, attributes & KeptAttributes);
    }
    return Moved(ReplaceFileW(target, replacement, backup, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                              nullptr));
}

bool Remove(const wchar_t* path) {
    return DeleteFileW(path) != 0;
}

bool TryAgain(int attempt) {
    if (!Transient(LastMoveError) || attempt >= ReplaceAttempts) {
        return false;
    }
    Sleep(ReplaceRetryMs);
    return true;
}

bool Newest(const wchar_t* pattern, wchar_t (&found)[ReplacementPathSize]) {
    WIN32_FIND_DATAW file;
    HANDLE search = FindFirstFileW(pattern, &file);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    const wchar_t* slash = wcsrchr(pattern, L'\\');
    size_t folder = slash != nullptr ? static_cast<size_t>(slash - pattern) + 1 : 0;
    FILETIME newest{};
    bool any = false;
    do {
        size_t name = wcslen(file.cFileName);
        bool later = !any || CompareFileTime(&file.ftLastWriteTime, &newest) > 0;
        if ((file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && later &&
            folder + name < ReplacementPathSize) {
            wmemcpy(found, pattern, folder);
            wmemcpy(found + folder, file.cFileName, name + 1);
            newest = file.ftLastWriteTime;
            any = true;
        }
    } while (FindNextFileW(search, &file));
    FindClose(search);
    return any;
}

constexpr FileMoves WindowsMoves{Exists, MoveNew, Swap, Remove, TryAgain, Newest};

} // namespace

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

const FileMoves& PlatformFileMoves() {
    return WindowsMoves;
}

ReplacementStart BeginReplacement(const char* target, ReplacementFile& file) {
    file.stream = nullptr;
    if (!FullPath(target, file.target)) {
        return ReplacementStart::Failed;
    }
    // Another save, of this process or of another, may claim a name at any moment: creating
    // the file only where none exists claims one for good, and a taken name is passed over.
    static unsigned serial = 0;
    unsigned start = GetCurrentProcessId() * 7919u + GetTickCount() + serial++ * 257u;
    // A name being deleted also answers "access denied", so only a folder that refuses every
    // name refuses new files.
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool everyNameDenied = true;
    for (unsigned attempt = 0; attempt < NameAttempts && handle == INVALID_HANDLE_VALUE;
         attempt++) {
        if (!NameReplacement(file, start + attempt, MAX_PATH)) {
            return ReplacementStart::Failed;
        }
        handle = CreateFileW(file.temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        if (error != ERROR_SUCCESS && error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED) {
            return ReplacementStart::Failed;
        }
        everyNameDenied = everyNameDenied && error == ERROR_ACCESS_DENIED;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return everyNameDenied ? ReplacementStart::FolderRefuses : ReplacementStart::Failed;
    }
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    file.stream = descriptor == -1 ? nullptr : _fdopen(descriptor, "wb");
    if (file.stream == nullptr) {
        if (descriptor == -1) {
            CloseHandle(handle);
        } else {
            _close(descriptor);
        }
        DeleteFileW(file.temporary);
        return ReplacementStart::Failed;
    }
    return ReplacementStart::Ready;
}

uint32_t FinishReplacement(ReplacementFile& file) {
    // The content reaches the disk before it takes the target's place: after a power cut the
    // target is the old list or the new one, never a file of zeros.
    bool written = FlushToDisk(file.stream);
    written = fclose(file.stream) == 0 && written;
    file.stream = nullptr;
    if (!written) {
        DeleteFileW(file.temporary);
        return ErrorWriteFault;
    }
    return PutReplacementInPlace(WindowsMoves, file);
}

void AbandonReplacement(ReplacementFile& file) {
    fclose(file.stream);
    file.stream = nullptr;
    DeleteFileW(file.temporary);
}

bool PutListBackupInPlace(const char* path) {
    ReplacementFile file;
    return FullPath(path, file.target) && PutBackupInPlace(WindowsMoves, file, MAX_PATH);
}

bool FolderOfPathExists(const char* path) {
    wchar_t folder[ReplacementPathSize];
    wchar_t* slash = FullPath(path, folder) ? wcsrchr(folder, L'\\') : nullptr;
    if (slash == nullptr) {
        return false;
    }
    slash[1] = L'\0'; // a drive's or share's root keeps its backslash
    DWORD attributes = GetFileAttributesW(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FlushToDisk(FILE* stream) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    return fflush(stream) == 0 && FlushFileBuffers(handle) != 0;
}

bool ReadStream(FILE* stream, char* buffer, size_t size, size_t& read) {
    SetLastError(ERROR_SUCCESS);
    read = fread(buffer, 1, size, stream);
    return ferror(stream) == 0;
}

uint64_t StreamLastWrite(FILE* stream) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    FILETIME written{};
    if (GetFileTime(handle, nullptr, nullptr, &written) == 0) {
        return 0;
    }
    return (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

uint32_t ReadFailureReason() {
    DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ErrorReadFault;
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
