#include "system_library.h"

#include <cwchar>

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD directories);

// Present exactly where LoadLibraryExW takes the LOAD_LIBRARY_SEARCH flags (the same update
// brought both).
SetDefaultDllDirectoriesFunction SetDefaultDllDirectoriesEntry() {
    return FindEntry<SetDefaultDllDirectoriesFunction>(GetModuleHandleW(L"kernel32.dll"),
                                                       "SetDefaultDllDirectories");
}

bool SearchFlagsAvailable() {
    return SetDefaultDllDirectoriesEntry() != nullptr;
}

// "C:\..." or "\\server\share\...".
bool IsFullPath(const char* path) {
    return (path[0] != '\0' && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
           (path[0] == '\\' && path[1] == '\\');
}

} // namespace

void LoadLibrariesFromSystemFolderOnly() {
    SetDefaultDllDirectoriesFunction restrict = SetDefaultDllDirectoriesEntry();
    if (restrict != nullptr) {
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (SearchFlagsAvailable()) {
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // The full path; what the library needs is then looked for in its folder first.
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    size_t nameLength = wcslen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    path[length] = L'\\';
    wmemcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadRegisteredLibrary(const char* path) {
    if (!IsFullPath(path)) {
        wchar_t name[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, path, -1, name, MAX_PATH) == 0) {
            return nullptr;
        }
        return LoadSystemLibrary(name);
    }
    DWORD search = SearchFlagsAvailable()
                       ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                       : LOAD_WITH_ALTERED_SEARCH_PATH;
    return LoadLibraryExA(path, nullptr, search);
}
