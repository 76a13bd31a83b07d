#include "Big5.h"

#include <array>
#include <memory>

#include "Big5Tables.h"

namespace {

constexpr int kHighFirstLead = 0xC0;
constexpr int kLowFirstLead = 0x81;
constexpr int kLastLead = 0xFE;
constexpr int kTrailLast = kBig5TrailFirst + kBig5TrailCount - 1;
constexpr std::uint16_t kEmpty = 0xFFFD;

using ReverseTable = std::array<std::uint16_t, 0x10000>;

// Value to code, filled from both tables in ascending code order so that the first (lowest)
// code holding a value keeps it.
std::unique_ptr<ReverseTable> BuildReverseTable() {
    auto reverse = std::make_unique<ReverseTable>();
    reverse->fill(0);
    for (const unsigned char* table : {Big5ToUnicodeTableLow, Big5ToUnicodeTableHigh}) {
        for (int i = 0; i < kBig5TableEntries; ++i) {
            const unsigned char* entry = table + i * 4;
            const std::uint16_t code = static_cast<std::uint16_t>(entry[0] << 8 | entry[1]);
            const std::uint16_t value = static_cast<std::uint16_t>(entry[2] << 8 | entry[3]);
            if (value != kEmpty && (*reverse)[value] == 0) {
                (*reverse)[value] = code;
            }
        }
    }
    return reverse;
}

}  // namespace

int Big5ToUnicode(unsigned char lead, unsigned char trail) {
    if (lead < kLowFirstLead || lead > kLastLead || trail < kBig5TrailFirst || trail > kTrailLast) {
        return -1;
    }
    const bool high = lead >= kHighFirstLead;
    const unsigned char* table = high ? Big5ToUnicodeTableHigh : Big5ToUnicodeTableLow;
    const int firstLead = high ? kHighFirstLead : kLowFirstLead;
    const int index = (lead - firstLead) * kBig5TrailCount + (trail - kBig5TrailFirst);
    if (index >= kBig5TableEntries) {
        return -1;  // the grid's last cell, which the table leaves out
    }
    const unsigned char* entry = table + index * 4;
    if (entry[0] != lead || entry[1] != trail) {
        return -1;  // a table out of step with its grid; never guess a neighbour's value
    }
    return entry[2] << 8 | entry[3];
}

std::uint16_t UnicodeToBig5(char32_t ch) {
    // Built on first use; the initialisation of a function-local static is thread-safe.
    static const std::unique_ptr<ReverseTable> reverse = BuildReverseTable();
    if (ch >= reverse->size() || ch == kEmpty) {
        return 0;
    }
    return (*reverse)[ch];
}
