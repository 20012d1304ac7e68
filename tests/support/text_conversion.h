#pragma once
// Text between the tests' UTF-8 literals, the wide calls and the ANSI ones.

#include <windows.h>

#include <string>

// Text in a code page (CP_ACP: the one the ANSI calls use) and as wide text.
std::string CodePageFromWide(const std::wstring& text, UINT codePage);
std::wstring WideFromCodePage(const std::string& text, UINT codePage);

inline std::string Utf8FromWide(const std::wstring& text) {
    return CodePageFromWide(text, CP_UTF8);
}
inline std::wstring WideFromUtf8(const std::string& text) {
    return WideFromCodePage(text, CP_UTF8);
}
// Paths as the ANSI calls take and give them: the installer writes the program's paths for its
// ANSI registry calls.
inline std::string AnsiFromWide(const std::wstring& text) {
    return CodePageFromWide(text, CP_ACP);
}
inline std::wstring WideFromAnsi(const std::string& text) {
    return WideFromCodePage(text, CP_ACP);
}
// The UTF-8 text in the given code page.
inline std::string CodePageFromUtf8(const std::string& text, UINT codePage) {
    return CodePageFromWide(WideFromUtf8(text), codePage);
}
