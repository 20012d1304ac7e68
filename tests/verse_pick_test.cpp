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
        UseVerses(record, verses);
        record.Options = c.options;
        record.LastText = c.lastText;
        record.LastDay = c.lastDay;
        record.FirstPick = c.firstPick;
        SeedRandom(Seed);

        const WideChar* verse = PickVerse(record, Today);

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
    UseVerses(record, verses);
    record.Options = 1 | ConsecutiveOrderBit;
    record.FirstPick = 1;
    EXPECT_EQ(SlotText(PickVerse(record, Today), TextSlotWidth), u"doi");
    EXPECT_EQ(SlotText(PickVerse(record, Today), TextSlotWidth), u"doi");
    EXPECT_EQ(SlotText(PickVerse(record, Today + 1), TextSlotWidth), u"doi");
    record.FirstPick = 1;
    EXPECT_EQ(SlotText(PickVerse(record, Today), TextSlotWidth), u"trei");
}

TEST(PickVerse, DailyPolicyTurnsAtTheDayNumber) {
    std::vector<WideChar> verses = WideSlots({u"unu", u"doi", u"trei"}, TextSlotWidth);
    SaverSettings record{};
    UseVerses(record, verses);
    record.Options = 2 | ConsecutiveOrderBit;
    record.LastDay = Today;
    EXPECT_EQ(SlotText(PickVerse(record, Today), TextSlotWidth), u"unu");
    EXPECT_EQ(SlotText(PickVerse(record, Today), TextSlotWidth), u"unu");
    EXPECT_EQ(SlotText(PickVerse(record, Today + 1), TextSlotWidth), u"doi");
    EXPECT_EQ(SlotText(PickVerse(record, Today + 1), TextSlotWidth), u"doi");
    EXPECT_EQ(SlotText(PickVerse(record, Today + 2), TextSlotWidth), u"trei");
    EXPECT_EQ(SlotText(PickVerse(record, Today + 3), TextSlotWidth), u"unu");
    EXPECT_EQ(record.LastDay, Today + 3);
}

} // namespace
