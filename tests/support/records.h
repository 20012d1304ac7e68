#pragma once
// Settings records and list blocks for the display's tests.

#include "saver_settings.h"
#include "support/wide_strings.h"

#include <initializer_list>
#include <string>
#include <vector>

// A list block of fixed-width slots, as the list reader makes them; longer entries are cut.
std::vector<WideChar> MakeSlots(std::initializer_list<std::u16string> entries, uint32_t width);

// Points the record's lists at the blocks (an empty block gives an empty list).
void UseVerses(SaverSettings& record, std::vector<WideChar>& block);
void UseFonts(SaverSettings& record, std::vector<WideChar>& block);

// Puts every field of the record back to 0.
void ClearRecord(SaverSettings& record);
