#include "registry_store.h"

#include "list_file.h"
#include "platform.h"

namespace {

void ReadNumber(HKEY key, const char* name, void* field, uint32_t fallback) {
    DWORD size = 4;
    if (RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(field), &size) !=
        ERROR_SUCCESS) {
        *static_cast<uint32_t*>(field) = fallback;
    }
}

uint32_t LoadList(HKEY key, const char* name, uint32_t width, WideChar*& block, uint32_t& count,
                  ListFileForm& form) {
    RegistryPath path;
    uint32_t code = ReadRegistryPath(key, name, path);
    if (code != 0) {
        block = nullptr;
        count = 0;
        form = ListFileForm::None;
        return code;
    }
    block = ReadListFile(path, width, count, form);
    return block == nullptr ? ThreadLastError() : 0;
}

uint32_t WriteNumber(HKEY key, const char* name, uint32_t value) {
    return static_cast<uint32_t>(
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4));
}

uint32_t SaveList(HKEY key, const char* name, const WideChar* block, uint32_t count, uint32_t width,
                  ListFileForm form) {
    RegistryPath path;
    uint32_t code = ReadRegistryPath(key, name, path);
    return code != 0 ? code : WriteListFile(path, block, count, width, form);
}

void KeepFirstError(uint32_t& result, uint32_t code) {
    if (result == 0) {
        result = code;
    }
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

uint32_t LoadSettings(SaverSettings& record, ListForms* forms) {
    HKEY key;
    LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_READ, &key);
    if (opened != ERROR_SUCCESS) {
        return static_cast<uint32_t>(opened);
    }
    ListForms read;
    uint32_t result =
        LoadList(key, "TextsFile", TextSlotWidth, record.Texts, record.TextCount, read.Texts);
    KeepFirstError(result, LoadList(key, "FontsFile", FontSlotWidth, record.Fonts, record.FontCount,
                                    read.Fonts));
    if (forms != nullptr) {
        *forms = read;
    }

    ReadNumber(key, "TextSpeed", &record.TextSpeed, DefaultTextSpeed);
    ReadNumber(key, "FadeSpeed", &record.FadeSpeed, DefaultFadeSpeed);
    ReadNumber(key, "LastDay", &record.LastDay, 0);
    ReadNumber(key, "LastText", &record.LastText, 0);
    ReadNumber(key, "Options", &record.Options, DefaultOptions);
    RegCloseKey(key);
    return result;
}

uint32_t SaveSettings(const SaverSettings& record, const ListForms& forms) {
    HKEY key;
    LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_ALL_ACCESS, &key);
    if (opened != ERROR_SUCCESS) {
        return static_cast<uint32_t>(opened);
    }
    uint32_t result = WriteNumber(key, "TextSpeed", record.TextSpeed);
    KeepFirstError(result, WriteNumber(key, "FadeSpeed", record.FadeSpeed));
    KeepFirstError(result, WriteNumber(key, "Options", record.Options));
    KeepFirstError(result, SaveList(key, "TextsFile", record.Texts, record.TextCount, TextSlotWidth,
                                    forms.Texts));
    KeepFirstError(result, SaveList(key, "FontsFile", record.Fonts, record.FontCount, FontSlotWidth,
                                    forms.Fonts));
    RegCloseKey(key);
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
