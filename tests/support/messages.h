#pragma once
// The test thread's message loop: windows and dialogs the test made live on it, and Wine shows
// drawing and delivers window events only while a thread handles its messages.

#include <windows.h>

#include <functional>

// Handles the messages waiting in the thread's queue, and keeps doing so for the given time.
// Keys for a dialog go through the dialog's own handling, as in a program's modeless loop.
void PumpMessages(DWORD milliseconds = 0);

// Handles the thread's messages until done() holds or timeoutMs has passed; returns done()'s
// last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// F1 as the system hands it on: WM_KEYF1 to the window of the dialog that has the focus (the
// dialog itself when none has), whose default handling asks for help (WM_HELP) up to the dialog.
void PressF1(HWND dialog);
