#pragma once
// The verses editor (TEXTSDLG); its creation parameter is the configuration's SaverSettings.
// The list control holds the verses while the dialog is open; the edit field holds the text of
// the current entry and is written back into the list when another entry is chosen, a verse is
// added, or OK is pressed. Only OK changes the record: it replaces the record's verses block.

#include "saver_settings.h"

#include <windows.h>

#include <cstdint>

INT_PTR CALLBACK TextsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The steps of the editor, each on the dialog's controls. Codes are Win32 error codes, 0 for
// success; an index of -1 means no current entry.

// Adds the four buttons ("Nou", "Sus", "Jos", "Şterge") with their images from image.
uint32_t SetUpTextsToolbar(HWND dialog, HBITMAP image);
// Puts the entry at index into the edit field (empties it for -1).
uint32_t ShowVerse(HWND dialog, int32_t index);
// Writes the edit field's text into the entry at index, on one line; an empty field removes
// the entry, and with index -1 a text becomes a new last entry.
uint32_t CommitVerse(HWND dialog, int32_t index);
// Appends the "Verset nou" placeholder, empties the edit field and focuses it; returns the
// placeholder's position.
int32_t AddNewVerse(HWND dialog);
// Moves the entry at index one place up (command IDC_TEXTS_UP) or down; returns its position.
int32_t MoveVerse(HWND dialog, int32_t index, int command);
// Removes the entry at index; returns the index of the entry that becomes current.
int32_t DeleteVerse(HWND dialog, int32_t index);
// Replaces the record's verses block and count with the list's entries; on failure the record
// keeps its old block.
uint32_t CollectVerses(HWND dialog, SaverSettings& record);
