// The verses editor's help command: topic "texts.html" of the help file, owned by the editor,
// and an error box when help cannot be shown.

#include "list_file.h"
#include "texts_dialog_harness.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
        dll = dll.substr(0, dll.find_last_of('\\') + 1) + "help_stand_in.dll";
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

    // The last call the stand-in received; the number of calls.
    int LastCall(HWND& owner, std::string& file, UINT& command) const {
        HMODULE module = GetModuleHandleA("help_stand_in.dll");
        if (module == nullptr) {
            return 0;
        }
        using LastHelpCall = int (*)(HWND*, char*, UINT, UINT*);
        auto last = reinterpret_cast<LastHelpCall>(
            reinterpret_cast<void*>(GetProcAddress(module, "LastHelpCall")));
        char buffer[1024] = {};
        int calls = last(&owner, buffer, sizeof buffer, &command);
        file = buffer;
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
    }
    void TearDown() override {
        editor.reset();
        ReleaseRecord(record);
    }
    void PressHelp() {
        editor = std::make_unique<Editor>(record);
        SendMessageA(editor->Dialog(), WM_COMMAND, MAKEWPARAM(IDHELP, 0), 0);
    }

    ErrorBoxes boxes;
    SaverSettings record{};
    std::unique_ptr<Editor> editor;
};

TEST_F(TextsEditorHelp, OpensTheTextsTopicOwnedByTheEditor) {
    StandInHelpServer server;
    SettingsKey key;
    key.SetString("HelpFile", "C:\\Verselume\\verselume.chm");
    PressHelp();
    EXPECT_TRUE(boxes.Seen().empty());
    HWND owner = nullptr;
    std::string file;
    UINT command = ~0u;
    ASSERT_EQ(server.LastCall(owner, file, command), 1);
    EXPECT_EQ(owner, editor->Dialog());
    EXPECT_EQ(file, "C:\\Verselume\\verselume.chm::/texts.html");
    EXPECT_EQ(command, 0u); // HH_DISPLAY_TOPIC
    EXPECT_FALSE(editor->Ended());
}

TEST_F(TextsEditorHelp, FailureShowsTheCodeTheControlLeft) {
    StandInHelpServer server;
    SettingsKey key;
    key.SetString("HelpFile", "C:\\Verselume\\fail.chm");
    PressHelp();
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, SystemText(ERROR_INVALID_HANDLE));
    EXPECT_EQ(boxes.Seen()[0].owner, editor->Dialog());
    EXPECT_FALSE(editor->Ended());
    EXPECT_EQ(editor->Entries(), Verses{"Geneza 1:1"});
}

TEST_F(TextsEditorHelp, WithoutTheSettingsKeyShowsFileNotFound) {
    DeleteSettingsKey();
    PressHelp();
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, SystemText(ErrorFileNotFound));
    EXPECT_EQ(boxes.Seen()[0].owner, editor->Dialog());
}

TEST_F(TextsEditorHelp, WithoutAHelpFileValueShowsFileNotFound) {
    SettingsKey key;
    PressHelp();
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, SystemText(ErrorFileNotFound));
}

} // namespace
