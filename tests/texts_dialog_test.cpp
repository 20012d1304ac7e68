// The verses editor driven through its real template and procedure: what each command does to
// the list, its selection, the edit field and the record.

#include "config_dialog.h"
#include "error_codes.h"
#include "resource_ids.h"
#include "support/heap.h"
#include "support/installed.h"
#include "support/text_conversion.h"
#include "support/texts_dialog_harness.h"
#include "texts_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

const std::string Gen = "Geneza 1:1", Ps = "Psalmul 23:1", Ioan = "Ioan 3:16",
                  Apoc = "Apocalipsa 22:21";
const Verses Four = {Gen, Ps, Ioan, Apoc}, Three = {Gen, Ps, Ioan};

class TextsEditor : public ::testing::Test {
  protected:
    void SetUp() override { InitDialogControls(); }
    void TearDown() override {
        Close();
        std::vector<SeenMessageBox> seen = boxes.Seen();
        for (size_t i = taken; i < seen.size(); i++) {
            ADD_FAILURE() << "unexpected error box: " << seen[i].Text;
        }
    }

    void Open(const Verses& verses) {
        SetVerses(record, verses);
        editor = std::make_unique<Editor>(record);
    }
    // Ends the editor, if one is open, and releases the record it worked on.
    void Close() {
        editor.reset();
        ReleaseLists(record);
    }

    MessageBoxWatcher boxes;
    size_t taken = 0; // the boxes a row expected
    SaverSettings record{};
    std::unique_ptr<Editor> editor;
};

// ---------------------------------------------------------------------------------------------
// Opening

TEST_F(TextsEditor, OpensOnTheFirstVerseWithTheFieldFocused) {
    Open(Four);
    EXPECT_EQ(editor->Entries(), Four);
    EXPECT_EQ(editor->Selection(), 0);
    EXPECT_EQ(editor->Field(), "Geneza 1:1");
    EXPECT_EQ(GetFocus(), editor->Control(IDC_TEXTS_EDIT));
    EXPECT_EQ(SendMessageA(editor->Control(IDC_TEXTS_EDIT), EM_GETLIMITTEXT, 0, 0), 255);
    EXPECT_EQ(VersesOf(record), Four);
}

