#pragma once
// Settings records and list blocks as the list reader makes them, for tests.

#include "saver_settings.h"
#include "support/wide_strings.h"

#include <string>
#include <vector>

// Points the record's lists at the blocks (an empty block gives an empty list).
void UseVerses(SaverSettings& record, std::vector<WideChar>& block);
void UseFonts(SaverSettings& record, std::vector<WideChar>& block);

// Puts every field of the record back to 0.
void ClearRecord(SaverSettings& record);

#ifdef _WIN32
// Puts a list block on the process heap in place of a record's list, as the verses editor and
// the typefaces dialog do, releasing the old one: the UTF-8 entries in slots of width units,
// each cut as the list reader cuts it; no block for no entries. Returns the new block.
WideChar* ReplaceList(WideChar*& block, uint32_t& count, uint32_t width,
                      const std::vector<std::string>& entries);
// The entries of a block in UTF-8.
std::vector<std::string> Utf8Entries(const WideChar* block, uint32_t count, uint32_t width);
#endif
