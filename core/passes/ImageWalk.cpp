#include "ImageWalk.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "Timing.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Whether any scanner could take the unit (lo, hi): its high byte is 0 and its low byte is a
// printable character other than the backslash and the dictionary's delimiters. Most offsets of a
// program file fail this at once, which keeps the walk fast.
constexpr std::array<bool, 256> MakeMayStartTable() {
    std::array<bool, 256> table{};
    for (int c = 0x20; c <= 0x7E; ++c) {
        table[c] = c != '\\' && c != '=' && c != '[' && c != ']';
    }
    return table;
}
constexpr auto kMayStart = MakeMayStartTable();

inline bool MayStartRun(const unsigned char* unit) {
    return unit[1] == 0 && kMayStart[unit[0]];
}

// Byte offset of the first of the eight units at `p` that may start a run, or 16 when none may.
// Machine code, compressed data and zero padding rarely hold such a unit, so the walk passes
// over them 16 bytes at a time. It may report a unit MayStartRun refuses; never the reverse.
inline int FirstCandidateOf8(const unsigned char* p) {
#if defined(__SSE2__)
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // As signed 16-bit values, exactly the units 0x0020 to 0x007E lie between 0x1F and 0x7F.
    const __m128i printable = _mm_and_si128(_mm_cmpgt_epi16(units, _mm_set1_epi16(0x1F)),
                                            _mm_cmplt_epi16(units, _mm_set1_epi16(0x7F)));
    const int mask = _mm_movemask_epi8(printable);
    return mask == 0 ? 16 : __builtin_ctz(static_cast<unsigned>(mask));
#else
    for (int i = 0; i < 16; i += 2) {
        if (MayStartRun(p + i)) {
            return i;
        }
    }
    return 16;
#endif
}

// String tables keep each string as its length followed by its characters, with no zero after
// them. A length of 32 to 126 reads as a character, so a run can take a length in front of its
// text, and the next string's length and text after it; a translation laid over the run would
// overwrite the lengths and break the table. When the run is exactly such a chain of lengths and
// texts, returns the first string's length: that string is the run, and the walk goes on at the
// next length. Otherwise -1.
std::int64_t FirstStringOfTable(const char* candidate, std::int64_t chars) {
    std::int64_t i = 0;
    while (i < chars) {
        i += 1 + static_cast<unsigned char>(candidate[i]);
    }
    return i == chars ? static_cast<unsigned char>(candidate[0]) : -1;
}

}  // namespace

std::int64_t ScanRun(PassState& state, const unsigned char* image, std::int64_t size,
                     std::int64_t pos, EMainScanner mainScanner) {
    char* const candidate = state.m_szCandidate;
    std::int64_t end = pos;
    if (state.m_bPlugInDict == 1) {
        end =
            CTranslationEngine::ScanFilteredRun(image, size, pos, candidate, state.m_abCharFilter);
    }
    if (state.m_bPlugInDict == 0 || (end == pos && state.m_bAlsoDefaultDict == 1)) {
        end = mainScanner == EMainScanner::FollowMode && state.m_bWholeSentence == 0
                  ? CTranslationEngine::ScanWordRun(image, size, pos, candidate)
                  : CTranslationEngine::ScanSentenceRun(image, size, pos, candidate);
    }
    return end;
}

bool WalkImage(PassState& state, const unsigned char* image, std::int64_t size,
               EMainScanner mainScanner, IPassDisplay& display, IRunHandler& handler) {
    char* const candidate = state.m_szCandidate;
    // Only what the last scan wrote can be non-zero, so zero-filling the candidate before each
    // scan means clearing that much; at first, all of it.
    std::size_t dirty = sizeof state.m_szCandidate;
    int progress = -1;
    std::int64_t nextProgressPos = 0;

    for (std::int64_t pos = 0; pos < size;) {
        PumpOneMessage();  // a quit message is dropped and the pass goes on
        if (state.m_bStopped == 1) {
            return false;
        }
        if (pos >= nextProgressPos) {
            const int percent = static_cast<int>(pos * 100 / size);
            if (percent != progress) {
                display.SetProgress(percent);
                progress = percent;
            }
            // The first offset at which the percentage moves on.
            nextProgressPos = ((percent + 1) * size + 99) / 100;
        }
        if (dirty != 0) {
            std::memset(candidate, 0, dirty);
            dirty = 0;
        }
        if (pos + 2 > size || !MayStartRun(image + pos)) {
            // Where no run can start nothing happens but the pump's countdown and the progress
            // bar: pass over such offsets in a tight loop, up to the next real pump or the next
            // step of the progress bar, and account for their pump calls.
            const std::int64_t limit =
                std::min({size - 1, nextProgressPos,
                          pos + 2 * (1 + static_cast<std::int64_t>(PumpCallsBeforeNextPump()))});
            std::int64_t next = pos + 2;
            while (next < limit) {
                if (next + 16 <= limit) {
                    const int offset = FirstCandidateOf8(image + next);
                    next += offset;
                    if (offset == 16) {
                        continue;
                    }
                }
                if (MayStartRun(image + next)) {
                    break;
                }
                next += 2;
            }
            SkipPumpCalls(static_cast<unsigned>((next - pos) / 2 - 1));
            pos = next;
            continue;
        }

        std::int64_t end = ScanRun(state, image, size, pos, mainScanner);
        if (end <= pos) {
            pos += 2;
            continue;
        }
        dirty = static_cast<std::size_t>((end - pos) / 2);
        if (const std::int64_t length = FirstStringOfTable(candidate, (end - pos) / 2);
            length >= 0) {
            std::memmove(candidate, candidate + 1, static_cast<std::size_t>(length));
            std::memset(candidate + length, 0, dirty - static_cast<std::size_t>(length));
            pos += 2;
            end = pos + 2 * length;
        }

        state.m_nRunBytes = static_cast<int>(end - pos);
        display.ShowRunOffset(pos);
        handler.OnRun(pos);
        pos = end;
        if (state.m_nDelay != 0) {
            DelayMs(static_cast<unsigned>(state.m_nDelay * state.m_nDelay));
        }
    }
    return true;
}
