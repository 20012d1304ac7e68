#include "saver_clock.h"

#include "saver_settings.h"

int32_t DayNumber(int32_t year, int32_t month, int32_t day) {
    return ((year * 12 - 24000) + month) * 31 + day;
}

uint32_t ClockSeed(uint32_t day, uint32_t hour, uint32_t minute, uint32_t second,
                   uint32_t millisecond) {
    return (millisecond + 1) * (second + 1) * (minute + 1) * (hour + 1) * day;
}

uint32_t DisplayPeriod(uint32_t textSpeed) {
    return textSpeed == 0 ? DefaultTextSpeed : textSpeed;
}
