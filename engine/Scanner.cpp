// The scanners: a run of 16-bit little-endian units whose high byte is 0 and whose low byte is an
// accepted character, starting at an even offset of the file image.
#include <array>

#include "TranslationEngine.h"

namespace {

using AcceptTable = std::array<bool, 256>;

constexpr AcceptTable MakeAcceptTable(const char* punctuation) {
    AcceptTable table{};
    for (int c = '0'; c <= '9'; ++c) {
        table[c] = true;
    }
    for (int c = 'A'; c <= 'Z'; ++c) {
        table[c] = true;
        table[c + ('a' - 'A')] = true;
    }
    for (const char* p = punctuation; *p != 0; ++p) {
        table[static_cast<unsigned char>(*p)] = true;
    }
    return table;
}

constexpr AcceptTable kSentenceAccepts = MakeAcceptTable(" &,-./_");
constexpr AcceptTable kWordAccepts = MakeAcceptTable("&_");

// Which filter decides a character for the plug-in scanner: its index in the filter table,
// kAlways for "#" and "&", kNever for the dictionary's delimiters and everything unlisted.
constexpr signed char kAlways = -1;
constexpr signed char kNever = -2;
constexpr std::array<signed char, 256> MakeFilterIndex() {
    std::array<signed char, 256> index{};
    for (auto& entry : index) {
        entry = kNever;
    }
    for (int i = 3; i < kCharFilterCount; ++i) {
        index[static_cast<unsigned char>(CharFilterChars[i])] = static_cast<signed char>(i);
    }
    for (int c = '0'; c <= '9'; ++c) {
        index[c] = 0;
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        index[c] = 1;
        index[c - ('a' - 'A')] = 2;
    }
    index['#'] = kAlways;
    index['&'] = kAlways;
    index['='] = kNever;
    index['['] = kNever;
    index[']'] = kNever;
    return index;
}
constexpr auto kFilterIndex = MakeFilterIndex();

// Takes units while they lie wholly inside the image, have a high byte of 0 and an accepted low
// byte, and the candidate has room: at most kCandidateMaxChars characters per run, so the
// candidate buffer always keeps its terminating zero.
template <typename Accepts>
inline std::int64_t ScanRun(const unsigned char* image, std::int64_t size, std::int64_t pos,
                            char* candidate, Accepts accepts) {
    std::int64_t p = pos;
    int i = 0;
    while (i < kCandidateMaxChars && p + 2 <= size && image[p + 1] == 0 && accepts(image[p])) {
        candidate[i++] = static_cast<char>(image[p]);
        p += 2;
    }
    return p;
}

}  // namespace

std::int64_t CTranslationEngine::ScanSentenceRun(const unsigned char* image, std::int64_t size,
                                                 std::int64_t pos, char* candidate) {
    return ScanRun(image, size, pos, candidate,
                   [](unsigned char c) { return kSentenceAccepts[c]; });
}

std::int64_t CTranslationEngine::ScanWordRun(const unsigned char* image, std::int64_t size,
                                             std::int64_t pos, char* candidate) {
    return ScanRun(image, size, pos, candidate, [](unsigned char c) { return kWordAccepts[c]; });
}

std::int64_t CTranslationEngine::ScanFilteredRun(const unsigned char* image, std::int64_t size,
                                                 std::int64_t pos, char* candidate,
                                                 const unsigned char* charFilter) {
    return ScanRun(image, size, pos, candidate, [charFilter](unsigned char c) {
        const signed char index = kFilterIndex[c];
        return index == kAlways || (index >= 0 && charFilter[index] == 1);
    });
}
