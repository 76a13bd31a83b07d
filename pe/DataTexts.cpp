#include "DataTexts.h"

#include <algorithm>

#include "ByteReader.h"
#include "ResourceTree.h"

namespace {

bool IsPrintable(std::uint16_t unit) {
    return (unit >= 0x20 && unit <= 0x7E) || unit == '\t' || unit == '\r' || unit == '\n';
}

// The texts whose units and terminator lie in [begin, end); `sectionStart` sets the parity and
// counts as a start of text.
void ListTextsBetween(const ByteReader& bytes, std::int64_t sectionStart, std::int64_t begin,
                      std::int64_t end, int minUnits, const std::string& section,
                      std::vector<DataText>& texts) {
    std::int64_t offset = begin + ((begin - sectionStart) & 1);
    while (offset + 2 <= end) {
        const bool startsHere = offset == sectionStart || bytes.U16(offset - 2) == 0;
        if (!startsHere || !IsPrintable(bytes.U16(offset))) {
            offset += 2;
            continue;
        }
        std::int64_t after = offset;
        while (after + 2 <= end && IsPrintable(bytes.U16(after))) {
            after += 2;
        }
        const std::int64_t units = (after - offset) / 2;
        if (after + 2 <= end && bytes.U16(after) == 0 && units >= minUnits) {
            texts.push_back({offset, static_cast<int>(units), section});
        }
        offset = after;
    }
}

}  // namespace

std::vector<DataText> ListDataTexts(
    const unsigned char* image, std::int64_t size, const PeLayout& layout,
    const std::vector<std::pair<std::int64_t, std::int64_t>>& resourceRanges, int minUnits) {
    const ByteReader bytes{image, size};
    ByteRanges excluded = resourceRanges;
    excluded.emplace_back(0, layout.nHeadersEnd);
    MergeRanges(excluded);
    std::vector<DataText> texts;
    for (const PeSection& section : layout.sections) {
        if (section.IsCode() || !section.IsInitialisedData()) {
            continue;
        }
        const std::int64_t start = section.nRawOffset;
        const std::int64_t end =
            std::min<std::int64_t>({start + section.MappedRawSize(), layout.nEndOfSections, size});
        // The section's bytes between the excluded ranges, in order.
        std::int64_t begin = start;
        for (const auto& range : excluded) {
            if (range.second <= begin) {
                continue;
            }
            if (range.first >= end) {
                break;
            }
            ListTextsBetween(bytes, start, begin, range.first, minUnits, section.strName, texts);
            begin = range.second;
        }
        ListTextsBetween(bytes, start, begin, end, minUnits, section.strName, texts);
    }
    return texts;
}
