#pragma once
// The typefaces made for the tests from DejaVu Sans (make_test_fonts.py), loaded into this
// process only.

#include <windows.h>

inline constexpr wchar_t LettersFace[] = L"Verselume Letters";  // every Romanian letter
inline constexpr wchar_t NoCommaFace[] = L"Verselume No Comma"; // no ș ț Ș Ț, but ş ţ Ş Ţ
inline constexpr wchar_t NoBreveFace[] = L"Verselume No Breve"; // no ă Ă

// Adds the three faces for this process; false (and a test failure) if one cannot be added.
bool LoadTestFonts();