TEST_F(TextsEditor, RecordWithoutVersesOpensEmptyAndTypingGivesOneSlot) {
    struct Case {
        const char* name;
        bool block;
        uint32_t count;
    };
    const Case cases[] = {{"no block, no count", false, 0},
                          {"a block with count 0", true, 0},
                          {"a count without a block", false, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetVerses(record, c.block ? Verses{"ascuns"} : Verses{});
        record.TextCount = c.count;
        WideChar* oldBlock = record.Texts;
        editor = std::make_unique<Editor>(record);
        EXPECT_TRUE(editor->Entries().empty());
        EXPECT_EQ(editor->Selection(), -1);
        EXPECT_EQ(editor->Field(), "");

        editor->Type("Un verset nou");
        editor->Press(IDOK);
        EXPECT_TRUE(editor->Ended());
        ASSERT_NE(record.Texts, nullptr);
        EXPECT_NE(record.Texts, oldBlock);
        EXPECT_EQ(VersesOf(record), Verses{"Un verset nou"});
        EXPECT_EQ(HeapSize(GetProcessHeap(), 0, record.Texts), 256u * sizeof(WideChar));
        Close();
    }
}

// ---------------------------------------------------------------------------------------------
// Commands and selection changes, scripted

// A step of the user's, taken on the open editor, whose controls the spy watches.
using Step = std::function<void(Editor&, ControlSpy&)>;
Step Choose(int position) {
    return [=](Editor& editor, ControlSpy&) { editor.Choose(position); };
}
Step Type(const std::string& text) {
    return [=](Editor& editor, ControlSpy&) { editor.Type(text); };
}
Step Press(int command) {
    return [=](Editor& editor, ControlSpy&) { editor.Press(command); };
}
const Step New = Press(IDC_TEXTS_NEW), Up = Press(IDC_TEXTS_UP), Down = Press(IDC_TEXTS_DOWN),
           Delete = Press(IDC_TEXTS_DELETE);
// Takes the focus away from the field, so that a row can tell whether a command gave it back.
const Step FocusList = [](Editor& editor, ControlSpy&) {
    SetFocus(editor.Control(IDC_TEXTS_LIST));
};
// What an earlier call leaves behind on Windows when it fails.
const Step StaleError = [](Editor&, ControlSpy&) { SetLastError(ERROR_ACCESS_DENIED); };
// A control of the open editor fails a request from now on.
Step Fail(ControlFault fault) {
    return [=](Editor& editor, ControlSpy& spy) { spy.Add(editor.Window(), fault); };
}
// The toolbar holds that many buttons, and was asked to add them or not.
Step ToolbarHolds(LRESULT buttons, bool buttonsAsked) {
    return [=](Editor& editor, ControlSpy& spy) {
        EXPECT_EQ(SendMessageA(editor.Control(IDC_TEXTS_TOOLBAR), TB_BUTTONCOUNT, 0, 0), buttons);
        bool asked = false;
        for (const SentMessage& sent : spy.Received(IDC_TEXTS_TOOLBAR)) {
            asked |= sent.message == TB_ADDBUTTONSW;
        }
        EXPECT_EQ(asked, buttonsAsked);
    };
}

struct Script {
    const char* name;
    Verses opened;
    std::vector<Step> steps;
    // The list, its selection and the field after the steps, and the control with the focus
    // (0: not checked); the record still holds what it was opened on.
    Verses entries;
    int selection;
    std::string field;
    int focus;
    // Then these steps and OK, which leave these verses in the record.
    std::vector<Step> beforeOk;
    Verses saved;
    // Requests the controls fail from the opening on, and the error boxes the row shows (each
    // the system's text for its code), on its steps and its OK in turn.
    std::vector<ControlFault> faults = {};
    std::vector<DWORD> boxes = {};
    // OK could not collect the list: the record keeps its block.
    bool keepsBlock = false;
};

const std::string Placeholder = "Verset nou", GenEdited = "Geneza 1:1 La inceput";
const std::string PsEdited = "Psalmul 23:1 Domnul este pastorul meu",
                  ApocEdited = "Apocalipsa 22:21 Harul Domnului",
                  IoanEdited = "Ioan 3:16 Fiindca atat de mult a iubit Dumnezeu lumea",
                  Joined = "Domnul este pastorul meu, nu voi duce lipsa de nimic.";
// Whatever the code page: cedilla and comma-below letters alike, and other scripts.
const std::string ManyScripts =
    "Domnul este păstorul meu: nu voi duce lipsă de nimic. Ţara, "
    "ştiinţa, Înşiră-te, țara, știința, Înșiră-te & „Ἐν ἀρχῇ ἦν ὁ λόγος”";
const std::string WithEmoji = "Fiindcă atât de mult a iubit Dumnezeu lumea 😀";

const Script Scripts[] = {
    // "Nou" commits the field, then adds a placeholder, current and with the focus, to be typed
    // over; left untyped, it is dropped, and never doubled.
    Script("Nou after typing", Four, {Choose(1), Type(PsEdited), FocusList, New},
           {Gen, PsEdited, Ioan, Apoc, Placeholder}, 4, "", IDC_TEXTS_EDIT, {Type("Romani 8:28")},
           {Gen, PsEdited, Ioan, Apoc, "Romani 8:28"}),
    Script("Nou left untyped", Four, {New}, {Gen, Ps, Ioan, Apoc, Placeholder}, 4, "", 0, {}, Four),
    Script("Nou twice", Four, {New, New}, {Gen, Ps, Ioan, Apoc, Placeholder}, 4, "", 0, {}, Four),
    Script("Nou in an empty list", {}, {New}, {Placeholder}, 0, "", 0, {Type("Primul verset")},
           {"Primul verset"}),

    // "Sus" and "Jos" carry the list's text and keep what was typed; the moved entry stays
    // current, so OK writes the typed text into it. Entry 0 is current from the opening.
    Script("Sus from 2", Four, {Choose(2), Type("scris de mana"), FocusList, Up},
           {Gen, Ioan, Ps, Apoc}, 1, "scris de mana", IDC_TEXTS_LIST, {},
           {Gen, "scris de mana", Ps, Apoc}),
    Script("Sus from the top", Four, {Type("scris de mana"), FocusList, Up}, Four, 0,
           "scris de mana", IDC_TEXTS_LIST, {}, {"scris de mana", Ps, Ioan, Apoc}),
    Script("Jos from 1", Four, {Choose(1), Type("scris de mana"), FocusList, Down},
           {Gen, Ioan, Ps, Apoc}, 2, "scris de mana", IDC_TEXTS_LIST, {},
           {Gen, Ioan, "scris de mana", Apoc}),
    Script("Jos from the bottom", Four, {Choose(3), Type("scris de mana"), FocusList, Down}, Four,
           3, "scris de mana", IDC_TEXTS_LIST, {}, {Gen, Ps, Ioan, "scris de mana"}),
    // Without a current entry they change nothing: in an empty list, or after a selection
    // change on the current entry.
    Script("Sus in an empty list", {}, {Up}, {}, -1, "", 0, {}, {}),
    Script("Jos in an empty list", {}, {Down}, {}, -1, "", 0, {}, {}),
    Script("Sus with none current", Four, {Choose(0), Up}, Four, -1, "", 0, {}, Four),
    Script("Jos with none current", Four, {Choose(0), Down}, Four, -1, "", 0, {}, Four),
    // An entry edited, then moved, shows its old text until the next commit.
    Script("edited, then moved", Four, {Choose(3), Type(ApocEdited), Up, Up}, {Gen, Apoc, Ps, Ioan},
           1, ApocEdited, 0, {}, {Gen, ApocEdited, Ps, Ioan}),
    Script("edited, moved, then another chosen", Four,
           {Choose(3), Type(ApocEdited), Up, Up, Choose(3)}, {Gen, ApocEdited, Ps, Ioan}, 3, Ioan,
           0, {}, {Gen, ApocEdited, Ps, Ioan}),

    // "Şterge" drops the typed text and shows the new current entry.
    Script("Şterge the second", Four, {Choose(1), Type("se pierde"), FocusList, Delete},
           {Gen, Ioan, Apoc}, 1, Ioan, IDC_TEXTS_LIST, {}, {Gen, Ioan, Apoc}),
    Script("Şterge the first", Four, {Type("se pierde"), FocusList, Delete}, {Ps, Ioan, Apoc}, 0,
           Ps, IDC_TEXTS_LIST, {}, {Ps, Ioan, Apoc}),
    Script("Şterge the last", Four, {Choose(3), Type("se pierde"), FocusList, Delete},
           {Gen, Ps, Ioan}, 2, Ioan, IDC_TEXTS_LIST, {}, {Gen, Ps, Ioan}),
    Script("Şterge the only entry", {"Singurul verset"}, {Delete}, {}, -1, "", 0, {}, {}),
    Script("Şterge with none left", {"Singurul verset"}, {Delete, Delete}, {}, -1, "", 0, {}, {}),

    // Choosing another entry commits the field first; line breaks typed become spaces.
    Script("from 0 to 2", Four, {Type("scris"), Choose(2)}, {"scris", Ps, Ioan, Apoc}, 2, Ioan, 0,
           {}, {"scris", Ps, Ioan, Apoc}),
    Script("from 3 to 1", Four, {Choose(3), Type("scris"), Choose(1)}, {Gen, Ps, Ioan, "scris"}, 1,
           Ps, 0, {}, {Gen, Ps, Ioan, "scris"}),
    Script("from 1 to 2", Four, {Choose(1), Type("scris"), Choose(2)}, {Gen, "scris", Ioan, Apoc},
           2, Ioan, 0, {}, {Gen, "scris", Ioan, Apoc}),
    Script("line breaks", Four,
           {Type("Domnul este\r\npastorul meu,\rnu voi duce\nlipsa de nimic."), Choose(1)},
           {Joined, Ps, Ioan, Apoc}, 1, Ps, 0, {Type("Ioan\r\n\r\n3:16")},
           {Joined, "Ioan  3:16", Ioan, Apoc}),
    // The notification can arrive for the entry already current: it is committed again and none
    // is current, so a text typed then becomes a new last entry.
    Script("the current entry chosen again", Four, {Choose(2), Type(IoanEdited), Choose(2)},
           {Gen, Ps, IoanEdited, Apoc}, -1, "", 0, {Type("Matei 5:9")},
           {Gen, Ps, IoanEdited, Apoc, "Matei 5:9"}),

    // Verses keep their characters through every step.
    Script("many scripts, opened", {ManyScripts, Gen}, {Down}, {Gen, ManyScripts}, 1, ManyScripts,
           0, {}, {Gen, ManyScripts}),
    Script("many scripts, through every step", {ManyScripts, Gen},
           {Down, Choose(0), Type(WithEmoji), New}, {WithEmoji, ManyScripts, Placeholder}, 2, "", 0,
           {}, {WithEmoji, ManyScripts}),

    // An emptied field removes its entry without an error box. These guard the editor's
    // clearing of the last-error value before it reads the field: on Windows an empty field's
    // read leaves an earlier code in place, and without the clearing that stale code would show
    // as an error box. Wine's own message calls reset the value, so under Wine they pass with
    // or without the clearing; they fail without it only on Windows.
    Script("emptied, then another chosen", Four, {Type(""), StaleError, Choose(2)},
           {Ps, Ioan, Apoc}, 1, Ioan, 0, {}, {Ps, Ioan, Apoc}), // entry 2 moved up as 0 went
    Script("emptied, then Nou", Four, {Type(""), StaleError, New}, {Ps, Ioan, Apoc, Placeholder}, 3,
           "", 0, {}, {Ps, Ioan, Apoc}),
    Script("emptied, then OK", Four, {Type("")}, Four, 0, "", 0, {StaleError}, {Ps, Ioan, Apoc}),

    // A control that fails a request: the user sees one box for it, the editor carries on and
    // the record stays whole. A list that did not take every verse while filling keeps what it
    // took, with one box by its kind, and is not the record's list: OK leaves the record.
    Script("no space while filling", Three, {}, {Gen, Ps}, 0, Gen, 0, {Type("schimbat")}, Three,
           {{IDC_TEXTS_LIST, LB_ADDSTRING, LB_ERRSPACE, 2}}, {ErrorOutOfMemory}, true),
    Script("other filling failure", Three, {}, {Gen}, 0, Gen, 0, {Type("schimbat")}, Three,
           {{IDC_TEXTS_LIST, LB_ADDSTRING, LB_ERR, 1}}, {ErrorInvalidParameter}, true),
    Script("no space for the first entry", Three, {}, {}, -1, "", 0, {Type("schimbat")}, Three,
           {{IDC_TEXTS_LIST, LB_ADDSTRING, LB_ERRSPACE}}, {ErrorOutOfMemory}, true),
    // A toolbar that rejects its images is not asked for its buttons; either way the editor
    // works.
    Script("toolbar images rejected", Three, {ToolbarHolds(0, false), Type(GenEdited)}, Three, 0,
           GenEdited, 0, {}, {GenEdited, Ps, Ioan}, {{IDC_TEXTS_TOOLBAR, TB_ADDBITMAP, -1}},
           {ErrorInvalidParameter}),
    Script("toolbar buttons rejected", Three, {ToolbarHolds(0, true), Type(GenEdited)}, Three, 0,
           GenEdited, 0, {}, {GenEdited, Ps, Ioan}, {{IDC_TEXTS_TOOLBAR, TB_ADDBUTTONSW, FALSE}},
           {ErrorInvalidParameter}),
    // An entry that cannot be read empties the field, chosen or shown after "Şterge"; OK then
    // removes it as any emptied entry.
    Script("unreadable entry chosen", Three,
           {Fail({IDC_TEXTS_LIST, LB_GETTEXT, LB_ERR, 0, 0, 1}), Choose(2)}, Three, 2, "", 0, {},
           {Gen, Ps}, {}, {ErrorInvalidData}),
    Script("unreadable entry after Şterge", Three,
           {Choose(2), Fail({IDC_TEXTS_LIST, LB_GETTEXT, LB_ERR, 0, 0, 1}), Delete}, {Gen, Ps}, 1,
           "", 0, {}, {Gen}, {}, {ErrorInvalidData}),
    // A failed reinsertion is reported by its kind; the entry was taken out before it failed.
    Script("no space to put an entry back", Three,
           {Type("nu incape"), Fail({IDC_TEXTS_LIST, LB_INSERTSTRING, LB_ERRSPACE, 0, 0, 1}),
            Choose(1)},
           {Ps, Ioan}, 0, Ps, 0, {}, {Ps, Ioan}, {}, {ErrorOutOfMemory}),
    Script("entry put back refused", Three,
           {Type("nu incape"), Fail({IDC_TEXTS_LIST, LB_INSERTSTRING, LB_ERR, 0, 0, 1}), Choose(1)},
           {Ps, Ioan}, 0, Ps, 0, {}, {Ps, Ioan}, {}, {ErrorInvalidParameter}),
    // A field that cannot be read gives its code; nothing was read, so the current entry went.
    Script("unreadable field", Three,
           {Fail({IDC_TEXTS_EDIT, WM_GETTEXT, 0, 0, ERROR_ACCESS_DENIED, 1}), New},
           {Ps, Ioan, Placeholder}, 2, "", 0, {}, {Ps, Ioan}, {}, {ERROR_ACCESS_DENIED}),
    // A list that cannot be collected on OK leaves the record and its block; the editor still
    // closes. A commit and a collection that both fail give two boxes in turn.
    Script("count unreadable on OK", Three, {Down}, {Ps, Gen, Ioan}, 1, Gen, 0,
           {Fail({IDC_TEXTS_LIST, LB_GETCOUNT, LB_ERR})}, Three, {}, {ErrorInvalidData}, true),
    Script("third entry unreadable on OK", Three, {Down}, {Ps, Gen, Ioan}, 1, Gen, 0,
           {Fail({IDC_TEXTS_LIST, LB_GETTEXT, LB_ERR, 2})}, Three, {}, {ErrorInvalidData}, true),
    Script("commit and collection fail on OK", Three, {Type("schimbat")}, Three, 0, "schimbat", 0,
           {Fail({IDC_TEXTS_LIST, LB_INSERTSTRING, LB_ERRSPACE}),
            Fail({IDC_TEXTS_LIST, LB_GETCOUNT, LB_ERR})},
           Three, {}, {ErrorOutOfMemory, ErrorInvalidData}, true),
};

TEST_F(TextsEditor, ScriptedStepsShowAndSaveTheirVerses) {
    for (const Script& script : Scripts) {
        SCOPED_TRACE(script.name);
        Close();
        SetVerses(record, script.opened);
        const WideChar* block = record.Texts;
        ControlSpy spy(script.faults);
        editor = std::make_unique<Editor>(record);
        for (const Step& step : script.steps) {
            step(*editor, spy);
        }
        EXPECT_EQ(editor->Entries(), script.entries);
        EXPECT_EQ(editor->Selection(), script.selection);
        EXPECT_EQ(editor->Field(), script.field);
        if (script.focus != 0) {
            EXPECT_EQ(GetFocus(), editor->Control(script.focus));
        }
        EXPECT_EQ(VersesOf(record), script.opened);

        for (const Step& step : script.beforeOk) {
            step(*editor, spy);
        }
        editor->Press(IDOK);
        EXPECT_TRUE(editor->Ended());
        EXPECT_EQ(VersesOf(record), script.saved);
        EXPECT_EQ(record.Texts == nullptr, script.saved.empty()) << "an empty list keeps no block";
        if (script.keepsBlock) {
            EXPECT_EQ(record.Texts, block);
        }
        std::vector<std::string> shown;
        for (DWORD code : script.boxes) {
            shown.push_back(ErrorText(code));
        }
        EXPECT_EQ(ErrorTexts(boxes, editor->Window(), taken), shown);
        taken = boxes.Seen().size();
        editor.reset();
    }
}

// ---------------------------------------------------------------------------------------------
// Selection changes

TEST_F(TextsEditor, OtherListNotificationsAreLeftAlone) {
    Open(Four);
    editor->Type("nescris");
    HWND list = editor->Control(IDC_TEXTS_LIST);
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    for (WORD code : {LBN_DBLCLK, LBN_SETFOCUS, LBN_KILLFOCUS, LBN_SELCANCEL}) {
        EXPECT_EQ(SendMessageA(editor->Window(), WM_COMMAND, MAKEWPARAM(IDC_TEXTS_LIST, code),
                               reinterpret_cast<LPARAM>(list)),
                  0);
    }
    EXPECT_EQ(editor->Entries(), Four);
    EXPECT_EQ(editor->Field(), "nescris");
}

// ---------------------------------------------------------------------------------------------
// Long verses

TEST_F(TextsEditor, FullLengthVerseStaysWholeThroughCommitMoveAndCollect) {
    std::string full;
    for (int i = 0; full.size() < 255; i++) {
        full += static_cast<char>('a' + i % 26);
    }
    std::string other = std::string(255, 'z');
    Open({full, "scurt", other});
    EXPECT_EQ(editor->Field(), full);
    editor->Choose(1); // commits the long verse
    editor->Choose(0);
    EXPECT_EQ(editor->Field(), full);
    editor->Press(IDC_TEXTS_DOWN);
    editor->Press(IDC_TEXTS_DOWN);
    EXPECT_EQ(editor->Entries(), (Verses{"scurt", other, full}));

    // Typing at the end of the full field adds nothing.
    HWND field = editor->Control(IDC_TEXTS_EDIT);
    SendMessageA(field, EM_SETSEL, 255, 255);
    SendMessageA(field, WM_CHAR, 'X', 1);
    EXPECT_EQ(editor->Field(), full);
    SendMessageA(field, EM_SETSEL, 0, 0);
    SendMessageA(field, WM_CHAR, 'X', 1);
    EXPECT_EQ(editor->Field(), full);

    editor->Press(IDOK);
    Verses collected = VersesOf(record);
    ASSERT_EQ(collected.size(), 3u);
    EXPECT_EQ(collected[2], full);
    EXPECT_EQ(collected[1], other);
    EXPECT_EQ(record.Texts[2 * 256 + 255], '\0');
}

TEST_F(TextsEditor, FieldTakesTyping255CharactersAndNoMore) {
    Open({});
    HWND field = editor->Control(IDC_TEXTS_EDIT);
    for (int i = 0; i < 300; i++) {
        SendMessageA(field, WM_CHAR, 'a' + i % 26, 1);
    }
    EXPECT_EQ(GetWindowTextLengthW(field), 255);
    editor->Press(IDOK);
    ASSERT_EQ(record.TextCount, 1u);
    EXPECT_EQ(WideLength(record.Texts, TextSlotWidth), 255u);
}

// ---------------------------------------------------------------------------------------------
// Filling

TEST_F(TextsEditor, RoomIsReservedOnlyForMoreThanAHundredVerses) {
    for (int count : {100, 101, 2000}) {
        SCOPED_TRACE(count);
        Verses verses;
        for (int i = 0; i < count; i++) {
            verses.push_back("Verset " + std::to_string(i));
        }
        ControlSpy spy;
        Open(verses);
        std::vector<SentMessage> reserves;
        int addsBeforeReserve = 0;
        bool reserved = false;
        for (const SentMessage& sent : spy.Received(IDC_TEXTS_LIST)) {
            if (sent.message == LB_INITSTORAGE) {
                reserves.push_back(sent);
                reserved = true;
            } else if (sent.message == LB_ADDSTRING && !reserved) {
                addsBeforeReserve++;
            }
        }
        if (count <= 100) {
            EXPECT_TRUE(reserves.empty());
        } else {
            ASSERT_EQ(reserves.size(), 1u);
            EXPECT_EQ(reserves[0].wParam, static_cast<WPARAM>(count));
            EXPECT_EQ(reserves[0].lParam, 256);
            EXPECT_EQ(addsBeforeReserve, 0);
        }
        EXPECT_EQ(editor->Entries(), verses);
        editor->Press(IDOK);
        EXPECT_EQ(VersesOf(record), verses);
        Close();
    }
}

// ---------------------------------------------------------------------------------------------
// Toolbar

TEST_F(TextsEditor, ToolbarHasFourButtonsWithTheirImagesTextsAndCommands) {
    Open(Four);
    HWND toolbar = editor->Control(IDC_TEXTS_TOOLBAR);
    ASSERT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE(i);
        TBBUTTON button{};
        ASSERT_TRUE(SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.iBitmap, i);
        EXPECT_EQ(button.idCommand, IDC_TEXTS_NEW + i);
        EXPECT_EQ(button.fsState & TBSTATE_ENABLED, TBSTATE_ENABLED);
        EXPECT_EQ(button.fsStyle, BTNS_BUTTON);
        EXPECT_EQ(button.dwData, 0u);
        wchar_t text[256] = {}, string[256] = {};
        SendMessageW(toolbar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(text));
        LoadStringW(GetModuleHandleW(nullptr), IDS_TOOL_NEW + i, string, 256);
        EXPECT_EQ(std::wstring(text), string);
    }
}

