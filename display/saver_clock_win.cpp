#include "saver_clock.h"

#include <windows.h>

int32_t DayNumber() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return DayNumber(now.wYear, now.wMonth, now.wDay);
}

uint32_t ClockSeed() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return ClockSeed(now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}
