#include "PeImage.h"

#include <algorithm>

#include "ByteReader.h"
#include "ResourceTree.h"

namespace {

constexpr std::uint32_t kScnCntCode = 0x20;
constexpr std::uint32_t kScnCntInitialisedData = 0x40;
constexpr std::uint32_t kScnMemExecute = 0x20000000;
constexpr std::int64_t kSectionHeaderSize = 40;
constexpr int kResourceDirectory = 2;
constexpr int kSecurityDirectory = 4;

PeReadResult Broken(PeLayout layout, std::string problem) {
    return {EPeKind::Broken, std::move(layout), std::move(problem)};
}

}  // namespace

bool PeSection::IsCode() const {
    return (nCharacteristics & (kScnCntCode | kScnMemExecute)) != 0;
}

bool PeSection::IsInitialisedData() const {
    return (nCharacteristics & kScnCntInitialisedData) != 0;
}

std::uint32_t PeSection::MappedRawSize() const {
    return nVirtualSize != 0 ? std::min(nRawSize, nVirtualSize) : nRawSize;
}

std::optional<std::int64_t> PeLayout::FileOffset(std::uint32_t rva, std::uint32_t length) const {
    for (const PeSection& section : sections) {
        if (rva < section.nVirtualAddress) {
            continue;
        }
        const std::int64_t inside = static_cast<std::int64_t>(rva) - section.nVirtualAddress;
        if (inside + length <= section.MappedRawSize()) {
            return static_cast<std::int64_t>(section.nRawOffset) + inside;
        }
    }
    return std::nullopt;
}

PeReadResult ReadPeImage(const unsigned char* image, std::int64_t size) {
    const ByteReader bytes{image, size};
    PeLayout layout;
    if (!bytes.Has(0, 0x40) || image[0] != 'M' || image[1] != 'Z') {
        return {EPeKind::NotPe, layout, {}};
    }
    const std::int64_t peOffset = bytes.U32(0x3C);
    if (!bytes.Has(peOffset, 4) || bytes.U32(peOffset) != 0x00004550) {
        return {EPeKind::NotPe, layout, {}};
    }

    const std::int64_t fileHeader = peOffset + 4;
    if (!bytes.Has(fileHeader, 20)) {
        return Broken(layout, "the file header is cut short");
    }
    const int sectionCount = bytes.U16(fileHeader + 2);
    const std::int64_t optionalSize = bytes.U16(fileHeader + 16);
    const std::int64_t optional = fileHeader + 20;
    if (!bytes.Has(optional, 2)) {
        return Broken(layout, "the optional header is missing");
    }
    const std::uint16_t magic = bytes.U16(optional);
    if (magic != 0x10B && magic != 0x20B) {
        return Broken(layout, "the optional header's magic is neither PE32 nor PE32+");
    }
    layout.bPe32Plus = magic == 0x20B;
    // The fields up to the count of data directories: 96 bytes in PE32, 112 in PE32+.
    const std::int64_t directories = optional + (layout.bPe32Plus ? 112 : 96);
    if (optionalSize < directories - optional || !bytes.Has(optional, directories - optional)) {
        return Broken(layout, "the optional header is cut short");
    }
    layout.nChecksumOffset = optional + 64;
    layout.nChecksum = bytes.U32(layout.nChecksumOffset);
    const std::uint32_t directoryCount = bytes.U32(directories - 4);
    auto directory = [&](int index, std::uint32_t& address, std::uint32_t& length) {
        const std::int64_t entry = directories + 8 * index;
        if (static_cast<std::uint32_t>(index) < directoryCount &&
            entry + 8 <= optional + optionalSize && bytes.Has(entry, 8)) {
            address = bytes.U32(entry);
            length = bytes.U32(entry + 4);
        }
    };
    directory(kResourceDirectory, layout.nResourceRva, layout.nResourceSize);
    directory(kSecurityDirectory, layout.nSecurityOffset, layout.nSecuritySize);

    const std::int64_t sectionTable = optional + optionalSize;
    layout.nHeadersEnd = sectionTable + kSectionHeaderSize * sectionCount;
    if (!bytes.Has(sectionTable, kSectionHeaderSize * sectionCount)) {
        return Broken(layout, "the section table runs past the end of the file");
    }
    // SizeOfHeaders, when it claims more than the section table's end.
    layout.nHeadersEnd = std::max<std::int64_t>(
        layout.nHeadersEnd, std::min<std::int64_t>(bytes.U32(optional + 60), size));
    layout.nEndOfSections = layout.nHeadersEnd;
    for (int i = 0; i < sectionCount; ++i) {
        const std::int64_t header = sectionTable + kSectionHeaderSize * i;
        PeSection section;
        for (int c = 0; c < 8 && image[header + c] != 0; ++c) {
            section.strName += static_cast<char>(image[header + c]);
        }
        section.nVirtualSize = bytes.U32(header + 8);
        section.nVirtualAddress = bytes.U32(header + 12);
        section.nRawSize = bytes.U32(header + 16);
        section.nRawOffset = bytes.U32(header + 20);
        section.nCharacteristics = bytes.U32(header + 36);
        if (section.nRawSize != 0) {
            if (!bytes.Has(section.nRawOffset, section.nRawSize)) {
                return Broken(layout, "the data of section '" + section.strName +
                                          "' runs past the end of the file");
            }
            layout.nEndOfSections = std::max<std::int64_t>(
                layout.nEndOfSections,
                static_cast<std::int64_t>(section.nRawOffset) + section.nRawSize);
        }
        layout.sections.push_back(section);
    }

    if (layout.nResourceRva != 0) {
        const ResourceTree tree = ReadResourceTree(image, size, layout);
        if (!tree.strProblem.empty()) {
            return Broken(layout, tree.strProblem);
        }
    }
    return {EPeKind::Pe, layout, {}};
}

std::uint32_t ComputePeChecksum(const unsigned char* image, std::int64_t size,
                                std::int64_t checksumOffset) {
    auto byteAt = [&](std::int64_t offset) -> std::uint32_t {
        if (offset >= size || (offset >= checksumOffset && offset < checksumOffset + 4)) {
            return 0;
        }
        return image[offset];
    };
    std::uint32_t sum = 0;
    for (std::int64_t offset = 0; offset < size; offset += 2) {
        sum += byteAt(offset) | byteAt(offset + 1) << 8;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return (sum & 0xFFFF) + static_cast<std::uint32_t>(size);
}
