// Lookups over the conversion tables, in both directions.
#pragma once

#include <cstdint>

// The 16-bit value of the double-byte character (lead, trail), or -1 when the pair is not in
// the tables. Empty positions give 0xFFFD, as the tables hold.
int Big5ToUnicode(unsigned char lead, unsigned char trail);

// The double-byte code (lead << 8 | trail) that holds `ch`, or 0 when no position holds it
// (U+FFFD and ASCII included). Where several positions hold the same value, the lowest code.
std::uint16_t UnicodeToBig5(char32_t ch);
