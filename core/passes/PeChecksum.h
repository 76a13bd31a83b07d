// The header checksum of a changed Windows program, without summing the whole file again.
//
// The checksum is the file's 16-bit little-endian words summed with end-around carry (its own
// field read as zero), plus the file's length. Such a sum is the words' sum modulo 0xFFFF, so a
// change moves it by what the new bytes add less what the old ones held.
#pragma once

#include <cstddef>
#include <cstdint>

class CChecksumChange {
  public:
    // `fieldOffset`: where the checksum field lies; its four bytes never count.
    explicit CChecksumChange(std::int64_t fieldOffset) : m_nFieldOffset(fieldOffset) {}

    // `length` bytes at file offset `pos` change from `before` to `after`.
    void Replace(std::int64_t pos, const unsigned char* before, const unsigned char* after,
                 std::size_t length);
    // The checksum of the changed file, from the checksum of the file before (as computed, not as
    // stored) and its length.
    std::uint32_t Adjusted(std::uint32_t before, std::int64_t size) const;

  private:
    std::int64_t m_nFieldOffset;
    std::uint64_t m_nAdded = 0;  // the weighted bytes laid in (no file holds 2^48 of them)
    std::uint64_t m_nRemoved = 0;
};
