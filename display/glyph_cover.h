#pragma once
// Which letters a verse needs of a typeface, and what stands in for the ones it lacks. Romanian
// is written with ș ț (comma below), which many older faces lack; their cedilla forms ş ţ, which
// those faces have, are what Romanian readers know as the stand-in.

#include "wide_text.h"

#include <cstdint>

// Every letter of Romanian beyond the Latin alphabet: ă â î ș ț and their capitals.
inline constexpr WideChar RomanianLetters[] = {0x0103, 0x00E2, 0x00EE, 0x0219, 0x021B, 0x0102,
                                               0x00C2, 0x00CE, 0x0218, 0x021A, 0};
inline constexpr uint32_t RomanianLetterCount = 10;

// Copies length units of text into out (at least length units), with ș ț Ș Ț in their cedilla
// forms ş ţ Ş Ţ; false when the text has none of them (out is then a plain copy).
bool WithCedillas(const WideChar* text, uint32_t length, WideChar* out);
