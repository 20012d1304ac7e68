#include "list_save.h"

#include "platform.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr int BesideAttempts = 20;

// The first name beside path that no file has yet, for a save at the local time now.
bool FreeBesidePath(const char* path, char (&beside)[ListPathSize]) {
    time_t now = time(nullptr);
    const tm* local = localtime(&now);
    if (local == nullptr) {
        return false;
    }
    for (int attempt = 1; attempt <= BesideAttempts; attempt++) {
        if (!BesidePath(path, local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
                        local->tm_hour, local->tm_min, attempt, beside)) {
            return false;
        }
        ListFileStamp stamp;
        StampListFile(beside, stamp);
        if (!stamp.Exists) {
            return true;
        }
    }
    return false;
}

uint32_t WriteBeside(const char* path, const WideChar* block, uint32_t count, uint32_t width,
                     ListFileState& state) {
    char beside[ListPathSize];
    if (!FreeBesidePath(path, beside)) {
        return ErrorFileNotFound;
    }
    uint32_t code = WriteListFile(beside, block, count, width, state.Form);
    if (code == 0) {
        memcpy(state.SavedBeside, beside, sizeof beside);
    }
    return code;
}

void KeepPath(const char* path, ListFileState& state) {
    snprintf(state.File, sizeof state.File, "%s", path);
}

} // namespace

uint64_t ListDigest(const WideChar* block, uint32_t count, uint32_t width, bool ordered) {
    if (count == 0) {
        return 0;
    }
    // In order, each entry goes on from the hash before it; as a set, the entries' own hashes
    // are added up, which no order changes.
    uint64_t hash = 0xcbf29ce484222325u ^ count;
    uint64_t sum = count;
    for (uint32_t i = 0; i < count; i++) {
        const WideChar* entry = block + static_cast<size_t>(i) * width;
        size_t length = WideLength(entry, width);
        uint64_t own = ordered ? hash : 0xcbf29ce484222325u;
        // The terminator goes in too, so that "ab", "c" and "a", "bc" differ.
        for (size_t j = 0; j <= length; j++) {
            own = (own ^ static_cast<uint64_t>(j < length ? entry[j] : 0)) * 0x100000001b3u;
        }
        hash = own;
        sum += own;
    }
    return (ordered ? hash : sum) | 1; // never 0, which is the empty list's
}

ListSaveAction DecideListSave(bool changed, const ListFileStamp& atRead, const ListFileStamp& now) {
    if (!changed) {
        // A list whose file is still missing is created, as a new installation's would be; one
        // whose folder is away too could not be, and must not keep the other settings unsaved.
        bool create = !atRead.Exists && !now.Exists && !now.FolderMissing;
        return create ? ListSaveAction::Write : ListSaveAction::Leave;
    }
    if (!now.Exists) {
        return ListSaveAction::Write; // nothing there to lose
    }
    bool unchangedSince = atRead.Known && now.Known && atRead == now;
    return unchangedSince ? ListSaveAction::Write : ListSaveAction::WriteBeside;
}

bool BesidePath(const char* path, int year, int month, int day, int hour, int minute, int attempt,
                char (&beside)[ListPathSize]) {
    const char* name = path;
    for (const char* at = path; *at != '\0'; at++) {
        if (*at == '\\' || *at == '/' || *at == ':') {
            name = at + 1;
        }
    }
    const char* dot = strrchr(name, '.');
    const char* extension = dot != nullptr && dot != name ? dot : name + strlen(name);
    size_t stem = static_cast<size_t>(extension - path);
    char words[48];
    if (attempt <= 1) {
        snprintf(words, sizeof words, " (editat %04d-%02d-%02d %02d-%02d)", year, month, day, hour,
                 minute);
    } else {
        snprintf(words, sizeof words, " (editat %04d-%02d-%02d %02d-%02d, %d)", year, month, day,
                 hour, minute, attempt);
    }
    // A name that would pass the system's path limit loses the end of its stem, and then its
    // date for a bare number, so that the file stays in its folder and every program reaches it
    // by its plain path.
    char number[16];
    snprintf(number, sizeof number, "~%d", attempt);
    size_t keep = static_cast<size_t>(name - path); // at least the folder and one letter more
    for (const char* added : {words, number}) {
        size_t length = stem + strlen(added) + strlen(extension);
        size_t over = length >= BesidePathLimit ? length - (BesidePathLimit - 1) : 0;
        if (stem > keep + over) {
            int written = snprintf(beside, sizeof beside, "%.*s%s%s", static_cast<int>(stem - over),
                                   path, added, extension);
            return written > 0 && static_cast<size_t>(written) < sizeof beside;
        }
    }
    return false;
}

WideChar* LoadListFile(const char* path, uint32_t width, uint32_t& count, ListFileState& state) {
    KeepPath(path, state);
    WideChar* block = ReadListFile(path, width, count, state.Form, &state.Stamp);
    // A save cut short by a power cut can leave the old list under its backup name alone: it
    // goes back to its path before anything else looks at the list.
    if (block == nullptr && !state.Stamp.Exists && PutListBackupInPlace(path)) {
        block = ReadListFile(path, width, count, state.Form, &state.Stamp);
    }
    state.Digest = ListDigest(block, count, width, state.Ordered);
    state.WriteError = 0;
    state.SavedBeside[0] = '\0';
    return block;
}

uint32_t SaveListFile(const char* path, const WideChar* block, uint32_t count, uint32_t width,
                      ListFileState& state) {
    KeepPath(path, state);
    state.WriteError = 0;
    state.SavedBeside[0] = '\0';
    uint64_t digest = ListDigest(block, count, width, state.Ordered);
    bool changed = digest != state.Digest;
    if (!changed && state.Stamp.Exists) {
        return 0; // no need to look at the file again
    }
    ListFileStamp now;
    StampListFile(path, now);
    uint32_t code = 0;
    switch (DecideListSave(changed, state.Stamp, now)) {
    case ListSaveAction::Leave:
        return 0;
    case ListSaveAction::Write:
        code = WriteListFile(path, block, count, width, state.Form);
        if (code == 0) {
            StampListFile(path, state.Stamp);
        }
        break;
    case ListSaveAction::WriteBeside:
        code = WriteBeside(path, block, count, width, state);
        break;
    }
    state.WriteError = code;
    if (code == 0) {
        state.Digest = digest;
    }
    return code;
}
