#include "platform.h"

#include "list_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstring>
#include <cwchar>

namespace {

// The temporary name, "~vl" with four hex digits and ".tmp", is as long as the installed lists'
// own names, so that a target that fits the path limit leaves room for it beside it.
constexpr wchar_t TemporaryPrefix[] = L"~vl";
constexpr wchar_t TemporarySuffix[] = L".tmp";
constexpr size_t TemporaryNameLength = 11;
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

struct WideText {
    wchar_t* text;
    size_t length;
    bool Append(const wchar_t* part, size_t count) {
        if (length + count >= ReplacementPathSize) {
            return false;
        }
        wmemcpy(text + length, part, count);
        length += count;
        text[length] = L'\0';
        return true;
    }
};

// The target's folder and a temporary name numbered serial; beyond MAX_PATH in the form the
// system takes long paths in.
bool TemporaryName(ReplacementFile& file, unsigned serial) {
    const wchar_t* target = file.target;
    const wchar_t* slash = wcsrchr(target, L'\\');
    if (slash == nullptr) {
        return false;
    }
    size_t folder = static_cast<size_t>(slash - target) + 1;
    WideText name{file.temporary, 0};
    name.text[0] = L'\0';
    if (folder + TemporaryNameLength >= MAX_PATH && wcsncmp(target, L"\\\\?\\", 4) != 0) {
        bool network = wcsncmp(target, L"\\\\", 2) == 0;
        name.Append(network ? L"\\\\?\\UNC" : L"\\\\?\\", network ? 7 : 4);
        target += network ? 1 : 0;
        folder -= network ? 1 : 0;
    }
    wchar_t digits[4];
    for (int i = 3; i >= 0; i--, serial >>= 4) {
        digits[i] = L"0123456789abcdef"[serial & 15];
    }
    return name.Append(target, folder) && name.Append(TemporaryPrefix, 3) &&
           name.Append(digits, 4) && name.Append(TemporarySuffix, 4);
}

bool Transient(DWORD error) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_ACCESS_DENIED:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_NOT_FOUND: // another save is moving the target at this moment
        return true;
    default:
        return false;
    }
}

// Replaces an existing target, which keeps its attributes, security and links, or moves the
// file in where there is none. A read-only target stays as it is, as it would for a program
// that rewrote it in place.
bool PutInPlace(const ReplacementFile& file) {
    for (int attempt = 1;; attempt++) {
        DWORD attributes = GetFileAttributesW(file.target);
        bool missing = attributes == INVALID_FILE_ATTRIBUTES;
        if (!missing && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            return false;
        }
        // Wine's ReplaceFileW keeps none of the old attributes; where the system keeps them,
        // giving them to the new file first changes nothing.
        if (!missing && (attributes & KeptAttributes) != 0) {
            SetFileAttributesW(file.temporary, attributes & KeptAttributes);
        }
        bool done = missing ? MoveFileExW(file.temporary, file.target, MOVEFILE_WRITE_THROUGH) != 0
                            : ReplaceFileW(file.target, file.temporary, nullptr,
                                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
        if (done) {
            return true;
        }
        if (!Transient(GetLastError()) || attempt >= ReplaceAttempts) {
            return false;
        }
        Sleep(ReplaceRetryMs);
    }
}

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

bool BeginReplacement(const char* target, ReplacementFile& file) {
    file.stream = nullptr;
    if (!FullPath(target, file.target)) {
        return false;
    }
    // Another save, of this process or of another, may claim a name at any moment: creating
    // the file only where none exists claims one for good, and a taken name is passed over.
    static unsigned serial = 0;
    unsigned start = GetCurrentProcessId() * 7919u + GetTickCount() + serial++ * 257u;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < NameAttempts && handle == INVALID_HANDLE_VALUE;
         attempt++) {
        if (!TemporaryName(file, start + attempt)) {
            return false;
        }
        handle = CreateFileW(file.temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        if (error != ERROR_SUCCESS && error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED) {
            return false;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
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
        return false;
    }
    return true;
}

uint32_t FinishReplacement(ReplacementFile& file) {
    // The content reaches the disk before it takes the target's place: after a power cut the
    // target is the old list or the new one, never a file of zeros.
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.stream)));
    bool written = fflush(file.stream) == 0 && FlushFileBuffers(handle) != 0;
    written = fclose(file.stream) == 0 && written;
    file.stream = nullptr;
    if (!written) {
        DeleteFileW(file.temporary);
        return ErrorWriteFault;
    }
    if (PutInPlace(file)) {
        return 0;
    }
    // Where a failed replacement took the old list away, the new one is the only copy left.
    if (GetFileAttributesW(file.target) != INVALID_FILE_ATTRIBUTES) {
        DeleteFileW(file.temporary);
    }
    return ErrorFileNotFound;
}

void AbandonReplacement(ReplacementFile& file) {
    fclose(file.stream);
    file.stream = nullptr;
    DeleteFileW(file.temporary);
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
