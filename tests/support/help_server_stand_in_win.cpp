#include "support/help_server_stand_in.h"

#include "system_library.h"

#include <gtest/gtest.h>

std::vector<StandInCall> StandInCalls(const std::string& module) {
    std::vector<StandInCall> calls;
    HMODULE loaded = GetModuleHandleA(module.c_str());
    if (loaded == nullptr) {
        return calls;
    }
    auto count = FindEntry<StandInCallCountFunction>(loaded, "StandInCallCount");
    auto at = FindEntry<StandInCallAtFunction>(loaded, "StandInCallAt");
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

void StandInFails(int code) {
    SetEnvironmentVariableA(StandInFailVariable, code < 0 ? nullptr : std::to_string(code).c_str());
}

HelpServerStandIn::HelpServerStandIn()
    : server_(HKEY_CLASSES_ROOT, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32",
              "") {
    std::string module = StandInModulePath();
    EXPECT_NE(GetFileAttributesA(module.c_str()), INVALID_FILE_ATTRIBUTES) << module;
    Register(module);
    StandInFails(-1);
}
