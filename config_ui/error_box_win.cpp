#include "error_box.h"

void ShowErrorMessage(HWND owner, uint32_t code) {
    if (code == 0) {
        return;
    }
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                  nullptr, code, 0, reinterpret_cast<char*>(&text), 32, nullptr);
    if (length == 0 || text == nullptr) {
        return;
    }
    MessageBoxA(owner, text, nullptr, MB_ICONERROR);
    LocalFree(text);
}
