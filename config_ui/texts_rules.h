#pragma once
// The verses editor's decisions that need no window: where moving or deleting an entry leaves
// the current entry, and how a typed verse is kept to one line of the texts file.

#include "wide_text.h"

#include <cstddef>
#include <cstdint>

// The current index when the editor has no current entry.
inline constexpr int32_t NoVerse = -1;

// Where the entry at index goes when moved one place up (or down) in a list of count entries:
// the index itself when it cannot move (the first entry up, the last entry down), NoVerse when
// there is no current entry, or for a move down in an empty list.
int32_t MoveTarget(int32_t index, bool up, int32_t count);

// The current index after the entry at index was deleted and remaining entries are left: the
// same position, or the one before when the last entry went (NoVerse when none is left).
int32_t IndexAfterDelete(int32_t index, int32_t remaining);

// Replaces each CR LF, lone CR and lone LF of text by one space, in place, so that the verse
// stays one line of the texts file. Returns the new length.
size_t JoinVerseLines(WideChar* text);
