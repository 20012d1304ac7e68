#pragma once
// The settings record shared by the saver window, its drawing thread and the configuration
// dialogs, and the registry key it is kept under.

#include "wide_text.h"

#include <atomic>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
using SaverWindowHandle = HWND;
#else
using SaverWindowHandle = void*;
#endif

inline constexpr char SettingsKeyPath[] = "Software\\Quorvane\\Verselume\\1.0";

// Slot widths of the two lists, in UTF-16 units: a verse holds at most 255, a typeface name 31
// (the platform's limit for a typeface name, LF_FACESIZE, terminator included).
inline constexpr uint32_t TextSlotWidth = 256;
inline constexpr uint32_t FontSlotWidth = 32;

// Options: change policy in bits 0-1, consecutive order in bit 2.
inline constexpr uint32_t ChangePolicyMask = 3;
inline constexpr uint32_t ConsecutiveOrderBit = 4;

// Screens, a value of the settings key that the record (whose layout is fixed) has no field for:
// how a full screen over several monitors shows its verses.
inline constexpr uint32_t VerseOnEveryScreen = 0;
inline constexpr uint32_t VerseOnOneScreen = 1;  // one at a time, on a screen chosen at random
inline constexpr uint32_t VerseOnMainScreen = 2; // the others stay black

// The choice a stored Screens value makes: 1 and 2 their own; 0, a missing value and any other
// a verse on every screen.
inline uint32_t ScreensChoice(uint32_t screens) {
    return screens == VerseOnOneScreen || screens == VerseOnMainScreen ? screens
                                                                       : VerseOnEveryScreen;
}

inline constexpr uint32_t DefaultTextSpeed = 4000;
inline constexpr uint32_t DefaultFadeSpeed = 5;
inline constexpr uint32_t DefaultOptions = 2;

struct SaverSettings {
    SaverWindowHandle SaverWindow;
    WideChar* Texts; // TextCount slots of TextSlotWidth units, or none
    uint32_t TextCount;
    WideChar* Fonts; // FontCount slots of FontSlotWidth units, or none
    uint32_t FontCount;
    uint32_t TextSpeed; // milliseconds between two verses
    uint32_t FadeSpeed; // 0 (slowest) to 10 (fastest)
    uint32_t FirstPick;
    uint32_t ThreadSeed;
    int32_t LastDay;
    uint32_t LastText;
    // The drawing thread polls this between frames; the window thread clears it to stop a run.
    std::atomic<uint32_t> Running;
    uint32_t Options;
};

static_assert(sizeof(std::atomic<uint32_t>) == 4, "the running flag is a 32-bit value");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SaverSettings) == 52, "thirteen 32-bit fields on 32-bit Windows");
#endif
