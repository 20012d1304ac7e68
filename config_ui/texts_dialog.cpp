// Placeholder until the verses editor is built.
#include "texts_dialog.h"

INT_PTR CALLBACK TextsDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
