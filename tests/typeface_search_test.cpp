#include "typeface_search.h"

#include "support/wide_strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A block exactly count x 32 units long, so that a read past its end trips AddressSanitizer.
struct Block {
    std::unique_ptr<WideChar[]> bytes;
    uint32_t count;

    explicit Block(const std::vector<std::u16string>& names)
        : bytes(new WideChar[names.size() * 32 + (names.empty() ? 1 : 0)]()),
          count(static_cast<uint32_t>(names.size())) {
        for (size_t i = 0; i < names.size(); ++i) {
            std::copy_n(names[i].begin(), std::min<size_t>(names[i].size(), 32), &bytes[i * 32]);
        }
    }
    bool Holds(const std::u16string& name) const {
        return IsTypefaceChosen(bytes.get(), count, Wide(name).c_str());
    }
};

std::u16string Numbered(int n) {
    char name[16];
    snprintf(name, sizeof name, "F%03d", n);
    return std::u16string(name, name + strlen(name));
}

TEST(IsTypefaceChosen, SortedBlockFindsEveryNameItHoldsAndNoOther) {
    // Order of the units: capitals before small letters, a prefix before its extensions,
    // letters beyond ASCII (localized names) after them.
    std::vector<std::u16string> names = {
        u"Arial",  u"Arial Black", u"Courier New", u"DejaVu Sans",
        u"Tahoma", u"Verdana",     u"arial",       u"zz 31 characters long exactly..",
        u"Ștefan", u"宋体"};
    Block block(names);
    for (const std::u16string& name : names) {
        EXPECT_TRUE(block.Holds(name));
    }
    for (const char16_t* name :
         {u"", u"Aria", u"Arial Blac", u"Arial Narrow", u"ARIAL", u"Arial ", u"B", u"Tahoma Bold",
          u"Verdana ", u"ariaL", u"zz 31 characters long exactly.", u"zzz", u"Ș", u"宋"}) {
        EXPECT_FALSE(block.Holds(name));
    }
}

TEST(IsTypefaceChosen, EveryPositionOfEveryBlockSizeIsReached) {
    // Names "F000".."F099" are in byte-wise order; odd numbers stand in the block, so every
    // even number falls between two of its names (or before the first, or after the last).
    for (int size = 1; size <= 50; ++size) {
        std::vector<std::u16string> names;
        for (int i = 0; i < size; ++i) {
            names.push_back(Numbered(2 * i + 1));
        }
        Block block(names);
        for (int n = 0; n <= 2 * size; ++n) {
            EXPECT_EQ(block.Holds(Numbered(n)), n % 2 == 1) << "size " << size << ", n " << n;
        }
    }
}

TEST(IsTypefaceChosen, BlockInAnotherOrderCanMissANameItHolds) {
    // The order in which the selected list keeps names (case-insensitive) differs from
    // byte-wise order here: "MS Sans Serif" comes last in the list but first byte-wise.
    Block listOrder({u"Marlett", u"Mistral", u"MS Sans Serif"});
    EXPECT_TRUE(listOrder.Holds(u"Marlett"));
    EXPECT_FALSE(listOrder.Holds(u"MS Sans Serif"));
    // A fonts file in reverse order: the middle entry is still met, the others are missed.
    Block reversed({u"Verdana", u"Tahoma", u"Arial"});
    EXPECT_TRUE(reversed.Holds(u"Tahoma"));
    EXPECT_FALSE(reversed.Holds(u"Verdana"));
    EXPECT_FALSE(reversed.Holds(u"Arial"));
}

TEST(IsTypefaceChosen, NoBlockOrNoCountHoldsNothing) {
    WideString arial = Wide(u"Arial");
    EXPECT_FALSE(IsTypefaceChosen(nullptr, 0, arial.c_str()));
    EXPECT_FALSE(IsTypefaceChosen(nullptr, 5, arial.c_str()));
    Block block({u"Arial"});
    EXPECT_FALSE(IsTypefaceChosen(block.bytes.get(), 0, arial.c_str()));
    EXPECT_TRUE(IsTypefaceChosen(block.bytes.get(), 1, arial.c_str()));
}

TEST(IsTypefaceChosen, SlotsWithoutTerminatorAreReadNoFurtherThanTheirUnits) {
    // 32 units of name and no NUL: a comparison that ran on to the next slot or past the block
    // would be caught by AddressSanitizer.
    std::u16string full(32, u'Q');
    Block block({u"A", full, std::u16string(32, u'R')});
    EXPECT_TRUE(block.Holds(full));
    EXPECT_FALSE(block.Holds(std::u16string(31, u'Q')));
    EXPECT_FALSE(block.Holds(std::u16string(33, u'S')));
}

} // namespace
