#include "support/messages.h"

namespace {

bool IsDialog(HWND window) {
    char name[16] = "";
    return window != nullptr && GetClassNameA(window, name, sizeof name) != 0 &&
           lstrcmpA(name, "#32770") == 0;
}

void HandleWaitingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (IsDialog(root) && IsDialogMessageW(root, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

void PumpMessages(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HandleWaitingMessages();
        if (done()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void PressF1(HWND dialog) {
    // The message the system posts for the key, which the headers do not name.
    constexpr UINT KeyF1 = 0x004D;
    HWND focus = GetFocus();
    if (focus == nullptr || GetAncestor(focus, GA_ROOT) != dialog) {
        focus = dialog;
    }
    SendMessageW(focus, KeyF1, 0, 0);
}
