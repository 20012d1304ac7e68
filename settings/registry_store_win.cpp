#include "registry_store.h"

#include "list_file.h"
#include "platform.h"

#include <cwchar>

namespace {

constexpr char VerseRoundValue[] = "VerseRound";

constexpr char HtmlHelpServerKey[] =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

LONG OpenSettingsKey(REGSAM access, HKEY& key) {
    return RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, access, &key);
}

void ReadNumber(HKEY key, const char* name, void* field, uint32_t fallback) {
    DWORD size = 4;
    if (RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(field), &size) !=
        ERROR_SUCCESS) {
        *static_cast<uint32_t*>(field) = fallback;
    }
}

// Why a file that could not be opened for reading could not: 0 when there is no such file (a
// list yet to be created), otherwise the system's reason.
uint32_t UnreadableReason(const char* path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file); // readable again a moment later: still not read
        return ErrorFileNotFound;
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
}

uint32_t LoadList(HKEY key, const char* name, uint32_t width, WideChar*& block, uint32_t& count,
                  ListFileState& state) {
    RegistryPath path;
    uint32_t code = ReadRegistryPath(key, name, path);
    if (code != 0) {
        block = nullptr;
        count = 0;
        bool ordered = state.Ordered;
        state = ListFileState{};
        state.Ordered = ordered;
        return code;
    }
    block = LoadListFile(path, width, count, state);
    code = block == nullptr ? ThreadLastError() : 0;
    if (code == 0) {
        return 0;
    }
    // Whatever was there is not what the empty list in memory shows.
    state.Stamp.Known = false;
    if (code == ErrorFileNotFound) {
        uint32_t reason = UnreadableReason(path);
        state.Stamp.Exists = reason != 0;
        return reason != 0 ? reason : code;
    }
    state.Stamp.Exists = true;
    return code;
}

uint32_t WriteNumber(HKEY key, const char* name, uint32_t value) {
    return static_cast<uint32_t>(
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4));
}

void KeepFirstError(uint32_t& result, uint32_t code) {
    if (result == 0) {
        result = code;
    }
}

uint32_t WriteNumbers(HKEY key, const SaverSettings& record, const uint32_t* screens) {
    uint32_t result = WriteNumber(key, "TextSpeed", record.TextSpeed);
    KeepFirstError(result, WriteNumber(key, "FadeSpeed", record.FadeSpeed));
    KeepFirstError(result, WriteNumber(key, "Options", record.Options));
    if (screens != nullptr) {
        KeepFirstError(result, WriteNumber(key, "Screens", *screens));
    }
    return result;
}

// A list saved as new is written over whatever its file holds.
uint32_t SaveList(HKEY key, const char* name, const WideChar* block, uint32_t count, uint32_t width,
                  ListFileState& state, bool asNew) {
    RegistryPath path;
    uint32_t code = ReadRegistryPath(key, name, path);
    if (code != 0) {
        return code;
    }
    if (asNew) {
        StampListFile(path, state.Stamp);
        state.Digest = ~ListDigest(block, count, width, state.Ordered);
    }
    return SaveListFile(path, block, count, width, state);
}

uint32_t SaveLists(const SaverSettings& record, ListFileStates& states, bool asNew,
                   const uint32_t* screens) {
    states.Texts.WriteError = 0;
    states.Fonts.WriteError = 0;
    HKEY key;
    LONG opened = OpenSettingsKey(KEY_ALL_ACCESS, key);
    if (opened != ERROR_SUCCESS) {
        return static_cast<uint32_t>(opened);
    }
    uint32_t result = SaveList(key, "TextsFile", record.Texts, record.TextCount, TextSlotWidth,
                               states.Texts, asNew);
    KeepFirstError(result, SaveList(key, "FontsFile", record.Fonts, record.FontCount, FontSlotWidth,
                                    states.Fonts, asNew));
    if (states.Texts.WriteError == 0 && states.Fonts.WriteError == 0) {
        KeepFirstError(result, WriteNumbers(key, record, screens));
    }
    RegCloseKey(key);
    return result;
}

uint32_t WritePath(HKEY key, const wchar_t* name, const wchar_t* path) {
    DWORD size = static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t));
    return static_cast<uint32_t>(
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), size));
}

} // namespace

uint32_t ReadRegistryPath(HKEY key, const char* name, RegistryPath& path) {
    DWORD size = RegistryPathSize;
    LONG code = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size);
    if (code != ERROR_SUCCESS) {
        path[0] = '\0';
        return static_cast<uint32_t>(code);
    }
    path[size <= RegistryPathSize ? size : RegistryPathSize] = '\0';
    return 0;
}

uint32_t LoadSettings(SaverSettings& record) {
    ListFileStates states;
    return LoadSettings(record, states);
}

uint32_t LoadSettings(SaverSettings& record, ListFileStates& states) {
    uint32_t result = LoadSettingsLists(record, states);
    LoadSettingsNumbers(record);
    return result;
}

