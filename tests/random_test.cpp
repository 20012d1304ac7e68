#include "random.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <thread>
#include <vector>

namespace {

std::vector<uint32_t> Draw(uint32_t seed, int count) {
    SeedRandom(seed);
    std::vector<uint32_t> values;
    for (int i = 0; i < count; i++) {
        values.push_back(NextRandom());
    }
    return values;
}

// The Microsoft C runtime's rand gives these after srand with the same seeds.
TEST(NextRandom, FollowsTheCRuntimeSequence) {
    EXPECT_EQ(Draw(1, 6), (std::vector<uint32_t>{41, 18467, 6334, 26500, 19169, 15724}));
    EXPECT_EQ(Draw(0, 4), (std::vector<uint32_t>{38, 7719, 21238, 2437}));
    EXPECT_EQ(Draw(12345, 4), (std::vector<uint32_t>{7584, 19164, 25795, 22125}));
    EXPECT_EQ(Draw(4294967295u, 4), (std::vector<uint32_t>{35, 29739, 3374, 11141}));
}

TEST(NextRandom, EachThreadHasItsOwnGenerator) {
    SeedRandom(1);
    EXPECT_EQ(NextRandom(), 41u);
    std::vector<uint32_t> other;
    std::thread([&other] {
        // Unseeded, a thread starts where the C runtime does, at seed 1.
        other.push_back(NextRandom());
        SeedRandom(12345);
        other.push_back(NextRandom());
        other.push_back(NextRandom());
    }).join();
    EXPECT_EQ(other, (std::vector<uint32_t>{41, 7584, 19164}));
    EXPECT_EQ(NextRandom(), 18467u);
}

// One value per call, scaled: seed 1 gives 41, 18467, 6334, 26500, 19169, 15724, 11478.
TEST(RandomUpTo, ScalesOneValueByNPlusOne) {
    SeedRandom(1);
    EXPECT_EQ(RandomUpTo(0), 0u);
    EXPECT_EQ(RandomUpTo(32767), 18467u);
    EXPECT_EQ(RandomUpTo(255), 6334u >> 7);
    EXPECT_EQ(RandomUpTo(4294967295u), 0u); // n + 1 wraps to 0
    EXPECT_EQ(RandomUpTo(131072), 76676u);
    EXPECT_EQ(RandomUpTo(99), 47u);
    // 11478 * 1000000 wraps modulo 2^32 before the shift.
    EXPECT_EQ(RandomUpTo(999999), static_cast<uint32_t>(11478u * 1000000u) >> 15);
    EXPECT_EQ(NextRandom(), 29358u);
}

TEST(RandomUpTo, NeverExceedsNNor131071) {
    SeedRandom(777);
    for (uint32_t n : {0u, 1u, 2u, 254u, 255u, 1000u, 32767u, 32768u, 131071u, 131072u, 999999u,
                       2147483648u, 4294967294u, 4294967295u}) {
        for (int i = 0; i < 5000; i++) {
            uint32_t value = RandomUpTo(n);
            ASSERT_LE(value, n) << "n = " << n;
            ASSERT_LE(value, 131071u) << "n = " << n;
        }
    }
}

} // namespace
