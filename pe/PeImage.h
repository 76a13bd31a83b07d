// The layout of a Windows program file (PE): its headers, sections and the data directories the
// translation needs, read from the file's bytes without trusting any of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PeSection {
    std::string strName;  // up to 8 characters, as stored
    std::uint32_t nVirtualAddress = 0, nVirtualSize = 0, nRawOffset = 0, nRawSize = 0,
                  nCharacteristics = 0;
    // IMAGE_SCN_CNT_CODE or IMAGE_SCN_MEM_EXECUTE.
    bool IsCode() const;
    // IMAGE_SCN_CNT_INITIALIZED_DATA.
    bool IsInitialisedData() const;
    // The bytes of the raw data the loader maps: the raw size, cut to the virtual size when that
    // is smaller (the rest is the linker's padding).
    std::uint32_t MappedRawSize() const;
};

struct PeLayout {
    bool bPe32Plus = false;
    std::int64_t nChecksumOffset = 0;  // file offset of the optional header's CheckSum field
    std::uint32_t nChecksum = 0;       // as stored
    std::int64_t nHeadersEnd = 0;      // end of the headers and the section table
    std::vector<PeSection> sections;
    std::uint32_t nResourceRva = 0, nResourceSize = 0;     // data directory 2 (0: none)
    std::uint32_t nSecurityOffset = 0, nSecuritySize = 0;  // data directory 4: a FILE offset
    std::int64_t nEndOfSections = 0;  // end of the last section's raw data; past it: appended data
    // The file offset of `length` bytes at `rva`, when they lie wholly inside one section's raw
    // data.
    std::optional<std::int64_t> FileOffset(std::uint32_t rva, std::uint32_t length) const;
};

enum class EPeKind { NotPe, Pe, Broken };

struct PeReadResult {
    EPeKind kind = EPeKind::NotPe;
    PeLayout layout;
    std::string strProblem;  // what did not read, for Broken
};

// NotPe: no "MZ", or e_lfanew does not lead to "PE\0\0" inside the file. Pe: the headers, the
// section table and the resource directory read cleanly. Broken: the file claims to be PE but one
// of those does not read.
PeReadResult ReadPeImage(const unsigned char* image, std::int64_t size);

// The PE checksum of the whole image (appended data and certificate included), the 4 bytes of its
// own field at `checksumOffset` read as zero.
std::uint32_t ComputePeChecksum(const unsigned char* image, std::int64_t size,
                                std::int64_t checksumOffset);
