#pragma once
// Whether a typeface is already chosen: the typefaces dialog asks this for every installed
// typeface, so it is a binary search rather than a scan. Portable, so it is tested natively.

#include <cstdint>

// Looks name up among the count 32-byte slots of block by binary search in byte-wise (strcmp)
// order, on the block as it stands: it is not sorted first, so a block in another order can
// miss a name it holds. No block or a count of 0 holds nothing. A slot is read no further than
// its 32 bytes.
bool IsTypefaceChosen(const char* block, uint32_t count, const char* name);
