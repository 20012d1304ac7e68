#pragma once

#include "list_save.h"

#include <windows.h>

#include <cstdint>

// Shows the system's text for a Win32 error code in an error box owned by owner; code 0, or a
// code the system has no text for, shows nothing.
void ShowErrorMessage(HWND owner, uint32_t code);

// Shows in one box, for each list that a save put beside its file because another program had
// changed the file, both files: the one that keeps the other program's version and the one that
// holds the user's list. Shows nothing when neither list was.
void ShowListsSavedBeside(HWND owner, const ListFileState& texts, const ListFileState& fonts);

// Shows in one error box each list whose file a save could not write (its code non-zero), with
// the system's text for the code, and that the edits are still there to be saved again.
void ShowListSaveErrors(HWND owner, uint32_t textsCode, uint32_t fontsCode);
