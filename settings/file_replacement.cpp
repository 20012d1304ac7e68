#include "file_replacement.h"

#include "error_codes.h"

namespace {

// The old list left the target's path and the new one did not take it: one of them goes there.
// True when it is the new one.
bool MendEmptyTarget(const FileMoves& moves, const ReplacementFile& file) {
    for (int attempt = 1;; attempt++) {
        if (moves.MoveNew(file.temporary, file.target)) {
            moves.Remove(file.backup);
            return true;
        }
        if (moves.MoveNew(file.backup, file.target) || !moves.TryAgain(attempt)) {
            return false;
        }
    }
}

} // namespace

uint32_t PutReplacementInPlace(const FileMoves& moves, const ReplacementFile& file) {
    for (int attempt = 1;; attempt++) {
        if (!moves.Exists(file.target)) {
            if (moves.MoveNew(file.temporary, file.target)) {
                return 0;
            }
        } else if (moves.Swap(file.target, file.temporary, file.backup)) {
            moves.Remove(file.backup);
            return 0;
        } else if (moves.Exists(file.backup)) {
            if (!moves.Exists(file.target)) {
                if (MendEmptyTarget(moves, file)) {
                    return 0;
                }
            } else {
                // Another save put its list in the moment the target was away: the old one is
                // superseded, and this save tries again over the newer one.
                moves.Remove(file.backup);
            }
        }
        if (!moves.TryAgain(attempt)) {
            break;
        }
    }
    // Where the path is empty now, the new list is the one to put there; where the old list could
    // not be put back, it is the only copy left.
    if (!moves.Exists(file.target) && moves.MoveNew(file.temporary, file.target)) {
        return 0;
    }
    if (moves.Exists(file.target)) {
        moves.Remove(file.temporary);
    }
    return ErrorFileNotFound;
}
