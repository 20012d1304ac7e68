#pragma once
// Opens the compiled help file named by the HelpFile registry value through the system's HTML
// Help control, which is loaded on first use and kept for the life of the process.

#include <windows.h>

#include <cstdint>

inline constexpr UINT HelpDisplayTopic = 0; // HH_DISPLAY_TOPIC

// Shows the help file, at topic when one is given ("texts.html"), owned by owner. Non-zero on
// success; on failure 0, with the reason in the thread's last-error value.
HWND OpenHelp(HWND owner, const char* topic);

// Calls the control's HtmlHelpA, loading the control first if needed (from the module its
// registration names, else by name). 0 when the control cannot be loaded or its entry point is
// missing; after a failed load no further attempt is made.
HWND CallHtmlHelp(HWND owner, const char* file, UINT command, DWORD_PTR data);

// Keeps a pending last-error code, or sets code when none is pending; returns the code in force.
uint32_t SetDefaultLastError(uint32_t code);