TEST_F(TextsEditor, ClickingToolbarButtonsSendsTheirCommands) {
    Open(Four);
    HWND toolbar = editor->Control(IDC_TEXTS_TOOLBAR);
    auto click = [&](int command) {
        RECT rect{};
        ASSERT_TRUE(SendMessageA(toolbar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&rect)));
        LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(toolbar, WM_LBUTTONUP, 0, at);
    };
    click(IDC_TEXTS_DOWN);
    EXPECT_EQ(editor->Entries(),
              (Verses{"Psalmul 23:1", "Geneza 1:1", "Ioan 3:16", "Apocalipsa 22:21"}));
    EXPECT_EQ(editor->Selection(), 1);
    click(IDC_TEXTS_UP);
    EXPECT_EQ(editor->Entries(), Four);
    click(IDC_TEXTS_DELETE);
    EXPECT_EQ(editor->Entries(), (Verses{"Psalmul 23:1", "Ioan 3:16", "Apocalipsa 22:21"}));
    click(IDC_TEXTS_NEW);
    EXPECT_EQ(editor->Entries().back(), "Verset nou");
}

TEST_F(TextsEditor, ClickingAListEntryChoosesIt) {
    Open(Four);
    editor->Type("din camp");
    HWND list = editor->Control(IDC_TEXTS_LIST);
    RECT rect{};
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect));
    LPARAM at = MAKELPARAM(rect.left + 5, (rect.top + rect.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(editor->Selection(), 2);
    EXPECT_EQ(editor->Field(), "Ioan 3:16");
    EXPECT_EQ(editor->Entries()[0], "din camp");
}

// Shapes of the four images, told apart by their teal rows: the arrows are teal, the page is
// white, the cross black.
struct Glyph {
    int teal = 0, white = 0, black = 0;
    int firstTealRow = -1, lastTealRow = -1;
    int tealInFirstRow = 0, tealInLastRow = 0;
};

Glyph ReadGlyph(HDC dc, const RECT& rect) {
    Glyph glyph;
    for (int y = rect.top; y < rect.bottom; y++) {
        int tealHere = 0;
        for (int x = rect.left; x < rect.right; x++) {
            COLORREF c = GetPixel(dc, x, y);
            glyph.teal += c == RGB(0, 128, 128);
            glyph.white += c == RGB(255, 255, 255);
            glyph.black += c == RGB(0, 0, 0);
            tealHere += c == RGB(0, 128, 128);
        }
        if (tealHere != 0) {
            if (glyph.firstTealRow < 0) {
                glyph.firstTealRow = y;
                glyph.tealInFirstRow = tealHere;
            }
            glyph.lastTealRow = y;
            glyph.tealInLastRow = tealHere;
        }
    }
    return glyph;
}

TEST_F(TextsEditor, ToolbarShowsPageArrowsAndCrossInOrder) {
    Open(Four);
    HWND toolbar = editor->Control(IDC_TEXTS_TOOLBAR);
    UpdateWindow(editor->Window());
    RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    HDC dc = GetDC(toolbar);
    Glyph glyphs[4];
    for (int i = 0; i < 4; i++) {
        RECT rect{};
        SendMessageA(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
        glyphs[i] = ReadGlyph(dc, rect);
    }
    ReleaseDC(toolbar, dc);

    EXPECT_EQ(glyphs[0].teal, 0);
    EXPECT_GE(glyphs[0].white, 60) << "page";
    // Up: the tip (one pixel) is the first teal row, the shaft (three) the last; down mirrors it.
    EXPECT_EQ(glyphs[1].tealInFirstRow, 1);
    EXPECT_EQ(glyphs[1].tealInLastRow, 3);
    EXPECT_EQ(glyphs[2].tealInFirstRow, 3);
    EXPECT_EQ(glyphs[2].tealInLastRow, 1);
    EXPECT_EQ(glyphs[1].teal, glyphs[2].teal);
    EXPECT_GT(glyphs[1].teal, 30);
    EXPECT_EQ(glyphs[3].teal, 0);
    EXPECT_GE(glyphs[3].black, 40) << "cross";
    // The toolbar's light grey became the button face: no stray grey square around the images.
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (face != RGB(192, 192, 192)) {
        HDC again = GetDC(toolbar);
        RECT rect{};
        SendMessageA(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
        int grey = 0;
        for (int y = rect.top; y < rect.bottom; y++) {
            for (int x = rect.left; x < rect.right; x++) {
                grey += GetPixel(again, x, y) == RGB(192, 192, 192);
            }
        }
        ReleaseDC(toolbar, again);
        EXPECT_EQ(grey, 0);
    }
}

// ---------------------------------------------------------------------------------------------
// From the configuration dialog to the texts file

// The user opens the editor with the configuration's "&Versete..." button, rewrites the first
// verse over two lines, moves the third up, deletes the fourth, adds one and ends it with a "ș"
// from the keyboard (comma below, which no ANSI code page holds), then presses OK there: only the
// configuration's own OK writes the file, in UTF-8 with a mark as its ANSI form cannot hold it.
TEST(TextsEditorEndToEnd, OnlyTheConfigurationsOkWritesTheEditedVerses) {
    const std::string ansi = CodePageFromUtf8(
        "Geneza 1:1\r\nPsalmul 23:1\r\nIoan 3:16\r\nÎnceputul înţelepciunii\r\n", 1250);
    const std::string edited = "\xEF\xBB\xBF"
                               "Geneza 1:1 La început a făcut Dumnezeu cerurile şi pământul.\r\n"
                               "Ioan 3:16\r\nPsalmul 23:1\r\nRomani 8:28 ș\r\n";
    for (int close : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(close == IDOK ? "OK" : "Cancel");
        Installed installed(ansi);
        MessageBoxWatcher boxes;
        ModelessDialog configuration(MAKEINTRESOURCEW(IDD_CONFIG), ConfigDialogProc, 0);
        EXPECT_TRUE(EditList(configuration.Window(), IDC_CONFIG_VERSES, [](HWND shown) {
            Editor editor(shown);
            editor.Type("Geneza 1:1 La început\r\na făcut Dumnezeu cerurile şi pământul.");
            editor.Choose(2);
            editor.Press(IDC_TEXTS_UP);
            editor.Choose(3);
            editor.Press(IDC_TEXTS_DELETE);
            editor.Press(IDC_TEXTS_NEW);
            editor.Type("Romani 8:28 ");
            SendMessageW(editor.Control(IDC_TEXTS_EDIT), EM_SETSEL, 1000, 1000);
            SendMessageW(editor.Control(IDC_TEXTS_EDIT), WM_CHAR, 0x0219, 1);
        }));
        EXPECT_EQ(ConfigRecord(configuration.Window())->TextCount, 4u)
            << "the editor's OK hands the list to the record";
        configuration.Click(close);
        EXPECT_EQ(ReadBytes(installed.texts), close == IDOK ? edited : ansi);
        EXPECT_TRUE(boxes.Seen().empty());
    }
}

// UTF-8 with a line another editor appended in the code page: every letter shows right, and an
// edit writes the whole list in UTF-8, without a mark as the file had none.
TEST(TextsEditorEndToEnd, MixedFileShowsEveryLetterAndIsWrittenWholeInUtf8) {
    Installed installed("Geneza 1:1\r\nÎnceputul înțelepciunii\r\n" +
                        CodePageFromUtf8("Ioan 3:16 şi ţară\r\n", 1250));
    MessageBoxWatcher boxes;
    ModelessDialog configuration(MAKEINTRESOURCEW(IDD_CONFIG), ConfigDialogProc, 0);
    Verses shown;
    EXPECT_TRUE(EditList(configuration.Window(), IDC_CONFIG_VERSES, [&](HWND opened) {
        Editor editor(opened);
        shown = editor.Entries();
        editor.Type("Geneza 1:1 La început");
    }));
    configuration.Click(IDOK);
    EXPECT_EQ(shown, (Verses{"Geneza 1:1", "Începutul înțelepciunii", "Ioan 3:16 şi ţară"}));
    EXPECT_EQ(ReadBytes(installed.texts),
              "Geneza 1:1 La început\r\nÎnceputul înțelepciunii\r\nIoan 3:16 şi ţară\r\n");
    EXPECT_TRUE(boxes.Seen().empty());
}

// ---------------------------------------------------------------------------------------------
// Template

TEST(TextsTemplate, ToolbarBitmapIsFourImagesInSixteenColours) {
    HRSRC found = FindResourceA(nullptr, "TOOLBARBITMAP", MAKEINTRESOURCEA(2)); // RT_BITMAP
    ASSERT_NE(found, nullptr);
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
    EXPECT_EQ(header->biWidth, 64);
    EXPECT_EQ(header->biHeight, 15);
    EXPECT_EQ(header->biBitCount, 4);
}

} // namespace
