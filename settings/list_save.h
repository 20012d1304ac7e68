#pragma once
// Saving a list the user may have edited, for the configuration dialog: a list is written only
// when the user changed it, and never over a file another program saved after it was read.

#include "list_file.h"

#include <cstddef>
#include <cstdint>

// Room for a list's path and the words a file saved beside it adds to its name.
inline constexpr size_t ListPathSize = 320;
// A path the system's plain (ANSI) file functions take: at most 259 bytes.
inline constexpr size_t BesidePathLimit = 260;

// One list of a record loaded for editing: what its file was when it was read, and what the last
// save did with it.
struct ListFileState {
    // Whether the order of the entries is the user's: the typefaces dialog shows its list sorted,
    // so a typefaces list in another order is still the same list.
    bool Ordered = true;
    ListFileForm Form = ListFileForm::None; // the file's form, so a save keeps it
    ListFileStamp Stamp;                    // the file when it was read
    uint64_t Digest = 0;                    // the entries as read, or as last saved
    uint32_t WriteError = 0;                // why the last save could not write the list
    // The list's file, as it was loaded or last saved.
    char File[ListPathSize] = {};
    // Where the last save put the user's list because another program had changed the file;
    // empty when it did not.
    char SavedBeside[ListPathSize] = {};

    // The file is there but could not be read: the empty list in memory is not the user's.
    bool Unread() const { return Stamp.Exists && !Stamp.Known; }
};

// A digest of a list's entries, in order or as a set of entries; equal lists have equal
// digests, and the empty list has 0.
uint64_t ListDigest(const WideChar* block, uint32_t count, uint32_t width, bool ordered);

enum class ListSaveAction : uint8_t {
    Leave,       // the file stays as it is
    Write,       // the list goes to its file
    WriteBeside, // the list goes to a new file beside it, which keeps the other program's save
};

// What a save does with a list, from whether the user changed it, what its file was when it was
// read and what it is now.
ListSaveAction DecideListSave(bool changed, const ListFileStamp& atRead, const ListFileStamp& now);

// The path of a file beside path for the user's list, named for the time of the save, e.g.
// "versete (editat 2026-12-09 14-05).txt"; the second and later tries add their number. A name
// that would make the path longer than BesidePathLimit allows is shortened; false when even its
// first letter would not fit.
bool BesidePath(const char* path, int year, int month, int day, int hour, int minute, int attempt,
                char (&beside)[ListPathSize]);

// Reads a list for editing and fills its state. As ReadListFile.
WideChar* LoadListFile(const char* path, uint32_t width, uint32_t& count, ListFileState& state);

// Saves a list as DecideListSave says. Returns 0 or the code of the failed write (also kept in
// state.WriteError); state.SavedBeside names the file written beside the original, if any. What
// was saved becomes the list's new starting point, so that saving again writes nothing more.
uint32_t SaveListFile(const char* path, const WideChar* block, uint32_t count, uint32_t width,
                      ListFileState& state);
