#include "verse_pick.h"

#include "random.h"
#include "support/records.h"

#include <gtest/gtest.h>

namespace {

// Seed 100000 draws 31684 first (RandomUpTo(4) = 4), then 25190.
constexpr uint32_t Seed = 100000;
constexpr uint32_t FirstValue = 31684;
constexpr uint32_t SecondValue = 25190;
constexpr int32_t Today = 9000;

struct PickCase {
    const char* name;
    uint32_t options;
    uint32_t count;
    uint32_t lastText;
    int32_t lastDay;
    uint32_t firstPick;
    uint32_t expectedText;
    int32_t expectedDay;
    bool draws;
};

const PickCase PickCases[] = {
    {"every display, random", 0, 5, 2, 123, 0, 4, 123, true},
    {"one verse, random", 0, 1, 0, 0, 0, 0, 0, true},
    {"one verse, consecutive", 4, 1, 0, 0, 0, 0, 0, false},
    {"fresh installation, consecutive", 4, 5, 0, 0, 0, 1, 0, false},
    {"last verse, consecutive", 4, 5, 4, 0, 0, 0, 0, false},
    {"largest stored index, consecutive", 4, 5, 4294967295u, 0, 0, 0, 0, false},
    {"stored index beyond the list, random", 0, 5, 77, 0, 0, 4, 0, true},
    {"first pick of an activation", 1, 5, 2, 0, 1, 4, 0, true},
    {"later pick of an activation", 1, 5, 2, 0, 0, 2, 0, false},
    {"stored index beyond the list, nothing due", 1, 5, 9, 0, 0, 0, 0, false},
    {"daily, same day", 2, 5, 3, Today, 1, 3, Today, false},
    {"daily, new day", 2, 5, 3, Today - 1, 0, 4, Today, true},
    {"daily, a later day in the stored value", 2, 5, 3, Today + 40, 0, 4, Today, true},
    {"options 3 as 2, same day", 3, 5, 3, Today, 0, 3, Today, false},
    {"options 3 as 2, new day", 3, 5, 3, 0, 0, 4, Today, true},
    {"options 8: random, every display", 8, 5, 2, 0, 0, 4, 0, true},
    {"options 5: consecutive, first pick", 5, 5, 2, 0, 1, 3, 0, false},
    {"options 5: consecutive, later pick", 5, 5, 2, 0, 0, 2, 0, false},
    {"daily consecutive wraps on a new day", 6, 5, 4, Today - 1, 0, 0, Today, false},
};

TEST(PickVerse, PolicyOrderAndStoredIndex) {
    for (const PickCase& c : PickCases) {
        SCOPED_TRACE(c.name);
        std::vector<WideChar> verses;
        for (uint32_t i = 0; i < c.count; i++) {
            verses.resize(verses.size() + TextSlotWidth, 0);
            verses[i * TextSlotWidth] = static_cast<WideChar>('a' + i);
        }
        SaverSettings record{};
        VerseRound round{};
        UseVerses(record, verses);
        record.Options = c.options;
        record.LastText = c.lastText;
        record.LastDay = c.lastDay;
        record.FirstPick = c.firstPick;
        SeedRandom(Seed);

        const WideChar* verse = PickVerse(record, round, Today);

        EXPECT_EQ(record.LastText, c.expectedText);
        EXPECT_EQ(record.LastDay, c.expectedDay);
        EXPECT_EQ(record.FirstPick, 0u);
        EXPECT_EQ(verse, verses.data() + c.expectedText * TextSlotWidth);
        EXPECT_EQ(NextRandom(), c.draws ? SecondValue : FirstValue) << "random draws made";
    }
}

TEST(PickVerse, OnlyTheFirstPickOfAnActivationMovesOn) {
    std::vector<WideChar> verses = WideSlots({u"unu", u"doi", u"trei"}, TextSlotWidth);
    SaverSettings record{};
    VerseRound round{};
    UseVerses(record, verses);
    record.Options = 1 | ConsecutiveOrderBit;
    record.FirstPick = 1;
    EXPECT_EQ(SlotText(PickVerse(record, round, Today), TextSlotWidth), u"doi");
    EXPECT_EQ(SlotText(PickVerse(record, round, Today), TextSlotWidth), u"doi");
    EXPECT_EQ(SlotText(PickVerse(record, round, Today + 1), TextSlotWidth), u"doi");
    record.FirstPick = 1;
    EXPECT_EQ(SlotText(PickVerse(record, round, Today), TextSlotWidth), u"trei");
}

TEST(PickVerse, DailyPolicyTurnsAtTheDayNumber) {
    std::vector<WideChar> verses = WideSlots({u"unu", u"doi", u"trei"}, TextSlotWidth);
    SaverSettings record{};
    VerseRound round{};
    UseVerses(record, verses);
    record.Options = 2 | ConsecutiveOrderBit;
    record.LastDay = Today;
    EXPECT_EQ(SlotText(PickVerse(record, round, Today), TextSlotWidth), u"unu");
    EXPECT_EQ(SlotText(PickVerse(record, round, Today), TextSlotWidth), u"unu");
    EXPECT_EQ(SlotText(PickVerse(record, round, Today + 1), TextSlotWidth), u"doi");
    EXPECT_EQ(SlotText(PickVerse(record, round, Today + 1), TextSlotWidth), u"doi");
    EXPECT_EQ(SlotText(PickVerse(record, round, Today + 2), TextSlotWidth), u"trei");
    EXPECT_EQ(SlotText(PickVerse(record, round, Today + 3), TextSlotWidth), u"unu");
    EXPECT_EQ(record.LastDay, Today + 3);
}

// Every verse once per round (a stored round's unshown verses first), never one verse twice in
// a row, one draw per pick. Stored rounds: 0 none, 1 this list's, 2 another list's (digest),
// 3 of another length, 4 with a bit beyond the list; all but 1 start anew.
TEST(PickVerse, RandomOrderGoesThroughTheListInRounds) {
    const uint32_t cases[][4] = {
        {1, 0, 0, 3},     {2, 0, 0, 6},    {2, 1, 1, 5},    {81, 0, 0, 243}, {81, 40, 1, 122},
        {81, 81, 1, 162}, {81, 40, 2, 81}, {81, 40, 3, 81}, {81, 40, 4, 81}, {31102, 0, 0, 31103}};
    for (const auto& [count, shown, stored, picks] : cases) {
        SCOPED_TRACE(testing::Message() << count << " verses, " << shown << " shown, " << stored);
        std::vector<uint8_t> bytes(RoundStoredSize(count) + (stored == 3 ? 1 : 0), 0);
        bytes[0] = count & 0xFF, bytes[1] = count >> 8, bytes[4] = stored == 2 ? 2 : 1;
        for (uint32_t i = 0; i < shown; i++) {
            bytes[RoundHeaderSize + i / 8] |= 1 << (i % 8);
        }
        bytes.back() |= stored == 4 ? 0x80 : 0;
        VerseRound round{};
        FitRound(round, stored == 0 ? nullptr : bytes.data(), bytes.size(), count, 1);
        std::vector<WideChar> verses(count * TextSlotWidth, 0);
        SaverSettings record{};
        UseVerses(record, verses);
        record.LastText = shown > 0 ? shown - 1 : count - 1;
        std::vector<bool> seen(count, false);
        uint32_t left = stored == 1 ? count - shown : count;
        std::fill_n(seen.begin(), stored == 1 ? shown : 0, true);
        SeedRandom(Seed);
        for (uint32_t i = 0; i < picks; i++) {
            uint32_t last = record.LastText;
            PickVerse(record, round, Today);
            if (left == 0) {
                seen.assign(count, false), left = count;
            }
            ASSERT_FALSE(seen[record.LastText]) << "pick " << i << " repeats a verse";
            ASSERT_TRUE(count == 1 || record.LastText != last) << "pick " << i;
            seen[record.LastText] = true, left--;
        }
        EXPECT_EQ(round.Unshown, left);
        uint32_t next = NextRandom();
        SeedRandom(Seed);
        for (uint32_t i = 0; i < picks; i++) {
            NextRandom();
        }
        EXPECT_EQ(NextRandom(), next) << "not one draw per pick";
        ReleaseRound(round);
    }
}

} // namespace
