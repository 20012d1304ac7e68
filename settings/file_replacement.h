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
};

const FileMoves& PlatformFileMoves();

// Puts file.temporary in file.target's place. Whatever fails, the target's path holds a whole
// list afterwards, the old or the new one, and the old one is removed only once the new one is
// in place. Returns 0 or ErrorFileNotFound; the temporary file is removed either way unless it
// is the only copy left.
uint32_t PutReplacementInPlace(const FileMoves& moves, const ReplacementFile& file);
