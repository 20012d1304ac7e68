// The verses editor when its controls fail a request: which error box the user sees, and that
// the dialog carries on and the record stays whole.

#include "list_file.h"
#include "resource_ids.h"
#include "support/texts_dialog_harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

const Verses Three = {"Geneza 1:1", "Psalmul 23:1", "Ioan 3:16"};

class TextsEditorFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        InitDialogControls();
        FillRecord(record, Three);
    }
    void TearDown() override {
        editor.reset();
        ReleaseRecord(record);
    }

    void Open(std::vector<ControlFault> faults = {}) {
        spy = std::make_unique<ControlSpy>(std::move(faults));
        editor = std::make_unique<Editor>(record);
    }
    // The texts of the error boxes seen since the last call; every one owned by the editor.
    std::vector<std::string> Boxes() {
        std::vector<std::string> fresh = ErrorTexts(boxes, editor->Window(), taken);
        taken += fresh.size();
        return fresh;
    }

    MessageBoxWatcher boxes;
    size_t taken = 0;
    SaverSettings record{};
    std::unique_ptr<ControlSpy> spy;
    std::unique_ptr<Editor> editor;
};

using Texts = std::vector<std::string>;

TEST_F(TextsEditorFaults, ListOutOfSpaceWhileFillingStopsThereWithOneBox) {
    Open({{IDC_TEXTS_LIST, LB_ADDSTRING, LB_ERRSPACE, 2}});
    EXPECT_EQ(Boxes(), Texts{ErrorText(ErrorOutOfMemory)});
    EXPECT_EQ(editor->Entries(), (Verses{"Geneza 1:1", "Psalmul 23:1"}));
    EXPECT_EQ(editor->Selection(), 0);
    EXPECT_EQ(editor->Field(), "Geneza 1:1");
}

// A list that did not take every verse is not the record's list: OK leaves the record as it was.
TEST_F(TextsEditorFaults, RefusedVerseWhileFillingIsReportedAndOkKeepsTheRecord) {
    Open({{IDC_TEXTS_LIST, LB_ADDSTRING, LB_ERR, 1}});
    EXPECT_EQ(Boxes(), Texts{ErrorText(ErrorInvalidParameter)});
    EXPECT_EQ(editor->Entries(), Verses{"Geneza 1:1"});
    editor->Type("schimbat");
    editor->Press(IDOK);
    EXPECT_EQ(RecordVerses(record), Three);
}

TEST_F(TextsEditorFaults, ListThatTakesNoEntryOpensWithoutACurrentEntry) {
    Open({{IDC_TEXTS_LIST, LB_ADDSTRING, LB_ERRSPACE, 0}});
    EXPECT_EQ(Boxes(), Texts{ErrorText(ErrorOutOfMemory)});
    EXPECT_TRUE(editor->Entries().empty());
    EXPECT_EQ(editor->Selection(), -1);
    EXPECT_EQ(editor->Field(), "");
}

