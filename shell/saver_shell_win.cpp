// The saver window's shell: carries out the decisions of shell_core with Win32 calls.
#include "saver_shell.h"

#include "shell_core.h"
#include "shell_state.h"

namespace {

void HidePointer() {
    SetCursor(nullptr);
}

void SavePointer() {
    GetCursorPos(&Shell.SavedCursorPos);
}

bool PointerMovedSinceSaved() {
    POINT now;
    if (!GetCursorPos(&now)) {
        return false;
    }
    return PointerMoved({Shell.SavedCursorPos.x, Shell.SavedCursorPos.y}, {now.x, now.y});
}

LRESULT AskVerifier(HWND window) {
    return Shell.VerifyScreenSavePwd(window);
}

} // namespace

SaverFlags CurrentSaverFlags() {
    return {Shell.PreviewMode, Shell.CheckingPassword, Shell.Closing,
            Shell.VerifyScreenSavePwd != nullptr};
}

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ShellDecision decision = DecideShellMessage(message, wParam, CurrentSaverFlags());
    if (decision.HidePointer) {
        HidePointer();
    }
    if (decision.SavePointer) {
        SavePointer();
    }
    if (decision.PostQuit) {
        PostQuitMessage(0);
    }
    switch (decision.Outcome) {
    case ShellOutcome::Forward:
        return Shell.Parts.SaverWindowProc(window, message, wParam, lParam);
    case ShellOutcome::PlatformDefault:
        return DefWindowProcA(window, message, wParam, lParam);
    case ShellOutcome::ReturnZero:
        return 0;
    }
    return 0;
}

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverFlags flags = CurrentSaverFlags();
    bool moved = SaverDecisionReadsPointer(message, wParam, flags) && PointerMovedSinceSaved();
    SaverDecision decision = DecideSaverMessage(message, wParam, flags, moved);
    LRESULT answer = 1;
    switch (decision.Step) {
    case SaverStep::Nothing:
        break;
    case SaverStep::RequestClose:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case SaverStep::TryClose:
        TryCloseSaver(window);
        break;
    case SaverStep::HidePointer:
        HidePointer();
        break;
    case SaverStep::Verify:
        answer = AskVerifier(window);
        break;
    }
    switch (decision.Result) {
    case SaverResult::PlatformDefault:
        return DefWindowProcA(window, message, wParam, lParam);
    case SaverResult::Zero:
        return 0;
    case SaverResult::One:
        return 1;
    case SaverResult::VerifierAnswer:
        return answer;
    }
    return 0;
}

void TryCloseSaver(HWND window) {
    switch (StartClose(CurrentSaverFlags())) {
    case CloseStart::Ignore:
        return;
    case CloseStart::AskVerifier:
        // The verifier runs its own modal loop on this thread: messages of the saver window are
        // dispatched meanwhile, and further close requests find CheckingPassword set.
        Shell.CheckingPassword = 1;
        Shell.Closing = static_cast<uint32_t>(SendMessageA(window, VerifyPasswordMessage, 0, 0));
        Shell.CheckingPassword = 0;
        break;
    case CloseStart::Grant:
        Shell.Closing = 1;
        break;
    }
    switch (FinishClose(Shell.Closing)) {
    case CloseEnd::DestroyWindow:
        DestroyWindow(window);
        break;
    case CloseEnd::RetakePointer:
        SavePointer();
        break;
    }
}
