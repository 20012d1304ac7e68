// The help launcher against a stand-in HTML Help control that the tests build and register in
// the prefix in place of the system's. The loader's state lives for the whole process, so every
// case starts with the control not loaded (each runs in a process of its own).
#include "help_launcher.h"

#include "config_dialog.h"
#include "registry_store.h"
#include "resource_ids.h"
#include "support/dialogs.h"
#include "support/files.h"
#include "support/help_server_stand_in.h"
#include "support/messages.h"
#include "support/registry.h"
#include "support/system_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr char SystemHelpModule[] = "hhctrl.ocx";

// A Wine DLL override for hhctrl.ocx, for the test only: "" makes Wine's own unloadable.
struct SystemHelpModuleOverride {
    ScopedRegistryValue value{HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", SystemHelpModule};

    explicit SystemHelpModuleOverride(const char* loadOrder) { value.SetString(loadOrder); }
};

bool IsLoaded(const std::string& module) {
    return GetModuleHandleA(module.c_str()) != nullptr;
}

// The calls the stand-in loaded from path has received.
std::vector<StandInCall> CallsReceived(const std::string& path = StandInModulePath()) {
    return StandInCalls(path);
}

// An installed Verselume with its help file registered, and the stand-in as the help control.
struct HelpInstalled {
    SettingsKey key;
    HelpServerStandIn server;
    std::string helpFile;
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);

    explicit HelpInstalled(const std::string& file = "C:\\Program Files\\Verselume\\verselume.chm")
        : helpFile(file) {
        key.SetString("HelpFile", helpFile);
    }
    ~HelpInstalled() {
        DestroyWindow(owner);
        StandInFails(-1);
    }
};

TEST(SetDefaultLastError, KeepsAPendingCodeOrSetsTheDefault) {
    struct Row {
        DWORD pending, fallback, expected;
    };
    for (const Row& row : {Row{0, 2, 2}, Row{5, 2, 5}, Row{0, 14, 14}, Row{1460, 14, 1460}}) {
        SetLastError(row.pending);
        EXPECT_EQ(SetDefaultLastError(row.fallback), row.expected);
        EXPECT_EQ(GetLastError(), row.expected);
    }
}

TEST(ReadHtmlHelpServerPath, ReadsTheRegisteredModuleAsStored) {
    HelpServerStandIn server;
    char path[MAX_PATH + 1];
    server.Register("%SystemRoot%\\System32\\hhctrl.ocx");
    ASSERT_TRUE(ReadHtmlHelpServerPath(path));
    EXPECT_STREQ(path, "%SystemRoot%\\System32\\hhctrl.ocx") << "stored text, not expanded";

    server.Register(std::string(259, 'p'));
    ASSERT_TRUE(ReadHtmlHelpServerPath(path));
    EXPECT_EQ(std::string(path), std::string(259, 'p'));

    server.Register(std::string(260, 'p')); // with its terminator, one byte too many
    EXPECT_FALSE(ReadHtmlHelpServerPath(path));

    server.Unregister();
    EXPECT_FALSE(ReadHtmlHelpServerPath(path));
}

TEST(OpenHelp, WithoutTopicHandsOverTheHelpFileUnchanged) {
    // Stored text is used as it is, environment references included.
    HelpInstalled installed("%LOCALAPPDATA%\\Programs\\Verselume\\verselume.chm");
    EXPECT_EQ(OpenHelp(installed.owner, nullptr), StandInHelpWindow);
    std::vector<StandInCall> calls = CallsReceived();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Owner, installed.owner);
    EXPECT_EQ(std::string(calls[0].File), installed.helpFile);
    EXPECT_EQ(calls[0].Command, 0u) << "HH_DISPLAY_TOPIC";
    EXPECT_EQ(calls[0].Data, 0u);
}

TEST(OpenHelp, TopicFollowsTheFileAfterTheSeparator) {
    struct Row {
        std::string file;
        const char* topic;
    };
    // The longest HelpFile the buffer holds, joined in full.
    const Row rows[] = {{"C:\\Verselume\\verselume.chm", "texts.html"},
                        {"C:\\Verselume\\verselume.chm", "fonts.html"},
                        {"C:\\" + std::string(256, 'd'), "texts.html"}};
    HelpInstalled installed;
    size_t received = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.topic);
        installed.key.SetString("HelpFile", row.file);
        EXPECT_EQ(OpenHelp(installed.owner, row.topic), StandInHelpWindow);
        std::vector<StandInCall> calls = CallsReceived();
        ASSERT_EQ(calls.size(), ++received);
        EXPECT_EQ(std::string(calls.back().File), row.file + "::/" + row.topic);
    }
}

// Once loaded the control stays and is not loaded again: a second copy registered meanwhile is
// never touched.
TEST(OpenHelp, LoadsTheControlOnce) {
    HelpInstalled installed;
    ScratchDir dir;
    EXPECT_FALSE(IsLoaded(StandInModulePath()));
    EXPECT_EQ(OpenHelp(installed.owner, nullptr), StandInHelpWindow);
    EXPECT_TRUE(IsLoaded(StandInModulePath()));

    std::string copy = dir.File("html_help_copy.dll");
    ASSERT_TRUE(CopyFileA(StandInModulePath().c_str(), copy.c_str(), FALSE));
    installed.server.Register(copy);
    EXPECT_EQ(OpenHelp(installed.owner, "texts.html"), StandInHelpWindow);
    EXPECT_EQ(OpenHelp(installed.owner, "fonts.html"), StandInHelpWindow);
    EXPECT_EQ(CallsReceived().size(), 3u);
    EXPECT_FALSE(IsLoaded(copy));
    EXPECT_FALSE(IsLoaded(SystemHelpModule));
}

