#include "fonts_dialog.h"

#include "config_dialog.h"
#include "dialog_images.h"
#include "dialog_frame.h"
#include "error_box.h"
#include "error_codes.h"
#include "font_sample.h"
#include "help_launcher.h"
#include "list_box.h"
#include "platform.h"
#include "resource_ids.h"
#include "typeface_search.h"

#include <cstring>

namespace {

// The dialog's state, attached to it: the record OK fills and the two arrow images, which the
// dialog owns until it is destroyed or shows others for another scale. A selected list that
// could not take every typeface is not the record's list, and OK then leaves the record as it was.
struct FontsDialogState {
    SaverSettings* Record;
    bool Partial;
    HBITMAP ArrowLeft;
    HBITMAP ArrowRight;
};

// Moves the highlighted entries from the available list to the selected one (command
// IDC_FONTS_ADD) or back, each to its sorted place; then clears every highlight and the sample.
// 0 or ErrorOutOfMemory.
uint32_t MoveTypefaces(HWND dialog, int command);

// Shows the lowest highlighted entry of list in the sample, or clears the sample when the list
// has no highlight. 0, or the last error when the sample refused the name.
uint32_t ShowSelectedSample(HWND dialog, HWND list);

void FillAvailableList(HWND dialog, const WideChar* fonts, uint32_t fontCount) {
    FontEnumContext context{GetDlgItem(dialog, IDC_FONTS_AVAILABLE), fonts, fontCount};
    // Every field 0: every typeface name with the ANSI character set, whatever its technology.
    LOGFONTW everyTypeface{};
    HDC dc = GetDC(dialog);
    int result = EnumFontFamiliesExW(dc, &everyTypeface, AddAvailableTypeface,
                                     reinterpret_cast<LPARAM>(&context), 0);
    uint32_t code = result == 0 ? GetLastError() : 0;
    ReleaseDC(dialog, dc);
    ShowErrorMessage(dialog, code);
}

// Appends the record's typefaces up to the first the list refuses.
uint32_t FillSelectedList(HWND dialog, const WideChar* fonts, uint32_t fontCount) {
    if (fonts == nullptr) {
        return 0;
    }
    HWND list = GetDlgItem(dialog, IDC_FONTS_SELECTED);
    uint32_t code = 0;
    for (uint32_t i = 0; i < fontCount && code == 0; ++i) {
        // A slot is read no further than its own units, terminated or not.
        WideChar name[FontSlotWidth] = {};
        memcpy(name, fonts + static_cast<size_t>(i) * FontSlotWidth,
               (FontSlotWidth - 1) * sizeof(WideChar));
        code = AppendListEntry(list, name);
    }
    return code;
}

ScaledImageNames ArrowLeftImages = {"ARROWLEFT", "ARROWLEFT125", "ARROWLEFT150", "ARROWLEFT200",
                                    "ARROWLEFT300"};
ScaledImageNames ArrowRightImages = {"ARROWRIGHT", "ARROWRIGHT125", "ARROWRIGHT150",
                                     "ARROWRIGHT200", "ARROWRIGHT300"};

// Puts the arrows drawn for dpi on their buttons and releases the ones they replace.
void ShowArrows(HWND dialog, FontsDialogState& state, uint32_t dpi) {
    HBITMAP left = state.ArrowLeft;
    HBITMAP right = state.ArrowRight;
    state.ArrowLeft = LoadScaledImage(ArrowLeftImages, dpi);
    state.ArrowRight = LoadScaledImage(ArrowRightImages, dpi);
    SendDlgItemMessageA(dialog, IDC_FONTS_ADD, BM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(state.ArrowRight));
    SendDlgItemMessageA(dialog, IDC_FONTS_REMOVE, BM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(state.ArrowLeft));
    DeleteObject(left);
    DeleteObject(right);
}

// Without its state the dialog still lists the typefaces, but has no arrow images and OK
// changes no record.
void OpenFontsDialog(HWND dialog, FontsDialogState* state, LPARAM parameter) {
    auto* record = reinterpret_cast<SaverSettings*>(parameter);
    const WideChar* fonts = record != nullptr ? record->Fonts : nullptr;
    uint32_t fontCount = record != nullptr ? record->FontCount : 0;
    FillAvailableList(dialog, fonts, fontCount);
    uint32_t filled = FillSelectedList(dialog, fonts, fontCount);
    ShowErrorMessage(dialog, filled);
    if (state == nullptr) {
        return;
    }
    state->Record = record;
    state->Partial = filled != 0;
    ShowArrows(dialog, *state, WindowDpi(dialog));
}

// The system scales the dialog's font and layout itself; the arrows are bitmaps.
void RescaleArrows(HWND dialog, FontsDialogState* state, uint32_t dpi) {
    if (state != nullptr) {
        ShowArrows(dialog, *state, dpi);
    }
}

void ReleaseFontsDialog(HWND, FontsDialogState* state) {
    if (state != nullptr) {
        DeleteObject(state->ArrowLeft);
        DeleteObject(state->ArrowRight);
    }
}

bool AcceptTypefaces(HWND dialog, FontsDialogState* state) {
    // The record's Fonts block and FontCount become the selected list's entries, in the list's
    // order; on failure the record stays as it was.
    if (state != nullptr && state->Record != nullptr && !state->Partial) {
        ShowErrorMessage(dialog,
                         CollectListEntries(GetDlgItem(dialog, IDC_FONTS_SELECTED), FontSlotWidth,
                                            state->Record->Fonts, state->Record->FontCount));
    }
    return true;
}

INT_PTR RunCommand(HWND dialog, FontsDialogState*, int id, int notification, HWND control) {
    switch (id) {
    case IDC_FONTS_AVAILABLE:
    case IDC_FONTS_SELECTED:
        if (notification != LBN_SELCHANGE) {
            return FALSE;
        }
        ShowErrorMessage(dialog, ShowSelectedSample(dialog, control));
        return TRUE;
    case IDC_FONTS_ADD:
    case IDC_FONTS_REMOVE:
        ShowErrorMessage(dialog, MoveTypefaces(dialog, id));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK FontsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    static constexpr DialogSteps<FontsDialogState> steps = {
        .HelpTopic = "fonts.html",
        .Open = OpenFontsDialog,
        .Command = RunCommand,
        .Accept = AcceptTypefaces,
        .Release = ReleaseFontsDialog,
        .Rescale = RescaleArrows,
    };
    return RunDialogFrame(steps, dialog, message, wParam, lParam);
}

int CALLBACK AddAvailableTypeface(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM context) {
    auto* fontContext = reinterpret_cast<const FontEnumContext*>(context);
    if (fontContext == nullptr || fontContext->AvailableList == nullptr) {
        SetLastError(ErrorInvalidParameter);
        return 0;
    }
    if (fontContext->FontCount != 0 &&
        IsTypefaceChosen(fontContext->Fonts, fontContext->FontCount, font->lfFaceName)) {
        return 1;
    }
    LRESULT added = ToList(fontContext->AvailableList, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(font->lfFaceName));
    if (added == LB_ERR || added == LB_ERRSPACE) {
        SetDefaultLastError(ErrorOutOfMemory);
        return 0;
    }
    return 1;
}

namespace {

uint32_t MoveTypefaces(HWND dialog, int command) {
    bool toSelected = command == IDC_FONTS_ADD;
    HWND source = GetDlgItem(dialog, toSelected ? IDC_FONTS_AVAILABLE : IDC_FONTS_SELECTED);
    HWND target = GetDlgItem(dialog, toSelected ? IDC_FONTS_SELECTED : IDC_FONTS_AVAILABLE);
    LRESULT count = ToList(source, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) {
        return 0;
    }
    auto* positions = static_cast<int32_t*>(HeapAllocZero(static_cast<size_t>(count) * 4));
    if (positions == nullptr) {
        return ErrorOutOfMemory;
    }
    LRESULT filled = ToList(source, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(positions));
    uint32_t code = 0;
    // From the highest position down, so that a removal never shifts one still to be moved.
    for (LRESULT i = filled; i > 0; --i) {
        WideChar name[FontSlotWidth];
        if (!ReadListEntry(source, positions[i - 1], name, FontSlotWidth)) {
            continue;
        }
        // Added before it is removed: a name the target refuses stays where it was.
        LRESULT added = ToList(target, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        if (added == LB_ERR || added == LB_ERRSPACE) {
            code = code != 0 ? code : ErrorOutOfMemory;
            continue;
        }
        ToList(source, LB_DELETESTRING, positions[i - 1], 0);
    }
    HeapRelease(positions);
    ToList(source, LB_SETSEL, FALSE, -1);
    ToList(target, LB_SETSEL, FALSE, -1);
    SendDlgItemMessageA(dialog, IDC_FONTS_SAMPLE, FSM_SETFACENAME, 0, 0);
    return code;
}

uint32_t ShowSelectedSample(HWND dialog, HWND list) {
    HWND sample = GetDlgItem(dialog, IDC_FONTS_SAMPLE);
    if (ToList(list, LB_GETSELCOUNT, 0, 0) == 0) {
        SendMessageA(sample, FSM_SETFACENAME, 0, 0);
        return 0;
    }
    // Asking for one position gives the lowest highlighted one.
    int32_t position = 0;
    if (ToList(list, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&position)) != 1) {
        return 0;
    }
    WideChar name[FontSlotWidth];
    if (!ReadListEntry(list, position, name, FontSlotWidth)) {
        return 0;
    }
    if (SendMessageA(sample, FSM_SETFACENAME, 0, reinterpret_cast<LPARAM>(name)) != 0) {
        return GetLastError();
    }
    return 0;
}

} // namespace
