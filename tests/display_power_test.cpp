#include "display_power.h"

#include <gtest/gtest.h>

namespace {

// The display's states in the order Windows may send them, from registration (which sends the
// state the display is in) on; dimmed counts as on.
TEST(DecideDisplayChange, OnlyTurningOffStopsAndOnlyComingBackResumes) {
    struct Row {
        uint32_t state;
        DisplayChange change;
        bool offAfter;
    };
    const Row rows[] = {
        {1, DisplayChange::None, false},   {2, DisplayChange::None, false},
        {0, DisplayChange::Stop, true},    {0, DisplayChange::None, true},
        {2, DisplayChange::Resume, false}, {0, DisplayChange::Stop, true},
        {1, DisplayChange::Resume, false}, {1, DisplayChange::None, false},
    };
    bool off = false;
    for (const Row& row : rows) {
        EXPECT_EQ(DecideDisplayChange(off, row.state), row.change) << "state " << row.state;
        EXPECT_EQ(off, row.offAfter);
    }
}

} // namespace
