#pragma once
// The frame every dialog of the program shares: its record attached at WM_INITDIALOG and
// released at WM_DESTROY, OK and Cancel, the help command and F1 with the dialog's topic. A
// dialog supplies only its own steps; its procedure hands each message to RunDialogFrame.

#include "dialog_state.h"
#include "error_box.h"
#include "error_codes.h"
#include "help_launcher.h"

#include <windows.h>

#include <cstdint>

// Each step is given the dialog's record, or none when it could not be made (the opening then
// shows one box for it, and the dialog still works as far as it can without).
template <typename State> struct DialogSteps {
    // The help file's page for the dialog ("texts.html"), or none for its start.
    const char* HelpTopic;
    // At WM_INITDIALOG, with the dialog's creation parameter.
    void (*Open)(HWND dialog, State* state, LPARAM parameter);
    // Every command but OK, Cancel and help; FALSE for one the dialog leaves alone.
    INT_PTR (*Command)(HWND dialog, State* state, int id, int notification, HWND control);
    // OK: true when the dialog may end.
    bool (*Accept)(HWND dialog, State* state);
    // Optional: before the dialog ends by OK or Cancel.
    void (*Close)(HWND dialog, State* state) = nullptr;
    // At WM_DESTROY, before the record goes: what the record owns is given back.
    void (*Release)(HWND dialog, State* state);
    // Optional: the dialog moved to a monitor of another scale.
    void (*Rescale)(HWND dialog, State* state, uint32_t dpi) = nullptr;
    // Optional: a tick of one of the dialog's timers.
    void (*Tick)(HWND dialog, State* state) = nullptr;
};

inline void ShowDialogHelp(HWND dialog, const char* topic) {
    if (OpenHelp(dialog, topic) == nullptr) {
        ShowErrorMessage(dialog, GetLastError());
    }
}

template <typename State> void EndDialogFrame(const DialogSteps<State>& steps, HWND dialog) {
    if (steps.Close != nullptr) {
        steps.Close(dialog, DialogState<State>(dialog));
    }
    EndDialog(dialog, 0);
}

template <typename State>
INT_PTR RunDialogCommand(const DialogSteps<State>& steps, HWND dialog, WPARAM wParam,
                         LPARAM lParam) {
    State* state = DialogState<State>(dialog);
    int id = LOWORD(wParam);
    switch (id) {
    case IDOK:
        if (steps.Accept(dialog, state)) {
            EndDialogFrame(steps, dialog);
        }
        return TRUE;
    case IDCANCEL:
        EndDialogFrame(steps, dialog);
        return TRUE;
    case IDHELP:
        ShowDialogHelp(dialog, steps.HelpTopic);
        return TRUE;
    default:
        return steps.Command(dialog, state, id, HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    }
}

template <typename State>
INT_PTR RunDialogFrame(const DialogSteps<State>& steps, HWND dialog, UINT message, WPARAM wParam,
                       LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        State* state = AttachDialogState<State>(dialog);
        steps.Open(dialog, state, lParam);
        if (state == nullptr) {
            ShowErrorMessage(dialog, ErrorOutOfMemory);
        }
        return TRUE; // the system focuses the first tab stop
    }
    case WM_COMMAND:
        return RunDialogCommand(steps, dialog, wParam, lParam);
    case WM_HELP:
        // F1, anywhere in the dialog: the help command's topic.
        ShowDialogHelp(dialog, steps.HelpTopic);
        return TRUE;
    case WM_DPICHANGED:
        if (steps.Rescale != nullptr) {
            steps.Rescale(dialog, DialogState<State>(dialog), HIWORD(wParam));
        }
        return FALSE; // the system still moves and scales the dialog
    case WM_TIMER:
        if (steps.Tick == nullptr) {
            return FALSE;
        }
        steps.Tick(dialog, DialogState<State>(dialog));
        return TRUE;
    case WM_DESTROY:
        steps.Release(dialog, DialogState<State>(dialog));
        DetachDialogState<State>(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
