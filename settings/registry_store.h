#pragma once
// Loading and saving the settings record: numbers from the registry key, lists from the two
// files whose paths the key names.

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

// The forms the record's two list files were read in, kept beside the record (whose layout is
// fixed) so that a save writes each list back in its file's form.
struct ListForms {
    ListFileForm Texts = ListFileForm::None;
    ListFileForm Fonts = ListFileForm::None;
};

// Fills a zero-filled record from the registry and the list files, and forms (where given) with
// the files' forms. Returns 0 or the first error: the key's, else the verses list's, else the
// typefaces list's. With no key the record and forms stay as they were.
uint32_t LoadSettings(SaverSettings& record, ListForms* forms = nullptr);

// Writes TextSpeed, FadeSpeed and Options, then both lists to their files in the forms they were
// read in; every step is tried and the first error is returned. The key is never created.
uint32_t SaveSettings(const SaverSettings& record, const ListForms& forms);

// Releases both list blocks of the record and leaves it with empty lists.
void ReleaseSettingsLists(SaverSettings& record);
