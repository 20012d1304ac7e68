#pragma once
// What the saver does when the display turns off or on: nothing is drawn while no one can see
// it, and a verse comes at once when the display is back.

#include <cstdint>

enum class DisplayChange {
    None,   // the display was already in that state (as in the notice sent at registration)
    Stop,   // off: stop the timer and any run
    Resume, // on or dimmed after off: a verse now, and the timer again
};

// state: the display's state as Windows gives it (0 off, 1 on, 2 dimmed); displayOff: whether
// the saver has stopped for the display being off, updated here.
DisplayChange DecideDisplayChange(bool& displayOff, uint32_t state);