TEST_F(TextsEditorFaults, RejectedToolbarLeavesAWorkingEditor) {
    struct Case {
        const char* name;
        ControlFault fault;
        LRESULT buttons;
    };
    const Case cases[] = {
        {"images rejected", {IDC_TEXTS_TOOLBAR, TB_ADDBITMAP, -1}, 0},
        {"buttons rejected", {IDC_TEXTS_TOOLBAR, TB_ADDBUTTONSW, FALSE}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open({c.fault});
        EXPECT_EQ(Boxes(), Texts{ErrorText(ErrorInvalidParameter)});
        EXPECT_EQ(SendMessageA(editor->Control(IDC_TEXTS_TOOLBAR), TB_BUTTONCOUNT, 0, 0),
                  c.buttons);
        bool buttonsAsked = false;
        for (const SentMessage& sent : spy->Received(IDC_TEXTS_TOOLBAR)) {
            buttonsAsked |= sent.message == TB_ADDBUTTONSW;
        }
        EXPECT_EQ(buttonsAsked, c.fault.message == TB_ADDBUTTONSW);
        EXPECT_EQ(editor->Entries(), Three);
        editor->Type("Geneza 1:1 La inceput");
        editor->Press(IDOK);
        EXPECT_TRUE(editor->Ended());
        EXPECT_EQ(RecordVerses(record),
                  (Verses{"Geneza 1:1 La inceput", "Psalmul 23:1", "Ioan 3:16"}));
        editor.reset();
        spy.reset();
        ReleaseRecord(record);
        FillRecord(record, Three);
    }
}

TEST_F(TextsEditorFaults, UnreadableEntryEmptiesTheFieldWithABox) {
    Open();
    spy->Add(editor->Window(), {IDC_TEXTS_LIST, LB_GETTEXT, LB_ERR});
    editor->Choose(2);
    EXPECT_EQ(Boxes(), Texts{ErrorText(ErrorInvalidData)});
    EXPECT_EQ(editor->Field(), "");
    EXPECT_EQ(editor->Selection(), 2);

    // "Şterge" shows the next entry the same way.
    editor->Press(IDC_TEXTS_DELETE);
    EXPECT_EQ(Boxes(), Texts{ErrorText(ErrorInvalidData)});
    EXPECT_EQ(editor->Field(), "");
}

TEST_F(TextsEditorFaults, FailedReinsertionIsReportedByItsKind) {
    struct Case {
        LRESULT reply;
        uint32_t code;
    };
    for (const Case& c :
         {Case{LB_ERRSPACE, ErrorOutOfMemory}, Case{LB_ERR, ErrorInvalidParameter}}) {
        SCOPED_TRACE(c.code);
        Open();
        editor->Type("nu incape");
        spy->Add(editor->Window(), {IDC_TEXTS_LIST, LB_INSERTSTRING, c.reply});
        editor->Choose(1);
        EXPECT_EQ(Boxes(), Texts{ErrorText(c.code)});
        // The entry was taken out before the insertion failed; the dialog carries on.
        EXPECT_EQ(editor->Entries(), (Verses{"Psalmul 23:1", "Ioan 3:16"}));
        EXPECT_EQ(editor->Field(), "Psalmul 23:1");
        editor.reset();
        spy.reset();
    }
}

TEST_F(TextsEditorFaults, FailedReadOfTheFieldReportsItsCode) {
    Open();
    spy->Add(editor->Window(), {IDC_TEXTS_EDIT, WM_GETTEXT, 0, 0, ERROR_ACCESS_DENIED});
    editor->Press(IDC_TEXTS_NEW);
    EXPECT_EQ(Boxes(), Texts{ErrorText(ERROR_ACCESS_DENIED)});
    // Nothing was read, so the current entry went and the placeholder came.
    EXPECT_EQ(editor->Entries(), (Verses{"Psalmul 23:1", "Ioan 3:16", "Verset nou"}));
}

TEST_F(TextsEditorFaults, UncollectableListLeavesTheRecordAndStillCloses) {
    struct Case {
        const char* name;
        ControlFault fault;
    };
    const Case cases[] = {
        {"count unreadable", {IDC_TEXTS_LIST, LB_GETCOUNT, LB_ERR}},
        {"third entry unreadable", {IDC_TEXTS_LIST, LB_GETTEXT, LB_ERR, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        WideChar* block = record.Texts;
        editor->Press(IDC_TEXTS_DOWN);
        spy->Add(editor->Window(), c.fault);
        editor->Press(IDOK);
        EXPECT_EQ(Boxes(), Texts{ErrorText(ErrorInvalidData)});
        EXPECT_TRUE(editor->Ended());
        EXPECT_EQ(record.Texts, block);
        EXPECT_EQ(RecordVerses(record), Three);
        editor.reset();
        spy.reset();
    }
}

TEST_F(TextsEditorFaults, CommitAndCollectFailuresOnOkGiveTwoBoxesInTurn) {
    Open();
    editor->Type("schimbat");
    spy->Add(editor->Window(), {IDC_TEXTS_LIST, LB_INSERTSTRING, LB_ERRSPACE});
    spy->Add(editor->Window(), {IDC_TEXTS_LIST, LB_GETCOUNT, LB_ERR});
    editor->Press(IDOK);
    EXPECT_EQ(Boxes(), (Texts{ErrorText(ErrorOutOfMemory), ErrorText(ErrorInvalidData)}));
    EXPECT_TRUE(editor->Ended());
    EXPECT_EQ(RecordVerses(record), Three);
}

} // namespace
