#pragma once
// The editors' list boxes and the record's blocks of fixed-width slots. The lists are Unicode
// windows, so an entry keeps every letter it was given, localized typeface names included.

#include "wide_text.h"

#include <windows.h>

#include <cstdint>

LRESULT ToList(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

// Appends a copy of text. 0, ErrorOutOfMemory when the list has no room for it, or
// ErrorInvalidParameter when it refused the entry otherwise.
uint32_t AppendListEntry(HWND list, const WideChar* text);

// Copies the entry at index into buffer, a slot of width units. False for a bad position or an
// entry that would not fit (every entry passes through slots of its list's width).
bool ReadListEntry(HWND list, WPARAM index, WideChar* buffer, size_t width);

// Replaces block and count with the list's entries, in the list's order, each in a slot of width
// units (an empty list leaves no block). 0; ErrorInvalidData or ErrorOutOfMemory leave both as
// they were.
uint32_t CollectListEntries(HWND list, size_t width, WideChar*& block, uint32_t& count);
