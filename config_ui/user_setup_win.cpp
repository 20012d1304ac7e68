#include "user_setup.h"

#include "program_module.h"
#include "registry_store.h"

#include <cwchar>

namespace {

struct SampleList {
    const wchar_t* Resource;
    const wchar_t* Name;
};
constexpr SampleList TextsSample = {L"SAMPLETEXTS", L"versete.txt"};
constexpr SampleList FontsSample = {L"SAMPLEFONTS", L"fonturi.txt"};

bool JoinPath(const wchar_t* folder, const wchar_t* name, wchar_t (&path)[MAX_PATH]) {
    int length = swprintf(path, MAX_PATH, L"%ls\\%ls", folder, name);
    return length > 0 && length < MAX_PATH;
}

// The sample's bytes, exactly as the installer packs them, into a new file at path; a file that
// is there already is the user's and stays as it is.
uint32_t WriteSample(const SampleList& sample, const wchar_t* path) {
    HMODULE program = ProgramModule();
    HRSRC found = FindResourceW(program, sample.Resource, MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? LoadResource(program, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    DWORD size = found != nullptr ? SizeofResource(program, found) : 0;
    if (bytes == nullptr || size == 0) {
        return ERROR_RESOURCE_DATA_NOT_FOUND;
    }
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS ? 0 : error;
    }
    DWORD written = 0;
    bool whole = WriteFile(file, bytes, size, &written, nullptr) != FALSE && written == size &&
                 FlushFileBuffers(file) != FALSE;
    CloseHandle(file);
    if (!whole) {
        DeleteFileW(path); // a part of a list is no list
        return ERROR_WRITE_FAULT;
    }
    return 0;
}

uint32_t PlaceSample(const wchar_t* folder, const SampleList& sample, wchar_t (&path)[MAX_PATH]) {
    return JoinPath(folder, sample.Name, path) ? WriteSample(sample, path)
                                               : ERROR_FILENAME_EXCED_RANGE;
}

// verselume.chm beside the program, as the installer puts it; false when there is none.
bool HelpBesideProgram(wchar_t (&path)[MAX_PATH]) {
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    wchar_t* name = wcsrchr(path, L'\\');
    if (name == nullptr) {
        return false;
    }
    *name = L'\0';
    wchar_t folder[MAX_PATH];
    wcscpy(folder, path);
    DWORD attributes = JoinPath(folder, L"verselume.chm", path) ? GetFileAttributesW(path)
                                                                : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

bool UserListsFolder(wchar_t (&folder)[MAX_PATH]) {
    wchar_t appData[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    return length > 0 && length < MAX_PATH && JoinPath(appData, L"Verselume", folder);
}

uint32_t SetUpForUser(const wchar_t* folder) {
    if (CreateDirectoryW(folder, nullptr) == FALSE && GetLastError() != ERROR_ALREADY_EXISTS) {
        return GetLastError();
    }
    wchar_t texts[MAX_PATH];
    wchar_t fonts[MAX_PATH];
    uint32_t result = PlaceSample(folder, TextsSample, texts);
    if (result == 0) {
        result = PlaceSample(folder, FontsSample, fonts);
    }
    if (result != 0) {
        return result;
    }
    wchar_t help[MAX_PATH];
    return CreateSettingsKey(texts, fonts, HelpBesideProgram(help) ? help : nullptr);
}
