#include "support/records.h"
#include "support/text_conversion.h"

#include "platform.h"

WideChar* ReplaceList(WideChar*& block, uint32_t& count, uint32_t width,
                      const std::vector<std::string>& entries) {
    std::vector<std::u16string> wide;
    for (const std::string& entry : entries) {
        std::wstring units = WideFromUtf8(entry);
        wide.emplace_back(units.begin(), units.end());
    }
    std::vector<WideChar> slots = WideSlots(wide, width);
    WideChar* fresh = nullptr;
    if (!slots.empty()) {
        fresh = static_cast<WideChar*>(HeapAllocZero(slots.size() * sizeof(WideChar)));
        std::copy(slots.begin(), slots.end(), fresh);
    }
    HeapRelease(block);
    block = fresh;
    count = static_cast<uint32_t>(entries.size());
    return fresh;
}

std::vector<std::string> Utf8Entries(const WideChar* block, uint32_t count, uint32_t width) {
    std::vector<std::string> entries;
    for (uint32_t i = 0; block != nullptr && i < count; ++i) {
        const WideChar* slot = block + static_cast<size_t>(i) * width;
        entries.push_back(Utf8FromWide(std::wstring(slot, WideLength(slot, width))));
    }
    return entries;
}

void SetVerses(SaverSettings& record, const std::vector<std::string>& verses) {
    ReplaceList(record.Texts, record.TextCount, TextSlotWidth, verses);
}

void SetFonts(SaverSettings& record, const std::vector<std::string>& fonts) {
    ReplaceList(record.Fonts, record.FontCount, FontSlotWidth, fonts);
}

std::vector<std::string> VersesOf(const SaverSettings& record) {
    return Utf8Entries(record.Texts, record.TextCount, TextSlotWidth);
}

std::vector<std::string> FontsOf(const SaverSettings& record) {
    return Utf8Entries(record.Fonts, record.FontCount, FontSlotWidth);
}

void ReleaseLists(SaverSettings& record) {
    SetVerses(record, {});
    SetFonts(record, {});
}

ListRecord::ListRecord(const std::vector<std::string>& verses,
                       const std::vector<std::string>& fonts)
    : SaverSettings{} {
    SetVerses(*this, verses);
    SetFonts(*this, fonts);
}
