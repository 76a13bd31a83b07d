#include "ResourceTree.h"

#include <algorithm>
#include <set>

#include "ByteReader.h"

namespace {

constexpr std::uint32_t kHighBit = 0x80000000;
constexpr int kLevels = 3;  // type, name, language

struct TreeWalk {
    ByteReader bytes;
    const PeLayout& layout;
    std::int64_t nStart = 0;  // file offset of the root table
    std::int64_t nEnd = 0;    // end of the mapped raw data of the section holding it
    std::set<std::uint32_t> visited;
    ResourceTree tree;

    bool Inside(std::int64_t relative, std::int64_t length) const {
        return relative >= 0 && length >= 0 && relative <= nEnd - nStart &&
               length <= nEnd - nStart - relative;
    }
    bool Fail(std::string problem) {
        tree.strProblem = "resource directory: " + std::move(problem);
        return false;
    }
    void Cover(std::int64_t relative, std::int64_t length) {
        tree.directoryRanges.emplace_back(nStart + relative, nStart + relative + length);
    }

    bool ReadKey(std::uint32_t field, ResourceKey& key) {
        if ((field & kHighBit) == 0) {
            key.nId = field;
            return true;
        }
        const std::int64_t relative = field & ~kHighBit;
        if (!Inside(relative, 2)) {
            return Fail("a name lies outside the directory");
        }
        const int units = bytes.U16(nStart + relative);
        if (!Inside(relative + 2, 2 * units)) {
            return Fail("a name runs past the directory");
        }
        Cover(relative, 2 + 2 * units);
        key.strName = Utf8OfUnits(bytes, nStart + relative + 2, units);
        if (key.strName.empty()) {
            key.strName = "\"\"";
        }
        return true;
    }

    // Reads the table at `relative` on `level` (0: types), its entries' keys set in `path`.
    bool ReadTable(std::uint32_t relative, int level, ResourceLeaf path) {
        if (!visited.insert(relative).second) {
            return Fail("a table is reached twice");
        }
        if (!Inside(relative, 16)) {
            return Fail("a table lies outside the directory");
        }
        const std::int64_t count = bytes.U16(nStart + relative + 12) +
                                   static_cast<std::int64_t>(bytes.U16(nStart + relative + 14));
        if (!Inside(relative + 16, 8 * count)) {
            return Fail("a table's entries run past the directory");
        }
        Cover(relative, 16 + 8 * count);
        for (std::int64_t i = 0; i < count; ++i) {
            const std::int64_t entry = nStart + relative + 16 + 8 * i;
            ResourceKey& key = level == 0 ? path.type : level == 1 ? path.name : path.language;
            key = {};
            if (!ReadKey(bytes.U32(entry), key)) {
                return false;
            }
            const std::uint32_t target = bytes.U32(entry + 4);
            const bool isTable = (target & kHighBit) != 0;
            if (isTable != (level + 1 < kLevels)) {
                return Fail(isTable ? "a table lies deeper than the language level"
                                    : "data stands where a table belongs");
            }
            if (isTable) {
                if (!ReadTable(target & ~kHighBit, level + 1, path)) {
                    return false;
                }
            } else if (!ReadLeaf(target, path)) {
                return false;
            }
        }
        return true;
    }

    bool ReadLeaf(std::uint32_t relative, ResourceLeaf leaf) {
        if (!Inside(relative, 16)) {
            return Fail("a data entry lies outside the directory");
        }
        Cover(relative, 16);
        leaf.nDataEntryOffset = nStart + relative;
        const std::uint32_t rva = bytes.U32(leaf.nDataEntryOffset);
        leaf.nDataSize = bytes.U32(leaf.nDataEntryOffset + 4);
        const std::optional<std::int64_t> data = layout.FileOffset(rva, leaf.nDataSize);
        if (!data || !bytes.Has(*data, leaf.nDataSize)) {
            return Fail("the data of a resource lies outside the sections");
        }
        leaf.nDataOffset = *data;
        tree.leaves.push_back(std::move(leaf));
        return true;
    }
};

}  // namespace

void MergeRanges(ByteRanges& ranges) {
    std::sort(ranges.begin(), ranges.end());
    ByteRanges merged;
    for (const auto& range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second) {
            merged.back().second = std::max(merged.back().second, range.second);
        } else {
            merged.push_back(range);
        }
    }
    ranges = std::move(merged);
}

ResourceTree ReadResourceTree(const unsigned char* image, std::int64_t size,
                              const PeLayout& layout) {
    TreeWalk walk{{image, size}, layout, 0, 0, {}, {}};
    if (layout.nResourceRva == 0) {
        return {};
    }
    // The directory's tables, names and data entries stay inside the section that holds its root.
    for (const PeSection& section : layout.sections) {
        const std::int64_t inside =
            static_cast<std::int64_t>(layout.nResourceRva) - section.nVirtualAddress;
        if (inside >= 0 && inside < section.MappedRawSize()) {
            walk.nStart = section.nRawOffset + inside;
            walk.nEnd = static_cast<std::int64_t>(section.nRawOffset) + section.MappedRawSize();
            break;
        }
    }
    if (walk.nEnd == 0 || !walk.bytes.Has(walk.nStart, walk.nEnd - walk.nStart)) {
        walk.Fail("its address lies outside the sections' data");
        return walk.tree;
    }
    walk.ReadTable(0, 0, {});
    if (!walk.tree.strProblem.empty()) {
        walk.tree.leaves.clear();
    }
    MergeRanges(walk.tree.directoryRanges);
    return walk.tree;
}
