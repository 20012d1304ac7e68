#pragma once
// Every registry access of the program: loading and saving the settings record (numbers from
// the registry key, lists from the two files whose paths the key names), the position in the
// verse list, the help file's path, and the two system values the program reads. The settings
// key is created only when the user, asked by the configuration, sets Verselume up.

#include "list_save.h"
#include "saver_settings.h"

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
    ListFileState Texts;
    ListFileState Fonts;
    ListFileStates() { Fonts.Ordered = false; }
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
// One of the two lists, as LoadSettingsLists reads it.
enum class SettingsList : uint8_t { Texts, Fonts };
uint32_t LoadSettingsList(SettingsList list, SaverSettings& record, ListFileStates& states);

// The Screens value as stored (ScreensChoice tells what it chooses); VerseOnEveryScreen when it
// or the key is missing.
uint32_t ReadScreens();

// Writes both lists to their files, then TextSpeed, FadeSpeed and Options; every list is tried
// and the first error is returned. The key is never created. The first form writes both lists
// as new files. The second saves each list as SaveListFile does (only a list the user changed,
// and never over another program's save) and writes the numbers only when both lists were
// saved, so that a failed save changes none of the key's values; Screens too, when given (the
// user chose another entry, so that a value the dialog does not offer stays otherwise).
uint32_t SaveSettings(const SaverSettings& record);
uint32_t SaveSettings(const SaverSettings& record, ListFileStates& states,
                      const uint32_t* screens = nullptr);

// Creates the settings key for a user who has none, as the installer does: TextsFile, FontsFile
// and, when one is given, HelpFile. A key that exists already is left as it is. 0 or the first
// error; a key that could not be filled is removed again.
uint32_t CreateSettingsKey(const wchar_t* texts, const wchar_t* fonts, const wchar_t* help);

// Releases both list blocks of the record and leaves it with empty lists.
void ReleaseSettingsLists(SaverSettings& record);

// The saver's round of random order as stored ("VerseRound", REG_BINARY), when it is size bytes
// long: a block of its bytes on the process heap, or none (no key, no such value, no memory).
uint8_t* LoadVerseRound(uint32_t size);

// Writes LastDay and LastText, then the round's bytes as "VerseRound" when there are some (none
// leaves the stored round as it is); 0 or the first error.
uint32_t SaveLastVerse(const SaverSettings& record, const uint8_t* round, uint32_t roundSize);

// The HelpFile value of the settings key. 0, or the key's or the value's error (the buffer is
// then empty).
uint32_t ReadHelpFile(RegistryPath& path);

// The HTML Help control's registered module path (260 bytes at most, terminated); false when
// there is no registration.
bool ReadHtmlHelpServerPath(RegistryPath& path);

// "ScreenSaveUsePassword" of the desktop settings, whatever its type; a shorter value counts by
// the bytes it has.
bool DesktopAsksForPassword();
