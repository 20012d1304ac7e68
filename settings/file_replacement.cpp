#include "file_replacement.h"

#include "error_codes.h"

#include <cstdint>

namespace {

constexpr size_t NameLength = 15; // "~vl", eight hex digits, ".tmp"

size_t UnitLength(const PathUnit* text) {
    size_t length = 0;
    while (text[length] != 0) {
        length++;
    }
    return length;
}

// Where a path's file name begins: after its last separator; 0 without one.
size_t NameStart(const PathUnit* path, size_t length) {
    for (size_t at = length; at > 0; at--) {
        if (path[at - 1] == '\\' || path[at - 1] == '/') {
            return at;
        }
    }
    return 0;
}

// Four hex digits of a file's name, the same whatever the case of its ASCII letters (as the
// system compares names).
unsigned NameTag(const PathUnit* name) {
    uint32_t hash = 2166136261u;
    for (; *name != 0; name++) {
        uint32_t unit = static_cast<uint32_t>(*name) & 0xFFFF;
        unit = unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit;
        hash = (hash ^ unit) * 16777619u;
    }
    return (hash ^ (hash >> 16)) & 0xFFFF;
}

struct PathText {
    PathUnit* text;
    size_t length;
    bool Append(const PathUnit* part, size_t count) {
        if (length + count >= ReplacementPathSize) {
            return false;
        }
        for (size_t i = 0; i < count; i++) {
            text[length++] = part[i];
        }
        text[length] = 0;
        return true;
    }
    bool Append(const char* ascii) {
        bool fits = true;
        for (; *ascii != '\0' && fits; ascii++) {
            PathUnit unit = static_cast<PathUnit>(*ascii);
            fits = Append(&unit, 1);
        }
        return fits;
    }
    bool AppendHex(unsigned value) {
        char digits[5] = {};
        for (int i = 3; i >= 0; i--, value >>= 4) {
            digits[i] = "0123456789abcdef"[value & 15];
        }
        return Append(digits);
    }
};

// The target in the long form, unless it has it already ("\\?\C:\...", "\\?\UNC\server\...").
bool ToLongForm(PathUnit (&target)[ReplacementPathSize]) {
    static constexpr char longMark[] = "\\\\?\\";
    size_t length = UnitLength(target);
    bool marked = length >= 4;
    for (size_t i = 0; i < 4 && marked; i++) {
        marked = target[i] == static_cast<PathUnit>(longMark[i]);
    }
    if (marked) {
        return true;
    }
    bool share = length >= 2 && target[0] == '\\' && target[1] == '\\';
    PathUnit copy[ReplacementPathSize];
    PathText original{copy, 0};
    PathText prefixed{target, 0};
    return original.Append(target, length) && prefixed.Append(share ? "\\\\?\\UNC" : "\\\\?\\") &&
           prefixed.Append(copy + (share ? 1 : 0), length - (share ? 1 : 0));
}

// The target's folder, "~vl", the tag and the serial (or "*" for any), and the suffix.
bool NameBeside(const ReplacementFile& file, const char* serial, unsigned number,
                const char* suffix, PathUnit (&path)[ReplacementPathSize]) {
    size_t length = UnitLength(file.target);
    size_t folder = NameStart(file.target, length);
    PathText name{path, 0};
    return name.Append(file.target, folder) && name.Append("~vl") &&
           name.AppendHex(NameTag(file.target + folder)) &&
           (serial != nullptr ? name.Append(serial) : name.AppendHex(number)) &&
           name.Append(suffix);
}

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

bool NameReplacement(ReplacementFile& file, unsigned serial, size_t longForm) {
    size_t length = UnitLength(file.target);
    size_t folder = NameStart(file.target, length);
    bool isLong = length >= longForm || folder + NameLength >= longForm;
    if (longForm != 0 && isLong && !ToLongForm(file.target)) {
        return false;
    }
    return NameBeside(file, nullptr, serial, ".tmp", file.temporary) &&
           NameBeside(file, nullptr, serial, ".bak", file.backup);
}

bool PutBackupInPlace(const FileMoves& moves, ReplacementFile& file, size_t longForm) {
    PathUnit pattern[ReplacementPathSize];
    return NameReplacement(file, 0, longForm) && !moves.Exists(file.target) &&
           NameBeside(file, "*", 0, ".bak", pattern) && moves.Newest(pattern, file.backup) &&
           moves.MoveNew(file.backup, file.target);
}

uint32_t PutReplacementInPlace(const FileMoves& moves, const ReplacementFile& file) {
    const bool replacing = moves.Exists(file.target);
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
    if (!replacing || moves.Exists(file.target) || moves.Exists(file.backup)) {
        moves.Remove(file.temporary);
    }
    return ErrorFileNotFound;
}
