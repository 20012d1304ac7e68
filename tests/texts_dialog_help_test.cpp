// The verses editor's help command: topic "texts.html" of the help file, owned by the editor,
// and an error box when help cannot be shown.

#include "help_stand_in/html_help_stand_in.h"
#include "list_file.h"
#include "texts_dialog_harness.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

// Registers the stand-in help control built beside the tests in place of the system's, and puts
// the old registration back at the end.
class StandInHelpServer {
  public:
    StandInHelpServer() {
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
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string dll(path);
        dll = dll.substr(0, dll.find_last_of('\\') + 1) + "html_help_stand_in.dll";
        EXPECT_NE(GetFileAttributesA(dll.c_str()), INVALID_FILE_ATTRIBUTES) << dll;
        EXPECT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, HelpServerKey, REG_SZ, dll.c_str(),
                               static_cast<DWORD>(dll.size())),
                  ERROR_SUCCESS);
    }
    ~StandInHelpServer() {
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
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, HelpServerKey, 0, KEY_SET_VALUE, &key) !=
            ERROR_SUCCESS) {
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
    StandInHelpServer(const StandInHelpServer&) = delete;
    StandInHelpServer& operator=(const StandInHelpServer&) = delete;

    // The calls the stand-in received.
    std::vector<StandInCall> Calls() const {
        std::vector<StandInCall> calls;
        HMODULE module = GetModuleHandleA("html_help_stand_in.dll");
        if (module == nullptr) {
            return calls;
        }
        auto count = reinterpret_cast<StandInCallCountFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "StandInCallCount")));
        auto at = reinterpret_cast<StandInCallAtFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "StandInCallAt")));
        for (int i = 0; count != nullptr && at != nullptr && i < count(); i++) {
            calls.push_back(*at(i));
        }
        return calls;
    }

  private:
    bool classExisted_ = false;
    bool existed_ = false;
    bool hadValue_ = false;
    DWORD type_ = REG_SZ;
    std::string old_;
};

class TextsEditorHelp : public ::testing::Test {
  protected:
    void SetUp() override {
        InitDialogControls();
        FillRecord(record, {"Geneza 1:1"});
        SetEnvironmentVariableA(StandInFailVariable, nullptr);
    }
    void TearDown() override {
        editor.reset();
        ReleaseRecord(record);
        SetEnvironmentVariableA(StandInFailVariable, nullptr);
    }
    void PressHelp() {
        editor = std::make_unique<Editor>(record);
        SendMessageA(editor->Dialog(), WM_COMMAND, MAKEWPARAM(IDHELP, 0), 0);
    }

    MessageBoxWatcher boxes;
    SaverSettings record{};
    std::unique_ptr<Editor> editor;
};

TEST_F(TextsEditorHelp, OpensTheTextsTopicOwnedByTheEditor) {
    StandInHelpServer server;
    SettingsKey key;
    key.SetString("HelpFile", "C:\\Program Files\\Verselume\\verselume.chm");
    PressHelp();
    EXPECT_TRUE(boxes.Seen().empty());
    std::vector<StandInCall> calls = server.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Owner, editor->Dialog());
    EXPECT_STREQ(calls[0].File, "C:\\Program Files\\Verselume\\verselume.chm::/texts.html");
    EXPECT_EQ(calls[0].Command, 0u); // HH_DISPLAY_TOPIC
    EXPECT_EQ(calls[0].Data, 0u);
    EXPECT_FALSE(editor->Ended());
}

TEST_F(TextsEditorHelp, FailureShowsTheCodeTheControlLeft) {
    StandInHelpServer server;
    SettingsKey key;
    key.SetString("HelpFile", "C:\\Program Files\\Verselume\\verselume.chm");
    SetEnvironmentVariableA(StandInFailVariable, "6"); // ERROR_INVALID_HANDLE
    PressHelp();
    EXPECT_EQ(server.Calls().size(), 1u);
    EXPECT_EQ(ErrorTexts(boxes, editor->Dialog()), std::vector<std::string>{ErrorText(6)});
    EXPECT_FALSE(editor->Ended());
    EXPECT_EQ(editor->Entries(), Verses{"Geneza 1:1"});
}

TEST_F(TextsEditorHelp, WithoutTheSettingsKeyShowsFileNotFound) {
    DeleteSettingsKey();
    PressHelp();
    EXPECT_EQ(ErrorTexts(boxes, editor->Dialog()),
              std::vector<std::string>{ErrorText(ErrorFileNotFound)});
}

TEST_F(TextsEditorHelp, WithoutAHelpFileValueShowsFileNotFound) {
    SettingsKey key;
    PressHelp();
    EXPECT_EQ(ErrorTexts(boxes, editor->Dialog()),
              std::vector<std::string>{ErrorText(ErrorFileNotFound)});
}

} // namespace
