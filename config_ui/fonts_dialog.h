#pragma once
// The typefaces dialog (FONTSDLG): the installed typefaces not chosen on the left, the chosen
// ones on the right, arrows between them and a sample below. Its creation parameter is the
// configuration's SaverSettings, whose Fonts block OK replaces with the chosen list; Cancel
// leaves the record untouched.

#include "saver_settings.h"

#include <windows.h>

#include <cstdint>

// What the typeface enumeration hands to AddAvailableTypeface.
struct FontEnumContext {
    HWND AvailableList;
    const WideChar* Fonts; // the record's block of 32-unit slots, or none
    uint32_t FontCount;
};

INT_PTR CALLBACK FontsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Enumeration callback (context: a FontEnumContext): lists the typeface as available unless
// the block holds it. 1 goes on; 0 stops, with 87 (no context or list) or the list's failure
// (14 unless an error was pending) in the thread's last-error value.
int CALLBACK AddAvailableTypeface(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type,
                                  LPARAM context);

// Moves the highlighted entries from the available list to the selected one (command 302) or
// back (303), each to its sorted place; then clears every highlight and the sample. 0 or 14.
uint32_t MoveTypefaces(HWND dialog, int command);

// Shows the lowest highlighted entry of list in the sample, or clears the sample when the list
// has no highlight. 0, or the last error when the sample refused the name.
uint32_t ShowSelectedSample(HWND dialog, HWND list);

// Replaces the record's Fonts block and FontCount with the selected list's entries, in the
// list's order. 0; 13 or 14 leave the record as it was.
uint32_t CollectTypefaces(HWND dialog, SaverSettings& record);
