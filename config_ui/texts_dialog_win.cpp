#include "texts_dialog.h"

#include "config_dialog.h"
#include "dialog_images.h"
#include "dialog_frame.h"
#include "error_box.h"
#include "error_codes.h"
#include "list_box.h"
#include "platform.h"
#include "program_module.h"
#include "resource_ids.h"
#include "texts_rules.h"

#include <commctrl.h>

namespace {

// Every buffer an entry passes through holds a verse of 255 UTF-16 units and its NUL. The
// editor is a Unicode window throughout, so a verse keeps every letter typed or read.
using VerseBuffer = WideChar[TextSlotWidth];

constexpr int ToolbarButtons = 4;
ScaledImageNames ToolbarImages = {"TOOLBARBITMAP", "TOOLBARBITMAP125", "TOOLBARBITMAP150",
                                  "TOOLBARBITMAP200", "TOOLBARBITMAP300"};
// Above this many verses the list reserves its room before it is filled.
constexpr uint32_t ReserveAbove = 100;

// The editor's state, attached to its dialog: the record OK fills, the current entry, and the
// toolbar's image (drawn for the dialog's scale) and button texts, which the editor owns until it
// is destroyed (the texts stay valid for the toolbar's life, whether it copies them or keeps the
// pointers). A list that could not take every verse is not the record's list, and OK then leaves
// the record as it was.
struct TextsEditorState {
    SaverSettings* Record;
    int32_t Current;
    bool Partial;
    HBITMAP ToolbarImage;
    VerseBuffer ToolTexts[ToolbarButtons];
};

// The steps of the editor, each on the dialog's controls. Codes are Win32 error codes, 0 for
// success; an index of -1 means no current entry.

// Adds the four buttons ("Nou", "Sus", "Jos", "Şterge") with the editor's image and texts, the
// buttons sized to the image.
uint32_t SetUpTextsToolbar(HWND dialog, TextsEditorState& editor);
// Puts the entry at index into the edit field (empties it for -1).
uint32_t ShowVerse(HWND dialog, int32_t index);
// Writes the edit field's text into the entry at index, on one line; an empty field removes
// the entry, and with index -1 a text becomes a new last entry.
uint32_t CommitVerse(HWND dialog, int32_t index);
// Appends the "Verset nou" placeholder, empties the edit field and focuses it; returns the
// placeholder's position.
int32_t AddNewVerse(HWND dialog);
// Moves the entry at index one place up (command IDC_TEXTS_UP) or down; returns its position.
int32_t MoveVerse(HWND dialog, int32_t index, int command);
// Removes the entry at index; returns the index of the entry that becomes current.
int32_t DeleteVerse(HWND dialog, int32_t index);

// The list's window is looked up once per step: every look-up by id asks the window manager,
// and the loops over the verses would otherwise spend most of their time there.
HWND VerseList(HWND dialog) {
    return GetDlgItem(dialog, IDC_TEXTS_LIST);
}

void SelectCurrent(HWND dialog, const TextsEditorState& editor) {
    ToList(VerseList(dialog), LB_SETCURSEL, static_cast<WPARAM>(editor.Current), 0);
}

// Appends the record's verses up to the first the list refuses; the entries before it stay.
uint32_t FillVerseList(HWND list, const SaverSettings& record) {
    if (record.TextCount > ReserveAbove) {
        ToList(list, LB_INITSTORAGE, record.TextCount, TextSlotWidth);
    }
    uint32_t code = 0;
    for (uint32_t i = 0; i < record.TextCount && code == 0; i++) {
        code = AppendListEntry(list, record.Texts + static_cast<size_t>(i) * TextSlotWidth);
    }
    return code;
}

// An editor whose state could not be made can only be left.
void OpenTextsEditor(HWND dialog, TextsEditorState* editor, LPARAM parameter) {
    if (editor == nullptr) {
        return;
    }
    auto* record = reinterpret_cast<SaverSettings*>(parameter);
    editor->Record = record;
    editor->Current = NoVerse;
    editor->ToolbarImage = LoadScaledImage(ToolbarImages, WindowDpi(dialog));
    ShowErrorMessage(dialog, SetUpTextsToolbar(dialog, *editor));
    if (record != nullptr && record->TextCount != 0 && record->Texts != nullptr) {
        HWND list = VerseList(dialog);
        uint32_t filled = FillVerseList(list, *record);
        editor->Partial = filled != 0;
        ShowErrorMessage(dialog, filled);
        editor->Current = ToList(list, LB_SETCURSEL, 0, 0) == LB_ERR ? NoVerse : 0;
    }
    SendDlgItemMessageW(dialog, IDC_TEXTS_EDIT, EM_LIMITTEXT, TextSlotWidth - 1, 0);
    ShowErrorMessage(dialog, ShowVerse(dialog, editor->Current));
}

void ReleaseTextsEditor(HWND, TextsEditorState* editor) {
    if (editor != nullptr && editor->ToolbarImage != nullptr) {
        DeleteObject(editor->ToolbarImage);
    }
}

// A toolbar takes the size of its images only before the first is added, so one for another
// scale is a new toolbar in the old one's place (first among the controls), in the dialog's font.
void RescaleToolbar(HWND dialog, TextsEditorState* editor, uint32_t dpi) {
    if (editor == nullptr) {
        return;
    }
    HWND old = GetDlgItem(dialog, IDC_TEXTS_TOOLBAR);
    auto style = static_cast<DWORD>(GetWindowLongW(old, GWL_STYLE));
    DestroyWindow(old);
    DeleteObject(editor->ToolbarImage);
    HWND toolbar =
        CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 0, 0, dialog,
                        reinterpret_cast<HMENU>(IDC_TEXTS_TOOLBAR), ProgramModule(), nullptr);
    SetWindowPos(toolbar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(toolbar, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    editor->ToolbarImage = LoadScaledImage(ToolbarImages, dpi);
    ShowErrorMessage(dialog, SetUpTextsToolbar(dialog, *editor));
}

// The verses the editor shows become the record's: its block and count become the list's
// entries. A list that could not be collected leaves the record with its old block.
bool AcceptVerses(HWND dialog, TextsEditorState* editor) {
    if (editor != nullptr) {
        ShowErrorMessage(dialog, CommitVerse(dialog, editor->Current));
        if (editor->Record != nullptr && !editor->Partial) {
            ShowErrorMessage(dialog,
                             CollectListEntries(VerseList(dialog), TextSlotWidth,
                                                editor->Record->Texts, editor->Record->TextCount));
        }
    }
    return true;
}

INT_PTR RunTextsCommand(HWND dialog, TextsEditorState* state, int id, int notification, HWND) {
    if (state == nullptr) {
        return FALSE;
    }
    TextsEditorState& editor = *state;
    switch (id) {
    case IDC_TEXTS_NEW:
        ShowErrorMessage(dialog, CommitVerse(dialog, editor.Current));
        editor.Current = AddNewVerse(dialog);
        SelectCurrent(dialog, editor);
        return TRUE;
    case IDC_TEXTS_UP:
    case IDC_TEXTS_DOWN:
        editor.Current = MoveVerse(dialog, editor.Current, id);
        SelectCurrent(dialog, editor);
        return TRUE;
    case IDC_TEXTS_DELETE:
        editor.Current = DeleteVerse(dialog, editor.Current);
        SelectCurrent(dialog, editor);
        ShowErrorMessage(dialog, ShowVerse(dialog, editor.Current));
        return TRUE;
    case IDC_TEXTS_LIST:
        if (notification != LBN_SELCHANGE) {
            return FALSE;
        }
        ShowErrorMessage(dialog, CommitVerse(dialog, editor.Current));
        editor.Current = static_cast<int32_t>(ToList(VerseList(dialog), LB_GETCURSEL, 0, 0));
        ShowErrorMessage(dialog, ShowVerse(dialog, editor.Current));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK TextsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    static constexpr DialogSteps<TextsEditorState> steps = {
        .HelpTopic = "texts.html",
        .Open = OpenTextsEditor,
        .Command = RunTextsCommand,
        .Accept = AcceptVerses,
        .Release = ReleaseTextsEditor,
        .Rescale = RescaleToolbar,
    };
    return RunDialogFrame(steps, dialog, message, wParam, lParam);
}

namespace {

uint32_t SetUpTextsToolbar(HWND dialog, TextsEditorState& editor) {
    HWND toolbar = GetDlgItem(dialog, IDC_TEXTS_TOOLBAR);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    BITMAP strip{};
    if (GetObjectW(editor.ToolbarImage, sizeof strip, &strip) != 0) {
        SendMessageW(toolbar, TB_SETBITMAPSIZE, 0,
                     MAKELPARAM(strip.bmWidth / ToolbarButtons, strip.bmHeight));
    }
    TBADDBITMAP images = {nullptr, reinterpret_cast<UINT_PTR>(editor.ToolbarImage)};
    if (SendMessageW(toolbar, TB_ADDBITMAP, ToolbarButtons, reinterpret_cast<LPARAM>(&images)) ==
        -1) {
        return ErrorInvalidParameter;
    }
    VerseBuffer* texts = editor.ToolTexts;
    TBBUTTON buttons[ToolbarButtons] = {};
    for (int i = 0; i < ToolbarButtons; i++) {
        texts[i][0] = 0;
        LoadStringW(ProgramModule(), IDS_TOOL_NEW + i, texts[i], TextSlotWidth);
        buttons[i].iBitmap = i;
        buttons[i].idCommand = IDC_TEXTS_NEW + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
        buttons[i].dwData = 0;
        buttons[i].iString = reinterpret_cast<INT_PTR>(texts[i]);
    }
    if (SendMessageW(toolbar, TB_ADDBUTTONSW, ToolbarButtons, reinterpret_cast<LPARAM>(buttons)) ==
        0) {
        return ErrorInvalidParameter;
    }
    // Its height follows its buttons'.
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    return 0;
}

uint32_t ShowVerse(HWND dialog, int32_t index) {
    if (index == NoVerse) {
        SetDlgItemTextW(dialog, IDC_TEXTS_EDIT, L"");
        return 0;
    }
    VerseBuffer text;
    if (!ReadListEntry(VerseList(dialog), static_cast<WPARAM>(index), text, TextSlotWidth)) {
        SetDlgItemTextW(dialog, IDC_TEXTS_EDIT, L"");
        return ErrorInvalidData;
    }
    SetDlgItemTextW(dialog, IDC_TEXTS_EDIT, text);
    return 0;
}

uint32_t CommitVerse(HWND dialog, int32_t index) {
    uint32_t result = 0;
    VerseBuffer text = {};
    // A stale code from an earlier call must not pass for a failed read of an empty field.
    SetLastError(0);
    UINT length = GetDlgItemTextW(dialog, IDC_TEXTS_EDIT, text, TextSlotWidth);
    if (length == 0) {
        result = GetLastError();
    }
    HWND list = VerseList(dialog);
    ToList(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    if (length != 0) {
        // Ctrl+Enter puts line breaks into the field; the texts file holds one verse a line.
        JoinVerseLines(text);
        LRESULT inserted = ToList(list, LB_INSERTSTRING, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(text));
        if (inserted == LB_ERRSPACE) {
            result = ErrorOutOfMemory;
        } else if (inserted == LB_ERR) {
            result = ErrorInvalidParameter;
        } else {
            result = 0;
        }
    }
    return result;
}

int32_t AddNewVerse(HWND dialog) {
    VerseBuffer text = {};
    LoadStringW(ProgramModule(), IDS_NEW_VERSE, text, TextSlotWidth);
    HWND list = VerseList(dialog);
    ToList(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SetDlgItemTextW(dialog, IDC_TEXTS_EDIT, L"");
    SetFocus(GetDlgItem(dialog, IDC_TEXTS_EDIT));
    return static_cast<int32_t>(ToList(list, LB_GETCOUNT, 0, 0)) - 1;
}

int32_t MoveVerse(HWND dialog, int32_t index, int command) {
    HWND list = VerseList(dialog);
    int32_t count = static_cast<int32_t>(ToList(list, LB_GETCOUNT, 0, 0));
    int32_t target = MoveTarget(index, command == IDC_TEXTS_UP, count);
    if (target == NoVerse || target == index) {
        return target;
    }
    VerseBuffer text;
    if (!ReadListEntry(list, static_cast<WPARAM>(index), text, TextSlotWidth)) {
        return index;
    }
    ToList(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    ToList(list, LB_INSERTSTRING, static_cast<WPARAM>(target), reinterpret_cast<LPARAM>(text));
    return target;
}

int32_t DeleteVerse(HWND dialog, int32_t index) {
    if (index == NoVerse) {
        return NoVerse;
    }
    HWND list = VerseList(dialog);
    ToList(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    return IndexAfterDelete(index, static_cast<int32_t>(ToList(list, LB_GETCOUNT, 0, 0)));
}

} // namespace
