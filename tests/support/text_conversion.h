#pragma once
// Text between the tests' UTF-8 literals, the wide calls and the ANSI ones.

#include <windows.h>

#include <string>

std::string Utf8FromWide(const std::wstring& text);
std::wstring WideFromUtf8(const std::string& text);
// The UTF-8 text in the given code page (CP_ACP: the one the ANSI calls use).
std::string CodePageFromUtf8(const std::string& text, UINT codePage);
