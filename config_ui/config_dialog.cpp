// Placeholder until the configuration dialog is built: without template IDD_CONFIG the dialog
// call fails quietly.
#include "config_dialog.h"

INT_PTR CALLBACK ConfigDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

INT_PTR CALLBACK AboutDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
