#pragma once
// Lists of fixed-width strings kept one entry per line in plain text files.
//
// In memory a list is one zero-filled heap block of count slots of width UTF-16 units each;
// slot i starts at unit i * width and holds a NUL-terminated entry of at most width - 1 units.
// An empty list has no block. On disk a list is ANSI, UTF-8 or UTF-16 (each with or without a
// byte-order mark); a list is written back in the form its file had.

#include "text_form.h"
#include "wide_text.h"

#include "error_codes.h"

#include <cstdint>

// What a list's file was when it was read, so that a save can tell whether another program has
// saved it since.
struct ListFileStamp {
    bool Exists = false; // there was a file (or something that could not be opened) at the path
    bool Known = false;  // and all of its bytes were read
    uint64_t Size = 0;
    uint64_t LastWrite = 0;
    uint64_t Hash = 0; // of its bytes
    // There is no file, and no folder for one either (an unplugged drive, an offline share).
    bool FolderMissing = false;
    bool operator==(const ListFileStamp&) const = default;
};

// Reads the file at path into a new block, stores the number of entries in count and the file's
// form in form (None when the file cannot be opened), and what the file was in stamp, when one
// is given. Lines end at CR LF, LF or a lone CR, empty lines are skipped, and a longer line is
// cut into entries of width - 1 units (an ANSI line at width - 1 bytes, as before the code page
// is applied; a surrogate pair is never cut in two). Returns none with count 0 when there is no
// entry, leaving in the thread's last-error value 0 (no entry), ErrorFileNotFound (cannot
// open), ErrorOutOfMemory, or the system's reason (ErrorReadFault where it gives none) for a
// read that failed part-way or ended short of the file's size.
WideChar* ReadListFile(const char* path, uint32_t width, uint32_t& count, ListFileForm& form,
                       ListFileStamp* stamp = nullptr);

// What the file at path is now.
void StampListFile(const char* path, ListFileStamp& stamp);

// Writes count slots of block, each followed by CR LF, in place of the file at path, in the form
// the list was read in: ANSI only while every entry converts to the code page and back
// unchanged within width - 1 bytes, otherwise (and for None) UTF-8 with a byte-order mark.
// Returns 0, ErrorFileNotFound when the file cannot be created or replaced, or ErrorWriteFault
// when a write failed. The old file stays whole unless every write succeeded, except in a
// folder that lets no new file be made, where the file is written in place. With count 0 block
// may be none, and the file is left empty whatever its form.
uint32_t WriteListFile(const char* path, const WideChar* block, uint32_t count, uint32_t width,
                       ListFileForm form);
