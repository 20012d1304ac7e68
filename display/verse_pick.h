#pragma once
// Which verse of the list a drawing run shows, by the change policy and order in Options.

#include "saver_settings.h"

#include <cstdint>

// Decides whether a new verse is due (every run; the first run after the window was created;
// the first run on a new UTC day, today being DayNumber of now), moves LastText on (the next one,
// or a random one: one draw of RandomUpTo), brings it back below TextCount, clears FirstPick and
// returns the verse's slot. Requires a Texts block of at least one verse.
const WideChar* PickVerse(SaverSettings& record, int32_t today);
