#include "PeChecksum.h"

namespace {

constexpr std::uint64_t kModulus = 0xFFFF;

}  // namespace

void CChecksumChange::Replace(std::int64_t pos, const unsigned char* before,
                              const unsigned char* after, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const std::int64_t at = pos + static_cast<std::int64_t>(i);
        if (at >= m_nFieldOffset && at < m_nFieldOffset + 4) {
            continue;
        }
        // A byte at an odd offset is the high byte of its word.
        const std::uint64_t weight = (at & 1) != 0 ? 256 : 1;
        m_nAdded += after[i] * weight;
        m_nRemoved += before[i] * weight;
    }
}

std::uint32_t CChecksumChange::Adjusted(std::uint32_t before, std::int64_t size) const {
    const auto length = static_cast<std::uint32_t>(size);
    // The folded sum lies in 1..0xFFFF for any file that is not all zeros (0xFFFF standing for
    // 0 modulo 0xFFFF).
    const std::uint64_t sum = static_cast<std::uint32_t>(before - length) % kModulus;
    std::uint64_t changed =
        (sum + m_nAdded % kModulus + kModulus - m_nRemoved % kModulus) % kModulus;
    if (changed == 0) {
        changed = kModulus;
    }
    return static_cast<std::uint32_t>(changed) + length;
}
