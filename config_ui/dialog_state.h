#pragma once
// Each dialog keeps its state in a record of its own, attached to the dialog window (DWLP_USER):
// made zero-filled on the process heap at WM_INITDIALOG and released at WM_DESTROY, so no state
// outlives its dialog or is shared between two of them.

#include "platform.h"

#include <windows.h>

#include <new>

// The record attached to dialog, or none (before WM_INITDIALOG, or when it could not be made).
template <typename State> State* DialogState(HWND dialog) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// None when the heap is exhausted.
template <typename State> State* AttachDialogState(HWND dialog) {
    void* block = HeapAllocZero(sizeof(State));
    State* state = block != nullptr ? new (block) State{} : nullptr;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    return state;
}

template <typename State> void DetachDialogState(HWND dialog) {
    State* state = DialogState<State>(dialog);
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    if (state != nullptr) {
        state->~State();
        HeapRelease(state);
    }
}
