// The resource directory of a Windows program file: three levels (type, name, language) of
// tables whose leaves point at the resources' data.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "PeImage.h"

using ByteRanges = std::vector<std::pair<std::int64_t, std::int64_t>>;

// An id or a name, as a directory entry holds it.
struct ResourceKey {
    std::uint32_t nId = 0;  // 0 when named
    std::string strName;    // UTF-8
    bool IsNamed() const { return !strName.empty(); }
};

struct ResourceLeaf {
    ResourceKey type, name, language;
    std::int64_t nDataEntryOffset = 0;  // file offset of the leaf's data entry
    std::int64_t nDataOffset = 0;       // file offset of the resource's data
    std::uint32_t nDataSize = 0;
};

struct ResourceTree {
    std::vector<ResourceLeaf> leaves;  // in directory order
    // The bytes of the directory's tables, entries, names and data entries (sorted, merged).
    ByteRanges directoryRanges;
    std::string strProblem;  // non-empty: the directory did not read
};

// Walks the directory of data directory 2. A table reached twice, a level past the third, an
// entry or a name outside the directory's section, or data outside a section is a problem.
ResourceTree ReadResourceTree(const unsigned char* image, std::int64_t size,
                              const PeLayout& layout);

// Sorts `ranges` and joins those that touch or overlap.
void MergeRanges(ByteRanges& ranges);
