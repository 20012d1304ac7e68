#pragma once
// The typefaces dialog (FONTSDLG); its creation parameter is the configuration's SaverSettings.

#include <windows.h>

INT_PTR CALLBACK FontsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
