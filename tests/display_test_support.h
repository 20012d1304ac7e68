#pragma once
// Settings records and list blocks for the display's tests.

#include "saver_settings.h"

#include <initializer_list>
#include <string>
#include <vector>

// A list block of fixed-width slots, as the list reader makes them.
std::vector<char> MakeSlots(std::initializer_list<std::string> entries, uint32_t width);

// Points the record's lists at the blocks (an empty block gives an empty list).
void UseVerses(SaverSettings& record, std::vector<char>& block);
void UseFonts(SaverSettings& record, std::vector<char>& block);

// Puts every field of the record back to 0.
void ClearRecord(SaverSettings& record);
