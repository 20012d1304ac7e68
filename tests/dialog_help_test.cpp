// The help button and F1 of the configuration dialog, the verses editor and the typefaces
// dialog: each opens its topic of the help file owned by the dialog, and each shows why help
// could not be shown in an error box owned by the dialog, which stays open.
#include "config_dialog.h"
#include "fonts_dialog.h"
#include "resource_ids.h"
#include "texts_dialog.h"

#include "support/dialogs.h"
#include "support/help_server_stand_in.h"
#include "support/installed.h"
#include "support/messages.h"
#include "support/records.h"
#include "support/texts_dialog_harness.h"
#include "support/typefaces.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char HelpFile[] = "C:\\Program Files\\Verselume\\verselume.chm";

struct HelpDialog {
    const char* name;
    const wchar_t* resource;
    DLGPROC procedure;
    std::string topic; // after the help file's path
    int list;          // a list that help leaves alone; 0 for none
};

const HelpDialog Dialogs[] = {
    {"configuration", MAKEINTRESOURCEW(IDD_CONFIG), ConfigDialogProc, "", 0},
    {"verses", L"TEXTSDLG", TextsDialogProc, "::/texts.html", IDC_TEXTS_LIST},
    {"typefaces", L"FONTSDLG", FontsDialogProc, "::/fonts.html", IDC_FONTS_SELECTED},
};

// One dialog open on installed lists, and on a record of its own for the editors, as the
// configuration dialog opens them.
struct OpenDialog {
    Installed installed;
    ListRecord record{{"Geneza 1:1"}, {"Arial"}};
    std::unique_ptr<ModelessDialog> dialog;

    explicit OpenDialog(const HelpDialog& kind) {
        InitDialogControls();
        RegisterSampleClass();
        LPARAM parameter =
            kind.procedure == ConfigDialogProc ? 0 : reinterpret_cast<LPARAM>(&record);
        dialog = std::make_unique<ModelessDialog>(kind.resource, kind.procedure, parameter);
    }
    // The help command, as the configuration dialog's button sends it; the editors answer it
    // too.
    void PressHelp() const { dialog->Command(IDHELP); }
};

TEST(DialogHelp, ButtonAndF1OpenTheDialogsTopicOwnedByIt) {
    HelpServerStandIn server;
    for (const HelpDialog& kind : Dialogs) {
        SCOPED_TRACE(kind.name);
        OpenDialog open(kind);
        open.installed.key.SetString("HelpFile", HelpFile);
        MessageBoxWatcher boxes;
        size_t before = server.Calls().size();
        open.PressHelp();
        PressF1(open.dialog->Window());
        std::vector<StandInCall> calls = server.Calls();
        ASSERT_EQ(calls.size(), before + 2);
        for (size_t i = before; i < calls.size(); ++i) {
            EXPECT_EQ(calls[i].Owner, open.dialog->Window());
            EXPECT_EQ(std::string(calls[i].File), HelpFile + kind.topic);
            EXPECT_EQ(calls[i].Command, 0u); // HH_DISPLAY_TOPIC
            EXPECT_EQ(calls[i].Data, 0u);
        }
        EXPECT_TRUE(boxes.Seen().empty());
        EXPECT_FALSE(open.dialog->Ended());
    }
}

TEST(DialogHelp, FailureShowsItsReasonOwnedByTheDialogWhichStaysAsItWas) {
    HelpServerStandIn server;
    struct Failure {
        const char* what;
        int controlFails; // the code the help control fails with; -1: it succeeds
        bool helpFileValue;
        bool settingsKey;
        DWORD shown;
    };
    const Failure failures[] = {
        {"the control fails", ERROR_INVALID_HANDLE, true, true, ERROR_INVALID_HANDLE},
        {"no HelpFile value", -1, false, true, ERROR_FILE_NOT_FOUND},
        {"no settings key", -1, false, false, ERROR_FILE_NOT_FOUND},
    };
    for (const HelpDialog& kind : Dialogs) {
        for (const Failure& failure : failures) {
            SCOPED_TRACE(testing::Message() << kind.name << ", " << failure.what);
            OpenDialog open(kind);
            if (failure.helpFileValue) {
                open.installed.key.SetString("HelpFile", HelpFile);
            }
            if (!failure.settingsKey) {
                DeleteSettingsKey();
            }
            std::vector<std::string> entries;
            if (kind.list != 0) {
                entries = open.dialog->ListEntries(kind.list);
                ASSERT_FALSE(entries.empty());
            }
            StandInFails(failure.controlFails);
            MessageBoxWatcher boxes;
            open.PressHelp();
            StandInFails(-1);
            std::vector<SeenMessageBox> seen = boxes.Seen();
            ASSERT_EQ(seen.size(), 1u);
            ExpectErrorBox(seen[0], open.dialog->Window(), failure.shown);
            EXPECT_FALSE(open.dialog->Ended());
            if (kind.list != 0) {
                EXPECT_EQ(open.dialog->ListEntries(kind.list), entries);
            }
        }
    }
}

} // namespace
