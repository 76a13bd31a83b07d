// A bounds-checked little-endian view of a byte buffer. Reads outside the buffer give zero, so a
// caller checks Has() before it trusts what it read.
#pragma once

#include <cstdint>
#include <string>

struct ByteReader {
    const unsigned char* pData = nullptr;
    std::int64_t nSize = 0;

    // Whether `length` bytes at `offset` lie inside the buffer.
    bool Has(std::int64_t offset, std::int64_t length) const {
        return offset >= 0 && length >= 0 && offset <= nSize && length <= nSize - offset;
    }
    std::uint8_t U8(std::int64_t offset) const { return Has(offset, 1) ? pData[offset] : 0; }
    std::uint16_t U16(std::int64_t offset) const {
        return Has(offset, 2) ? static_cast<std::uint16_t>(pData[offset] | pData[offset + 1] << 8)
                              : 0;
    }
    std::uint32_t U32(std::int64_t offset) const {
        if (!Has(offset, 4)) {
            return 0;
        }
        return static_cast<std::uint32_t>(pData[offset]) |
               static_cast<std::uint32_t>(pData[offset + 1]) << 8 |
               static_cast<std::uint32_t>(pData[offset + 2]) << 16 |
               static_cast<std::uint32_t>(pData[offset + 3]) << 24;
    }
};

// `units` 16-bit units at `offset` as UTF-8 (a lone surrogate becomes '?'), for names in reports.
inline std::string Utf8OfUnits(const ByteReader& bytes, std::int64_t offset, std::int64_t units) {
    std::string text;
    for (std::int64_t i = 0; i < units && bytes.Has(offset + 2 * i, 2); ++i) {
        const std::uint16_t unit = bytes.U16(offset + 2 * i);
        if (unit < 0x80) {
            text += static_cast<char>(unit);
        } else if (unit < 0x800) {
            text += static_cast<char>(0xC0 | unit >> 6);
            text += static_cast<char>(0x80 | (unit & 0x3F));
        } else if (unit >= 0xD800 && unit < 0xE000) {
            text += '?';
        } else {
            text += static_cast<char>(0xE0 | unit >> 12);
            text += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return text;
}
