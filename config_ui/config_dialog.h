#pragma once
// The configuration dialog (template IDD_CONFIG) and its About box (ABOUTDLG).

#include "saver_settings.h"

#include <windows.h>

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
