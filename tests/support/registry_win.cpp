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

RegistrySnapshot::RegistrySnapshot(
    HKEY root, std::initializer_list<const char*> keys,
    std::initializer_list<std::pair<const char*, const char*>> values) {
    auto save = [&](const std::string& path, const char* name) {
        // From the first key along the path that is missing on, everything goes again.
        for (size_t end = 0; end != std::string::npos;) {
            end = path.find('\\', end + 1);
            std::string missing = path.substr(0, end);
            if (!KeyExists(root, missing.c_str())) {
                putBack_.push_back([root, missing] {
                    RegDeleteTreeA(root, missing.c_str());
                    RegDeleteKeyA(root, missing.c_str());
                });
                return;
            }
        }
        if (name != nullptr) {
            putBack_.push_back([root, path, valueName = std::string(name),
                                value = ReadValue(root, path.c_str(), name)] {
                WriteValue(root, path.c_str(), valueName.c_str(), value);
            });
            return;
        }
        putBack_.push_back([root, path, values = *ReadKey(root, path.c_str())] {
            HKEY key;
            RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr);
            for (const std::string& name : ValueNames(root, path.c_str())) {
                RegDeleteValueA(key, name.c_str());
            }
            RegCloseKey(key);
            for (const RegistryValue& value : values) {
                WriteValue(root, path.c_str(), value.Name.c_str(), value);
            }
        });
    };
    for (const char* key : keys) {
        save(key, nullptr);
    }
    for (const auto& [path, name] : values) {
        save(path, name);
    }
}

RegistrySnapshot::~RegistrySnapshot() {
    for (auto putBack = putBack_.rbegin(); putBack != putBack_.rend(); ++putBack) {
        (*putBack)();
    }
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

DWORD SettingsKey::Dword(const char* name) const {
    std::optional<RegistryValue> read = ReadValue(HKEY_CURRENT_USER, SettingsKeyPath, name);
    DWORD value = 0xDEADBEEF;
    if (read && read->Data.size() == 4) {
        std::memcpy(&value, read->Data.data(), 4);
    } else {
        ADD_FAILURE() << name << " is missing or not a number";
    }
    return value;
}

bool SettingsKey::Has(const char* name) const {
    return ReadValue(HKEY_CURRENT_USER, SettingsKeyPath, name).has_value();
}
