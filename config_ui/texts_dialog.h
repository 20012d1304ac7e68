#pragma once
// The verses editor (TEXTSDLG); its creation parameter is the configuration's SaverSettings.

#include <windows.h>

INT_PTR CALLBACK TextsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
