#include "typeface_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A block exactly count x 32 bytes long, so that a read past its end trips AddressSanitizer.
struct Block {
    std::unique_ptr<char[]> bytes;
    uint32_t count;

    explicit Block(const std::vector<std::string>& names)
        : bytes(new char[names.size() * 32 + (names.empty() ? 1 : 0)]()),
          count(static_cast<uint32_t>(names.size())) {
        for (size_t i = 0; i < names.size(); ++i) {
            memcpy(bytes.get() + i * 32, names[i].data(), std::min<size_t>(names[i].size(), 32));
        }
    }
    bool Holds(const std::string& name) const {
        return IsTypefaceChosen(bytes.get(), count, name.c_str());
    }
};

TEST(IsTypefaceChosen, SortedBlockFindsEveryNameItHoldsAndNoOther) {
    // Byte-wise order: capitals before small letters, a prefix before its extensions.
    Block block({"Arial", "Arial Black", "Courier New", "DejaVu Sans", "Tahoma", "Verdana", "arial",
                 "zz 31 characters long exactly.."});
    for (const char* name : {"Arial", "Arial Black", "Courier New", "DejaVu Sans", "Tahoma",
                             "Verdana", "arial", "zz 31 characters long exactly.."}) {
        EXPECT_TRUE(block.Holds(name)) << name;
    }
    for (const char* name :
         {"", "Aria", "Arial Blac", "Arial Narrow", "ARIAL", "Arial ", "B", "Tahoma Bold",
          "Verdana ", "ariaL", "zz 31 characters long exactly.", "zzz"}) {
        EXPECT_FALSE(block.Holds(name)) << name;
    }
}

TEST(IsTypefaceChosen, EveryPositionOfEveryBlockSizeIsReached) {
    // Names "F000".."F099" are in byte-wise order; odd numbers stand in the block, so every
    // even number falls between two of its names (or before the first, or after the last).
    for (int size = 1; size <= 50; ++size) {
        std::vector<std::string> names;
        for (int i = 0; i < size; ++i) {
            char name[16];
            snprintf(name, sizeof name, "F%03d", 2 * i + 1);
            names.push_back(name);
        }
        Block block(names);
        for (int n = 0; n <= 2 * size; ++n) {
            char name[16];
            snprintf(name, sizeof name, "F%03d", n);
            EXPECT_EQ(block.Holds(name), n % 2 == 1) << "size " << size << ", " << name;
        }
    }
}

TEST(IsTypefaceChosen, BlockInAnotherOrderCanMissANameItHolds) {
    // The order in which the selected list keeps names (case-insensitive) differs from
    // byte-wise order here: "MS Sans Serif" comes last in the list but first byte-wise.
    Block listOrder({"Marlett", "Mistral", "MS Sans Serif"});
    EXPECT_TRUE(listOrder.Holds("Marlett"));
    EXPECT_FALSE(listOrder.Holds("MS Sans Serif"));
    // A fonts file in reverse order: the middle entry is still met, the others are missed.
    Block reversed({"Verdana", "Tahoma", "Arial"});
    EXPECT_TRUE(reversed.Holds("Tahoma"));
    EXPECT_FALSE(reversed.Holds("Verdana"));
    EXPECT_FALSE(reversed.Holds("Arial"));
}

TEST(IsTypefaceChosen, NoBlockOrNoCountHoldsNothing) {
    EXPECT_FALSE(IsTypefaceChosen(nullptr, 0, "Arial"));
    EXPECT_FALSE(IsTypefaceChosen(nullptr, 5, "Arial"));
    Block block({"Arial"});
    EXPECT_FALSE(IsTypefaceChosen(block.bytes.get(), 0, "Arial"));
    EXPECT_TRUE(IsTypefaceChosen(block.bytes.get(), 1, "Arial"));
}

TEST(IsTypefaceChosen, SlotsWithoutTerminatorAreReadNoFurtherThanTheirBytes) {
    // 32 bytes of name and no NUL: a comparison that ran on to the next slot or past the block
    // would be caught by AddressSanitizer.
    std::string full(32, 'Q');
    Block block({"A", full, std::string(32, 'R')});
    EXPECT_TRUE(block.Holds(full));
    EXPECT_FALSE(block.Holds(std::string(31, 'Q')));
    EXPECT_FALSE(block.Holds(std::string(33, 'S')));
}

} // namespace
