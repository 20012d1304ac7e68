#include "support/text_conversion.h"

std::string CodePageFromWide(const std::wstring& text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size, nullptr, nullptr);
    return result;
}

std::wstring WideFromCodePage(const std::string& text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    int size =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size);
    return result;
}
