#pragma once
// Which verse of the list a drawing run shows, by the change policy and order in Options, and
// the round that random order goes through the list in.

#include "saver_settings.h"

#include <cstdint>

// Random order goes through the list in rounds: no verse comes back before every verse of the
// list has been shown once, and a new round does not start with the verse the last one ended
// with. A round is kept as the registry stores it: the count of its list (4 bytes) and the
// list's digest (8 bytes, ListDigest in order), little-endian, then a bit per verse (bit i % 8 of
// byte i / 8), set once the verse was shown.
inline constexpr uint32_t RoundHeaderSize = 12;

struct VerseRound {
    uint8_t* Stored;  // RoundStoredSize(Count) bytes on the process heap; none: no round kept
    uint32_t Count;   // verses of the list the round is for
    uint32_t Unshown; // verses not yet shown in this round
};

// Bytes of the stored round of a list of count verses.
uint32_t RoundStoredSize(uint32_t count);

// Gives the round the one stored (size bytes, none when there is none) where it is a round of
// this very list: count verses with this digest. Otherwise a new round. No round is kept for an
// empty list, or when memory runs out.
void FitRound(VerseRound& round, const uint8_t* stored, uint32_t size, uint32_t count,
              uint64_t digest);

void ReleaseRound(VerseRound& round);

// Decides whether a new verse is due (every run; the first run after the window was created;
// the first run on a new UTC day, today being DayNumber of now), moves LastText on (the next one,
// or one at random: one draw of RandomUpTo, among the verses the round has not shown, which then
// counts as shown), brings it back below TextCount, clears FirstPick and returns the verse's
// slot. Without a round kept for the list, a random pick only keeps from the verse at LastText.
// Requires a Texts block of at least one verse.
const WideChar* PickVerse(SaverSettings& record, VerseRound& round, int32_t today);
