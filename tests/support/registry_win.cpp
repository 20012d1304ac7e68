#include "support/registry.h"

#include "saver_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD LargestValue = 4096;

} // namespace

bool KeyExists(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::optional<RegistryValue> ReadValue(HKEY root, const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegistryValue value{name, 0, {}};
    DWORD size = 0;
    LONG code = RegQueryValueExA(key, name, nullptr, &value.Type, nullptr, &size);
    if (code == ERROR_SUCCESS) {
        value.Data.resize(size);
        code = RegQueryValueExA(key, name, nullptr, &value.Type,
                                reinterpret_cast<BYTE*>(value.Data.data()), &size);
    }
    RegCloseKey(key);
    if (code != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.Data.resize(size);
    return value;
}

std::string ReadString(HKEY root, const char* path, const char* name) {
    std::optional<RegistryValue> value = ReadValue(root, path, name);
    if (!value || (value->Type != REG_SZ && value->Type != REG_EXPAND_SZ)) {
        return std::string();
    }
    return std::string(value->Data.c_str());
}

DWORD ReadDword(HKEY root, const char* path, const char* name) {
    std::optional<RegistryValue> value = ReadValue(root, path, name);
    DWORD number = ~0u;
    if (value && value->Type == REG_DWORD && value->Data.size() == 4) {
        std::memcpy(&number, value->Data.data(), 4);
    }
    return number;
}

void WriteValue(HKEY root, const char* path, const char* name,
                const std::optional<RegistryValue>& value) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot open " << path;
        return;
    }
    if (value) {
        EXPECT_EQ(RegSetValueExA(key, name, 0, value->Type,
                                 reinterpret_cast<const BYTE*>(value->Data.data()),
                                 static_cast<DWORD>(value->Data.size())),
                  ERROR_SUCCESS)
            << "cannot set " << name;
    } else {
        RegDeleteValueA(key, name);
    }
    RegCloseKey(key);
}

void WriteString(HKEY root, const char* path, const char* name, const std::string& text) {
    WriteValue(root, path, name,
               RegistryValue{name, REG_SZ, std::string(text.c_str(), text.size() + 1)});
}

void WriteDword(HKEY root, const char* path, const char* name, DWORD number) {
    WriteValue(root, path, name,
               RegistryValue{name, REG_DWORD, std::string(reinterpret_cast<char*>(&number), 4)});
}

std::optional<std::vector<RegistryValue>> ReadKey(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<RegistryValue> values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        RegistryValue value{"", 0, std::string(LargestValue, '\0')};
        DWORD size = LargestValue;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, &value.Type,
                          reinterpret_cast<BYTE*>(value.Data.data()), &size) != ERROR_SUCCESS) {
            break;
        }
        value.Name = name;
        value.Data.resize(size);
        values.push_back(value);
    }
    RegCloseKey(key);
    return values;
}

void RestoreKey(HKEY root, const char* path,
                const std::optional<std::vector<RegistryValue>>& values) {
    RegDeleteTreeA(root, path);
    RegDeleteKeyA(root, path);
    if (!values) {
        return;
    }
    for (const RegistryValue& value : *values) {
        WriteValue(root, path, value.Name.c_str(), value);
    }
    if (values->empty()) {
        HKEY key;
        RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
}

std::vector<std::string> ValueNames(HKEY root, const char* path) {
    std::vector<std::string> names;
    if (std::optional<std::vector<RegistryValue>> values = ReadKey(root, path)) {
        for (const RegistryValue& value : *values) {
            names.push_back(value.Name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const char* path, const char* name)
    : root_(root), path_(path), name_(name) {
    // Find the first key along the path that is missing: everything from there on is removed
    // again at the end.
    for (size_t end = 0; end != std::string::npos && createdFrom_.empty();) {
        end = path_.find('\\', end + 1);
        std::string prefix = path_.substr(0, end);
        if (!KeyExists(root_, prefix.c_str())) {
            createdFrom_ = prefix;
        }
    }
    if (createdFrom_.empty()) {
        old_ = ReadValue(root_, path_.c_str(), name_.c_str());
    }
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (!createdFrom_.empty()) {
        RegDeleteTreeA(root_, createdFrom_.c_str());
        RegDeleteKeyA(root_, createdFrom_.c_str());
        return;
    }
    WriteValue(root_, path_.c_str(), name_.c_str(), old_);
}

void ScopedRegistryValue::SetString(const std::string& value) {
    WriteString(root_, path_.c_str(), name_.c_str(), value);
}

void ScopedRegistryValue::SetDword(DWORD value) {
    WriteDword(root_, path_.c_str(), name_.c_str(), value);
}

void ScopedRegistryValue::Remove() {
    WriteValue(root_, path_.c_str(), name_.c_str(), std::nullopt);
}

void DeleteSettingsKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
    RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKeyPath);
}

bool SettingsKeyExists() {
    return KeyExists(HKEY_CURRENT_USER, SettingsKeyPath);
}

SettingsKey::SettingsKey() {
    DeleteSettingsKey();
    HKEY key;
    LONG code = RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr);
    EXPECT_EQ(code, ERROR_SUCCESS) << "cannot create the settings key";
    RegCloseKey(key);
}

SettingsKey::~SettingsKey() {
    DeleteSettingsKey();
}

void SettingsKey::SetString(const char* name, const std::string& value) {
    WriteString(HKEY_CURRENT_USER, SettingsKeyPath, name, value);
}

void SettingsKey::SetDword(const char* name, DWORD value) {
    WriteDword(HKEY_CURRENT_USER, SettingsKeyPath, name, value);
}

void SettingsKey::SetRaw(const char* name, DWORD type, const std::string& bytes) {
    WriteValue(HKEY_CURRENT_USER, SettingsKeyPath, name, RegistryValue{name, type, bytes});
}

void SettingsKey::Remove(const char* name) {
    WriteValue(HKEY_CURRENT_USER, SettingsKeyPath, name, std::nullopt);
}

bool SettingsKey::GetDword(const char* name, DWORD& value) const {
    std::optional<RegistryValue> read = ReadValue(HKEY_CURRENT_USER, SettingsKeyPath, name);
    if (!read || read->Data.size() != 4) {
        return false;
    }
    std::memcpy(&value, read->Data.data(), 4);
    return true;
}

bool SettingsKey::Has(const char* name) const {
    return ReadValue(HKEY_CURRENT_USER, SettingsKeyPath, name).has_value();
}
