#include "help_server_stand_in.h"

#include <gtest/gtest.h>

namespace {

constexpr char HelpClassKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}";
constexpr char HelpServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

bool KeyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

} // namespace

std::vector<StandInCall> StandInCalls(const std::string& module) {
    std::vector<StandInCall> calls;
    HMODULE loaded = GetModuleHandleA(module.c_str());
    if (loaded == nullptr) {
        return calls;
    }
    auto count = reinterpret_cast<StandInCallCountFunction>(
        reinterpret_cast<void*>(GetProcAddress(loaded, "StandInCallCount")));
    auto at = reinterpret_cast<StandInCallAtFunction>(
        reinterpret_cast<void*>(GetProcAddress(loaded, "StandInCallAt")));
    EXPECT_NE(count, nullptr);
    EXPECT_NE(at, nullptr);
    for (int i = 0; count != nullptr && at != nullptr && i < count(); i++) {
        calls.push_back(*at(i));
    }
    return calls;
}

std::string StandInModulePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string module(path);
    return module.substr(0, module.find_last_of('\\') + 1) + "html_help_stand_in.dll";
}

HelpServerStandIn::HelpServerStandIn() {
    classExisted_ = KeyExists(HelpClassKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, HelpServerKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        existed_ = true;
        char old[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        DWORD type = 0;
        hadValue_ = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(old),
                                     &size) == ERROR_SUCCESS;
        type_ = type;
        old_.assign(old, size);
        RegCloseKey(key);
    }
    std::string module = StandInModulePath();
    EXPECT_NE(GetFileAttributesA(module.c_str()), INVALID_FILE_ATTRIBUTES) << module;
    EXPECT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, HelpServerKey, REG_SZ, module.c_str(),
                           static_cast<DWORD>(module.size())),
              ERROR_SUCCESS);
    SetEnvironmentVariableA(StandInFailVariable, nullptr);
}

HelpServerStandIn::~HelpServerStandIn() {
    if (!classExisted_) {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, HelpClassKey);
        RegDeleteKeyA(HKEY_CLASSES_ROOT, HelpClassKey);
        return;
    }
    if (!existed_) {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, HelpServerKey);
        return;
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, HelpServerKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    if (hadValue_) {
        RegSetValueExA(key, nullptr, 0, type_, reinterpret_cast<const BYTE*>(old_.data()),
                       static_cast<DWORD>(old_.size()));
    } else {
        RegDeleteValueA(key, nullptr);
    }
    RegCloseKey(key);
}