uint32_t LoadSettingsNumbers(SaverSettings& record) {
    HKEY key;
    LONG opened = OpenSettingsKey(KEY_READ, key);
    if (opened != ERROR_SUCCESS) {
        return static_cast<uint32_t>(opened);
    }
    ReadNumber(key, "TextSpeed", &record.TextSpeed, DefaultTextSpeed);
    ReadNumber(key, "FadeSpeed", &record.FadeSpeed, DefaultFadeSpeed);
    ReadNumber(key, "LastDay", &record.LastDay, 0);
    ReadNumber(key, "LastText", &record.LastText, 0);
    ReadNumber(key, "Options", &record.Options, DefaultOptions);
    RegCloseKey(key);
    return 0;
}

uint32_t ReadScreens() {
    uint32_t screens = VerseOnEveryScreen;
    HKEY key;
    if (OpenSettingsKey(KEY_READ, key) == ERROR_SUCCESS) {
        ReadNumber(key, "Screens", &screens, VerseOnEveryScreen);
        RegCloseKey(key);
    }
    return screens;
}

uint32_t LoadSettingsLists(SaverSettings& record) {
    ListFileStates states;
    return LoadSettingsLists(record, states);
}

uint32_t LoadSettingsLists(SaverSettings& record, ListFileStates& states) {
    uint32_t result = LoadSettingsList(SettingsList::Texts, record, states);
    // With no key both codes are the key's.
    KeepFirstError(result, LoadSettingsList(SettingsList::Fonts, record, states));
    return result;
}

uint32_t LoadSettingsList(SettingsList list, SaverSettings& record, ListFileStates& states) {
    HKEY key;
    LONG opened = OpenSettingsKey(KEY_READ, key);
    if (opened != ERROR_SUCCESS) {
        return static_cast<uint32_t>(opened);
    }
    uint32_t result = list == SettingsList::Texts
                          ? LoadList(key, "TextsFile", TextSlotWidth, record.Texts,
                                     record.TextCount, states.Texts)
                          : LoadList(key, "FontsFile", FontSlotWidth, record.Fonts,
                                     record.FontCount, states.Fonts);
    RegCloseKey(key);
    return result;
}

uint32_t SaveSettings(const SaverSettings& record) {
    ListFileStates states;
    return SaveLists(record, states, true, nullptr);
}

uint32_t SaveSettings(const SaverSettings& record, ListFileStates& states,
                      const uint32_t* screens) {
    return SaveLists(record, states, false, screens);
}

uint32_t CreateSettingsKey(const wchar_t* texts, const wchar_t* fonts, const wchar_t* help) {
    HKEY key;
    DWORD disposition = 0;
    LONG created = RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, 0,
                                   KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (created != ERROR_SUCCESS) {
        return static_cast<uint32_t>(created);
    }
    uint32_t result = 0;
    if (disposition == REG_CREATED_NEW_KEY) {
        result = WritePath(key, L"TextsFile", texts);
        KeepFirstError(result, WritePath(key, L"FontsFile", fonts));
        if (help != nullptr) {
            KeepFirstError(result, WritePath(key, L"HelpFile", help));
        }
    }
    RegCloseKey(key);
    if (result != 0) {
        RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKeyPath);
    }
    return result;
}

void ReleaseSettingsLists(SaverSettings& record) {
    HeapRelease(record.Texts);
    record.Texts = nullptr;
    record.TextCount = 0;
    HeapRelease(record.Fonts);
    record.Fonts = nullptr;
    record.FontCount = 0;
}

uint8_t* LoadVerseRound(uint32_t size) {
    HKEY key;
    if (OpenSettingsKey(KEY_READ, key) != ERROR_SUCCESS) {
        return nullptr;
    }
    auto* block = static_cast<uint8_t*>(HeapAllocZero(size));
    DWORD read = size;
    if (block != nullptr &&
        (RegQueryValueExA(key, VerseRoundValue, nullptr, nullptr, block, &read) != ERROR_SUCCESS ||
         read != size)) {
        HeapRelease(block);
        block = nullptr;
    }
    RegCloseKey(key);
    return block;
}

uint32_t SaveLastVerse(const SaverSettings& record, const uint8_t* round, uint32_t roundSize) {
    HKEY key;
    LONG opened = OpenSettingsKey(KEY_WRITE, key);
    if (opened != ERROR_SUCCESS) {
        return static_cast<uint32_t>(opened);
    }
    uint32_t result = WriteNumber(key, "LastDay", static_cast<uint32_t>(record.LastDay));
    KeepFirstError(result, WriteNumber(key, "LastText", record.LastText));
    if (round != nullptr) {
        KeepFirstError(result, static_cast<uint32_t>(RegSetValueExA(key, VerseRoundValue, 0,
                                                                    REG_BINARY, round, roundSize)));
    }
    RegCloseKey(key);
    return result;
}

uint32_t ReadHelpFile(RegistryPath& path) {
    HKEY key;
    LONG opened = OpenSettingsKey(KEY_READ, key);
    if (opened != ERROR_SUCCESS) {
        path[0] = '\0';
        return static_cast<uint32_t>(opened);
    }
    uint32_t code = ReadRegistryPath(key, "HelpFile", path);
    RegCloseKey(key);
    return code;
}

bool ReadHtmlHelpServerPath(RegistryPath& path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, HtmlHelpServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    uint32_t code = ReadRegistryPath(key, nullptr, path);
    RegCloseKey(key);
    return code == 0;
}

bool DesktopAsksForPassword() {
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD word = 0;
    DWORD size = sizeof word;
    LONG read = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&word), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && word != 0;
}
