#pragma once
// Setting Verselume up, as its installer would, for a user who has no settings key (the bare
// program from the zip, a right-click Install, or a key removed): the installer's sample lists
// in the user's application-data folder and the key that names them.

#include <windows.h>

#include <cstdint>

// %APPDATA%\Verselume, where the installer puts the lists; false when the system names no
// application-data folder, or the path would not fit.
bool UserListsFolder(wchar_t (&folder)[MAX_PATH]);

// Makes the folder if it is missing and writes each sample list into it where no file is yet,
// then creates the settings key with their paths, and the help file's when verselume.chm lies
// beside the program. 0 or the first error; no key is made unless both lists are there.
uint32_t SetUpForUser(const wchar_t* folder);
