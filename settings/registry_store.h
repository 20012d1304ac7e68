#pragma once
// Every registry access of the program: loading and saving the settings record (numbers from
// the registry key, lists from the two files whose paths the key names), the position in the
// verse list, the help file's path, and the two system values the program reads. The settings
// key is never created.

#include "saver_settings.h"
#include "text_form.h"

#include <windows.h>

// A path value is at most 260 bytes, terminator included; one more byte lets a value stored
// without its terminator be terminated inside the buffer.
inline constexpr DWORD RegistryPathSize = 260;
using RegistryPath = char[RegistryPathSize + 1];

// Reads a path value of an open key; never reads past the buffer and always terminates it.
// Returns 0 or the registry's error code (the buffer is then empty).
uint32_t ReadRegistryPath(HKEY key, const char* name, RegistryPath& path);

// What a record loaded for editing went through with its list files, kept beside the record
// (whose layout is fixed).
struct ListFileStates {
    // The file exists but could not be read, so the empty list in memory is not the user's: a
    // save leaves the file alone until the list is replaced in its editor.
    bool TextsUnread = false;
    bool FontsUnread = false;
    // Why each list's file could not be written at the last save; 0 when it was, or was left
    // alone, or its path could not be read from the key.
    uint32_t TextsWriteError = 0;
    uint32_t FontsWriteError = 0;
    // The form each list's file was read in, so that a save writes the list back in it (None
    // when there was no file: a new one is UTF-8).
    ListFileForm TextsForm = ListFileForm::None;
    ListFileForm FontsForm = ListFileForm::None;
};

// Fills a zero-filled record from the registry and the list files. Returns 0 or the first
// error: the key's, else the verses list's, else the typefaces list's (for a file that exists
// but cannot be opened, the system's reason: a sharing violation, access denied). With no key
// the record stays as it was. The second form also tells which lists could not be read, and
// the forms of their files.
uint32_t LoadSettings(SaverSettings& record);
uint32_t LoadSettings(SaverSettings& record, ListFileStates& states);

// The two halves of LoadSettings, for a saver that shows its window before it reads the files:
// the numbers of the key (TextSpeed, FadeSpeed, LastDay, LastText, Options), and the two lists
// from the files the key names. Each returns 0 or its first error and, with no key, leaves the
// record as it was.
uint32_t LoadSettingsNumbers(SaverSettings& record);
uint32_t LoadSettingsLists(SaverSettings& record);
uint32_t LoadSettingsLists(SaverSettings& record, ListFileStates& states);

// Writes TextSpeed, FadeSpeed and Options, then both lists to their files; every step is tried
// and the first error is returned. The key is never created. The first form writes new files;
// the second writes each list in the form its file was read in, leaves alone the files of lists
// that could not be read, and records why a list's file could not be written.
uint32_t SaveSettings(const SaverSettings& record);
uint32_t SaveSettings(const SaverSettings& record, ListFileStates& states);

// Releases both list blocks of the record and leaves it with empty lists.
void ReleaseSettingsLists(SaverSettings& record);

// Writes LastDay and LastText; 0 or the first error.
uint32_t SaveLastVerse(const SaverSettings& record);

// The HelpFile value of the settings key. 0, or the key's or the value's error (the buffer is
// then empty).
uint32_t ReadHelpFile(RegistryPath& path);

// The HTML Help control's registered module path (260 bytes at most, terminated); false when
// there is no registration.
bool ReadHtmlHelpServerPath(RegistryPath& path);

// "ScreenSaveUsePassword" of the desktop settings, whatever its type; a shorter value counts by
// the bytes it has.
bool DesktopAsksForPassword();
