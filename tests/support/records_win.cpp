#include "support/records.h"
#include "support/text_conversion.h"

#include "platform.h"

WideChar* HeapListFromUtf8(const std::vector<std::string>& entries, uint32_t width) {
    if (entries.empty()) {
        return nullptr;
    }
    auto* block = static_cast<WideChar*>(HeapAllocZero(entries.size() * width * sizeof(WideChar)));
    for (size_t i = 0; i < entries.size(); ++i) {
        WideFromUtf8(entries[i]).copy(block + i * width, width - 1);
    }
    return block;
}

std::vector<std::string> Utf8Entries(const WideChar* block, uint32_t count, uint32_t width) {
    std::vector<std::string> entries;
    for (uint32_t i = 0; block != nullptr && i < count; ++i) {
        const WideChar* slot = block + static_cast<size_t>(i) * width;
        entries.push_back(Utf8FromWide(std::wstring(slot, WideLength(slot, width))));
    }
    return entries;
}
