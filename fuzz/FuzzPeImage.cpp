// The reader of Windows program files over any bytes: headers, resource texts and data texts.
// Every offset it returns lies inside the input.
#include <cstdint>
#include <cstdlib>

#include "DataTexts.h"
#include "PeImage.h"
#include "ResourceTexts.h"

namespace {

void RequireInside(std::int64_t begin, std::int64_t end, std::int64_t size) {
    if (begin < 0 || begin > end || end > size) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto length = static_cast<std::int64_t>(size);
    const PeReadResult read = ReadPeImage(data, length);
    if (read.kind == EPeKind::NotPe) {
        return 0;
    }
    const PeLayout& layout = read.layout;
    ComputePeChecksum(data, length, layout.nChecksumOffset);
    RequireInside(layout.nChecksumOffset, layout.nChecksumOffset + 4, length);
    if (read.kind == EPeKind::Pe) {
        RequireInside(0, layout.nEndOfSections, length);
    }
    const ResourceScan scan = ListResourceTexts(data, length, layout);
    for (const ResourceText& text : scan.texts) {
        RequireInside(text.nOffset, text.nOffset + 2 * std::int64_t{text.nUnits}, length);
        if (text.nUnits <= 0) {
            std::abort();
        }
    }
    for (const auto& [begin, end] : scan.resourceRanges) {
        RequireInside(begin, end, length);
    }
    for (const DataText& text : ListDataTexts(data, length, layout, scan.resourceRanges, 1)) {
        RequireInside(text.nOffset, text.nOffset + 2 * std::int64_t{text.nUnits} + 2, length);
    }
    return 0;
}
