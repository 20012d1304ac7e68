#include "win_test_support.h"

#include "saver_settings.h"

#include <gtest/gtest.h>

void DeleteSettingsKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKeyPath);
    RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKeyPath);
}

bool SettingsKeyExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

SettingsKey::SettingsKey() {
    DeleteSettingsKey();
    LONG code = RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key_, nullptr);
    EXPECT_EQ(code, ERROR_SUCCESS) << "cannot create the settings key";
}

SettingsKey::~SettingsKey() {
    if (key_ != nullptr) {
        RegCloseKey(key_);
    }
    DeleteSettingsKey();
}

void SettingsKey::SetString(const char* name, const std::string& value) {
    SetRaw(name, REG_SZ, std::string(value.c_str(), value.size() + 1));
}

void SettingsKey::SetDword(const char* name, DWORD value) {
    SetRaw(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
}

void SettingsKey::SetRaw(const char* name, DWORD type, const std::string& bytes) {
    LONG code = RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()));
    EXPECT_EQ(code, ERROR_SUCCESS) << "cannot set " << name;
}

void SettingsKey::Remove(const char* name) {
    RegDeleteValueA(key_, name);
}

bool SettingsKey::GetDword(const char* name, DWORD& value) const {
    DWORD size = sizeof value;
    return RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
               ERROR_SUCCESS &&
           size == 4;
}

bool SettingsKey::Has(const char* name) const {
    return RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