TEST(OpenHelp, ControlFailureReportsItsCodeOrTwoAndKeepsTheControl) {
    HelpInstalled installed;
    ScratchDir dir;
    // No code from the control: 2, even though loading it left a stray code behind and an
    // older one was pending.
    StandInFails(0);
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(OpenHelp(installed.owner, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(IsLoaded(StandInModulePath()));

    std::string copy = dir.File("html_help_copy.dll");
    ASSERT_TRUE(CopyFileA(StandInModulePath().c_str(), copy.c_str(), FALSE));
    installed.server.Register(copy);
    StandInFails(ERROR_TIMEOUT);
    EXPECT_EQ(OpenHelp(installed.owner, "fonts.html"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));

    StandInFails(-1);
    EXPECT_EQ(OpenHelp(installed.owner, "texts.html"), StandInHelpWindow);
    EXPECT_EQ(CallsReceived().size(), 3u);
    EXPECT_FALSE(IsLoaded(copy));
}

TEST(OpenHelp, WithoutAHelpFileFailsBeforeLoadingAnything) {
    struct Row {
        const char* name;
        std::function<void(SettingsKey&)> breakIt;
        DWORD code;
    };
    const Row rows[] = {
        {"no HelpFile", [](SettingsKey& key) { key.Remove("HelpFile"); }, ERROR_FILE_NOT_FOUND},
        {"HelpFile too long",
         [](SettingsKey& key) { key.SetString("HelpFile", std::string(300, 'h')); },
         ERROR_MORE_DATA},
        {"no key", [](SettingsKey&) { DeleteSettingsKey(); }, ERROR_FILE_NOT_FOUND},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HelpInstalled installed;
        row.breakIt(installed.key);
        for (const char* topic : {static_cast<const char*>(nullptr), "texts.html"}) {
            SetLastError(0);
            EXPECT_EQ(OpenHelp(installed.owner, topic), nullptr);
            EXPECT_EQ(GetLastError(), row.code);
        }
    }
    EXPECT_FALSE(IsLoaded(StandInModulePath()));
    EXPECT_FALSE(IsLoaded(SystemHelpModule));
}

// Neither the registered module nor hhctrl.ocx loads: the first call reports the load's code;
// later calls give up at once, even with a good control registered by then.
TEST(OpenHelp, AfterAFailedLoadLaterCallsFailAtOnce) {
    HelpInstalled installed;
    ScratchDir dir;
    std::string notAModule = dir.File("hhctrl.ocx");
    WriteBytes(notAModule, "not a module");
    installed.server.Register(notAModule);
    {
        SystemHelpModuleOverride disabled("");
        EXPECT_EQ(OpenHelp(installed.owner, nullptr), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
    installed.server.Register(StandInModulePath());

    // The control is not called and the pending code stays as it was.
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(CallHtmlHelp(installed.owner, installed.helpFile.c_str(), HelpDisplayTopic, 0),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // The help command has no pending code of its own: 2.
    for (const char* topic : {static_cast<const char*>(nullptr), "fonts.html"}) {
        SetLastError(ERROR_ACCESS_DENIED);
        EXPECT_EQ(OpenHelp(installed.owner, topic), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
    EXPECT_FALSE(IsLoaded(StandInModulePath()));
    EXPECT_FALSE(IsLoaded(SystemHelpModule));
}

// A module without ordinal 14: every call looks for it again and fails with the look-up's code.
TEST(OpenHelp, ModuleWithoutTheEntryPointFailsEveryTime) {
    HelpInstalled installed;
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    installed.server.Register(program); // this test program exports nothing
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(OpenHelp(installed.owner, nullptr), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }
    EXPECT_FALSE(IsLoaded(StandInModulePath()));
}

// Without a usable registration the control is loaded by name from the system folder, where a
// copy of the stand-in takes the place of Wine's own; the failed load of the registered path
// must not pass for the reason of the control's own failure.
TEST(OpenHelp, WithoutAUsableRegistrationLoadsTheSystemFoldersControl) {
    HelpInstalled installed;
    ScratchDir dir;
    SystemLibraryStandIn byName(StandInModulePath(), SystemHelpModule);
    installed.server.Register(dir.File("missing.dll"));

    StandInFails(0);
    EXPECT_EQ(OpenHelp(installed.owner, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    StandInFails(-1);
    EXPECT_EQ(OpenHelp(installed.owner, "texts.html"), StandInHelpWindow);
    std::vector<StandInCall> calls = CallsReceived(byName.Path());
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(std::string(calls[1].File), installed.helpFile + "::/texts.html");
    // The program keeps the control loaded for good; Wine's own goes back in its place only
    // once the copy is let go.
    FreeLibrary(GetModuleHandleA(byName.Path().c_str()));
}

} // namespace
