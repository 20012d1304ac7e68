#pragma once
// Settings records and list blocks as the list reader makes them, for tests.

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

#ifdef _WIN32
// A list block on the process heap, as the list reader leaves it: the UTF-8 entries in slots of
// width units, each cut to width - 1; none for no entries. And the entries of a block in UTF-8.
WideChar* HeapListFromUtf8(const std::vector<std::string>& entries, uint32_t width);
std::vector<std::string> Utf8Entries(const WideChar* block, uint32_t count, uint32_t width);
#endif
