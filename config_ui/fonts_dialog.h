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
// the block holds it. 1 goes on; 0 stops, with ErrorInvalidParameter (no context or list) or the
// list's failure (ErrorOutOfMemory unless an error was pending) in the thread's last-error value.
int CALLBACK AddAvailableTypeface(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type,
                                  LPARAM context);
