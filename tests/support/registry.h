#pragma once
// The registry for tests under Wine: values and keys read, written and put back as they were,
// and the settings key, which the test creates and removes as the installer would, so every test
// leaves the registry as it found it.

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One value as the registry holds it: its type and exact bytes.
struct RegistryValue {
    std::string Name;
    DWORD Type = 0;
    std::string Data;
};

bool KeyExists(HKEY root, const char* path);
// The value, or none when it or its key is missing ("" names the key's default value).
std::optional<RegistryValue> ReadValue(HKEY root, const char* path, const char* name);
// A string value as the ANSI program reads it, without its terminator; "" when missing.
std::string ReadString(HKEY root, const char* path, const char* name);
// The number, or ~0 when the value is missing or not a 4-byte REG_DWORD.
DWORD ReadDword(HKEY root, const char* path, const char* name);
// Writes the value, creating the key if needed; none removes the value.
void WriteValue(HKEY root, const char* path, const char* name,
                const std::optional<RegistryValue>& value);
void WriteString(HKEY root, const char* path, const char* name, const std::string& text);
void WriteDword(HKEY root, const char* path, const char* name, DWORD number);
// Every value of a key, or none when the key does not exist.
std::optional<std::vector<RegistryValue>> ReadKey(HKEY root, const char* path);
// The names of the key's values, sorted.
std::vector<std::string> ValueNames(HKEY root, const char* path);

// Keys and values as they were when the record was made, put back when it goes: each key with
// exactly its values again (its subkeys are left to records of their own), each value as it was.
// What did not exist is removed, with every key along its path that did not exist either.
class RegistrySnapshot {
  public:
    RegistrySnapshot(HKEY root, std::initializer_list<const char*> keys,
                     std::initializer_list<std::pair<const char*, const char*>> values = {});
    ~RegistrySnapshot();
    RegistrySnapshot(const RegistrySnapshot&) = delete;
    RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

  private:
    std::vector<std::function<void()>> putBack_;
};

// A registry value changed for the length of a test and put back at the end.
class ScopedRegistryValue {
  public:
    ScopedRegistryValue(HKEY root, const char* path, const char* name)
        : saved_(root, {}, {{path, name}}), root_(root), path_(path), name_(name) {}

    void SetString(const std::string& value);
    void SetDword(DWORD value);
    void Remove();

  private:
    RegistrySnapshot saved_;
    HKEY root_;
    std::string path_;
    std::string name_;
};

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
    // The number; a missing value, or one not 4 bytes long, fails the test and reads 0xDEADBEEF.
    DWORD Dword(const char* name) const;
    bool Has(const char* name) const;
};

// Removes the settings key and everything under it, if it exists.
void DeleteSettingsKey();
bool SettingsKeyExists();
