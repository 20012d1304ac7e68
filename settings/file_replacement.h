#pragma once
// The order of file moves that puts a new list in the place of the old one. The moves are the
// platform's; the order is the same everywhere, and tests can make any move fail.

#include "platform.h"

// The platform's moves. Each reports whether it was done.
struct FileMoves {
    bool (*Exists)(const PathUnit* path);
    // Moves a file to a name where there is none.
    bool (*MoveNew)(const PathUnit* from, const PathUnit* to);
    // The replacement takes the target's place, and the target goes to the backup name. A
    // failure may leave the target at the backup name and the replacement where it was.
    bool (*Swap)(const PathUnit* target, const PathUnit* replacement, const PathUnit* backup);
    bool (*Remove)(const PathUnit* path);
    // After the given failed attempt: waits a moment and says whether to try again (another
    // program holding the target lets go of it soon; a read-only target never will).
    bool (*TryAgain)(int attempt);
    // The path of the file last written of those that match a pattern ('*' standing for any
    // units in the file's name); false when none does.
    bool (*Newest)(const PathUnit* pattern, PathUnit (&found)[ReplacementPathSize]);
};

const FileMoves& PlatformFileMoves();

// Names file.temporary and file.backup for a replacement of file.target (a full path) numbered
// serial: "~vl", four hex digits of the target's name (so that the backups of two lists in one
// folder are told apart), four of the serial, and ".tmp" or ".bak", in the target's folder.
// Where one of the three paths would reach longForm units, all three take the form the system
// takes long paths in (\\?\, \\?\UNC\ for a share), so that every move names its files alike;
// with longForm 0 the paths stay as they are. False when a path would not fit.
bool NameReplacement(ReplacementFile& file, unsigned serial, size_t longForm);

// Where a list's file is missing because a replacement was cut short between its moves (a power
// cut), the old list waits under a backup name: the newest backup of file.target (named as by
// NameReplacement) goes back to the path. True when it did.
bool PutBackupInPlace(const FileMoves& moves, ReplacementFile& file, size_t longForm);

// Puts file.temporary in file.target's place. Whatever fails, the target's path holds a whole
// list afterwards, the old or the new one, and the old one is removed only once the new one is
// in place. Returns 0 or ErrorFileNotFound; the temporary file is removed either way unless it
// is the only whole list left (the old one neither at the path nor under the backup name).
uint32_t PutReplacementInPlace(const FileMoves& moves, const ReplacementFile& file);
