#pragma once
// The configuration dialog (template IDD_CONFIG) and its About box (ABOUTDLG).

#include "saver_settings.h"

#include <windows.h>

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The configuration's settings, attached to the dialog: loaded when it opens, handed to the
// verses editor and the typefaces dialog, saved on OK; its lists are released whenever the dialog
// closes, the record itself when the dialog is destroyed. None before the dialog's
// WM_INITDIALOG or when the record could not be made.
SaverSettings* ConfigRecord(HWND dialog);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the common-control classes asked for (ICC_ flags); false when they cannot be. The
// library is loaded by name on first use, not imported: the saver needs none of it, and loading
// it at start delays its black screen.
bool InitCommonControlClasses(DWORD classes);
