// The verses editor's help command and F1: topic "texts.html" of the help file, owned by the
// editor, and an error box when help cannot be shown.

#include "list_file.h"
#include "support/help_server_stand_in.h"
#include "support/messages.h"
#include "support/registry.h"
#include "support/texts_dialog_harness.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

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
    HelpServerStandIn server;
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
    PressF1(editor->Dialog());
    calls = server.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(std::string(calls[1].File), calls[0].File) << "F1 opens the same topic";
    EXPECT_FALSE(editor->Ended());
}

TEST_F(TextsEditorHelp, FailureShowsTheCodeTheControlLeft) {
    HelpServerStandIn server;
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
