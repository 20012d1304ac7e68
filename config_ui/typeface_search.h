#pragma once
// Whether a typeface is already chosen: the typefaces dialog asks this for every installed
// typeface, so it is a binary search rather than a scan. Portable, so it is tested natively.

#include "wide_text.h"

#include <cstdint>

// Looks name up among the count 32-unit slots of block by binary search in the order of the
// UTF-16 units, on the block as it stands: it is not sorted first, so a block in another order
// can miss a name it holds. No block or a count of 0 holds nothing. A slot is read no further
// than its 32 units.
bool IsTypefaceChosen(const WideChar* block, uint32_t count, const WideChar* name);
