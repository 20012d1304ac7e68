#pragma once
// The verses editor (TEXTSDLG); its creation parameter is the configuration's SaverSettings.
// The list control holds the verses while the dialog is open; the edit field holds the text of
// the current entry and is written back into the list when another entry is chosen, a verse is
// added, or OK is pressed. Only OK changes the record: it replaces the record's verses block.

#include "saver_settings.h"

#include <windows.h>

INT_PTR CALLBACK TextsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
