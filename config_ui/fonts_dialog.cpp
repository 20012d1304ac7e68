// Placeholder until the typefaces dialog is built.
#include "fonts_dialog.h"

INT_PTR CALLBACK FontsDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
