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

// Makes the record one a drawing run starts from: the lists, the seed and the fade speed, every
// other field 0.
void SetUpRun(SaverSettings& record, std::vector<WideChar>& verses, std::vector<WideChar>& fonts,
              uint32_t seed, uint32_t fadeSpeed = 0);

#ifdef _WIN32
// Puts a list block on the process heap in place of a record's list, as the verses editor and
// the typefaces dialog do, releasing the old one: the UTF-8 entries in slots of width units,
// each cut as the list reader cuts it; no block for no entries. Returns the new block.
WideChar* ReplaceList(WideChar*& block, uint32_t& count, uint32_t width,
                      const std::vector<std::string>& entries);
// The entries of a block in UTF-8.
std::vector<std::string> Utf8Entries(const WideChar* block, uint32_t count, uint32_t width);

// A record's lists set from UTF-8 entries, read back, and released, as the configuration dialog
// holds them.
void SetVerses(SaverSettings& record, const std::vector<std::string>& verses);
void SetFonts(SaverSettings& record, const std::vector<std::string>& fonts);
std::vector<std::string> VersesOf(const SaverSettings& record);
std::vector<std::string> FontsOf(const SaverSettings& record);
void ReleaseLists(SaverSettings& record);

// A record, every field 0 but the lists given, which it releases when it goes.
struct ListRecord : SaverSettings {
    explicit ListRecord(const std::vector<std::string>& verses = {},
                        const std::vector<std::string>& fonts = {});
    ~ListRecord() { ReleaseLists(*this); }
    ListRecord(const ListRecord&) = delete;
    ListRecord& operator=(const ListRecord&) = delete;
};
#endif
