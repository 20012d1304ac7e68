#pragma once
// A stand-in for the system's HTML Help control, built by the tests and registered in the test
// prefix in place of hhctrl.ocx. Its HtmlHelpA (ordinal 14, like the real one) records every
// call; the test reads the record through the named exports below.
//
// Its result comes from the environment at each call: with VERSELUME_HELP_FAIL unset it
// succeeds and returns StandInHelpWindow; with VERSELUME_HELP_FAIL=<n> it fails, returning 0
// with the thread's last-error value set to n (0: left alone).

#include <windows.h>

inline constexpr char StandInFailVariable[] = "VERSELUME_HELP_FAIL";
inline const HWND StandInHelpWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5150));

struct StandInCall {
    HWND Owner;
    char File[1024];
    UINT Command;
    DWORD_PTR Data;
};

// The exports, looked up by name in the loaded stand-in.
using StandInCallCountFunction = int (*)();
using StandInCallAtFunction = const StandInCall* (*)(int index);
