// Candidate 16-bit texts in the data sections of a Windows program file, outside its resources.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "PeImage.h"

struct DataText {
    std::int64_t nOffset = 0;  // file offset of the first unit
    int nUnits = 0;            // units before the zero terminator
    std::string strSection;
};

// Zero-terminated 16-bit little-endian texts in the initialised data sections (not code
// sections, not the resource data, not the headers, not appended data) of at least `minUnits`
// printable ASCII units (0x20..0x7E, tab, CR, LF), starting on an even offset from the section's
// raw start, preceded by a 0x0000 unit or the section start. Candidates only: the caller decides
// which read as interface text.
std::vector<DataText> ListDataTexts(
    const unsigned char* image, std::int64_t size, const PeLayout& layout,
    const std::vector<std::pair<std::int64_t, std::int64_t>>& resourceRanges, int minUnits = 4);
