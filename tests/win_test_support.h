#pragma once
// Registry helpers for tests under Wine: the settings key is created and removed by the test,
// as the installer would create it, so every test leaves the registry as it found it.

#include <windows.h>

#include <string>

// Creates HKCU\Software\Quorvane\Verselume\1.0 afresh (removing a leftover of an earlier run)
// and removes it again when the object goes.
class SettingsKey {
  public:
    SettingsKey();
    ~SettingsKey();
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    void SetString(const char* name, const std::string& value);
    void SetDword(const char* name, DWORD value);
    // A value of any type with exactly these bytes.
    void SetRaw(const char* name, DWORD type, const std::string& bytes);
    void Remove(const char* name);
    // False when the value is missing or not 4 bytes long.
    bool GetDword(const char* name, DWORD& value) const;
    bool Has(const char* name) const;

  private:
    HKEY key_ = nullptr;
};

// Removes the settings key and everything under it, if it exists.
void DeleteSettingsKey();
bool SettingsKeyExists();
