#include "display_power.h"

DisplayChange DecideDisplayChange(bool& displayOff, uint32_t state) {
    bool off = state == 0;
    if (off == displayOff) {
        return DisplayChange::None;
    }
    displayOff = off;
    return off ? DisplayChange::Stop : DisplayChange::Resume;
}
