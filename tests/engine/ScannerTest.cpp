#include <gtest/gtest.h>

#include <string>

#include "TestBytes.h"
#include "TranslationEngine.h"

namespace {

enum class Scanner { Sentence, Word, Filtered };

struct ScanResult {
    std::int64_t end;
    std::string candidate;
};

ScanResult Scan(Scanner scanner, const std::string& image, std::int64_t pos,
                const unsigned char* filter = DefaultCharFilter) {
    Candidate c;
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
    const auto size = static_cast<std::int64_t>(image.size());
    std::int64_t end = 0;
    switch (scanner) {
        case Scanner::Sentence:
            end = CTranslationEngine::ScanSentenceRun(bytes, size, pos, c.sz);
            break;
        case Scanner::Word:
            end = CTranslationEngine::ScanWordRun(bytes, size, pos, c.sz);
            break;
        case Scanner::Filtered:
            end = CTranslationEngine::ScanFilteredRun(bytes, size, pos, c.sz, filter);
            break;
    }
    return {end, c.sz};
}

TEST(Scanners, RunEndsAtTheFirstUnitNotAccepted) {
    const std::string image = "XX" + Units("File") + std::string(2, '\0');
    const ScanResult r = Scan(Scanner::Sentence, image, 2);
    EXPECT_EQ(r.end, 10);
    EXPECT_EQ(r.candidate, "File");
}

TEST(Scanners, SentenceRunsHoldPhrasesWordRunsStopAtBlanks) {
    const std::string image = Units("Save As") + std::string(2, '\0');
    EXPECT_EQ(Scan(Scanner::Sentence, image, 0).end, 14);
    EXPECT_EQ(Scan(Scanner::Sentence, image, 0).candidate, "Save As");
    EXPECT_EQ(Scan(Scanner::Word, image, 0).end, 8);
    EXPECT_EQ(Scan(Scanner::Word, image, 0).candidate, "Save");
    EXPECT_EQ(Scan(Scanner::Word, Units("&Open_1"), 0).candidate, "&Open_1");
    EXPECT_EQ(Scan(Scanner::Sentence, Units("a,b-c.d/e_f&g!"), 0).candidate, "a,b-c.d/e_f&g");
}

TEST(Scanners, UnitsWithAHighByteOrAtOddOffsetsAreNotText) {
    const std::string chinese = "A\x4E";  // U+4E41
    EXPECT_EQ(Scan(Scanner::Sentence, Units("Ab") + chinese + Units("cd"), 0).candidate, "Ab");
    const std::string odd = "\x01" + Units("Open");
    for (std::int64_t pos : {0, 2, 4, 6, 8}) {
        EXPECT_EQ(Scan(Scanner::Sentence, odd, pos).end, pos) << pos;
    }
}

TEST(Scanners, RunReachingTheEndOfTheImageEndsThere) {
    EXPECT_EQ(Scan(Scanner::Sentence, Units("Open"), 0).end, 8);
    // A half unit at the end is not taken.
    EXPECT_EQ(Scan(Scanner::Sentence, Units("Open") + "A", 0).end, 8);
}

TEST(Scanners, LengthPrefixOfAStringIsTakenWhenItLooksLikeText) {
    EXPECT_EQ(Scan(Scanner::Sentence, Units(" Hello"), 0).candidate, " Hello");
}

TEST(FilteredScanner, DelimitersAreNeverAcceptedWhateverTheFilters) {
    unsigned char all[kCharFilterCount];
    std::fill(std::begin(all), std::end(all), 1);
    for (Scanner s : {Scanner::Sentence, Scanner::Word, Scanner::Filtered}) {
        EXPECT_EQ(Scan(s, Units("x=1"), 0, all).candidate, "x");
    }
    EXPECT_EQ(Scan(Scanner::Filtered, Units("a[b]c\\d"), 0, all).candidate, "a");
    EXPECT_EQ(Scan(Scanner::Filtered, Units("b]c"), 0, all).candidate, "b");
    EXPECT_EQ(Scan(Scanner::Filtered, Units("c\\d"), 0, all).candidate, "c");
}

TEST(FilteredScanner, EachFilterDecidesItsOwnCharacters) {
    unsigned char none[kCharFilterCount] = {};
    EXPECT_EQ(Scan(Scanner::Filtered, Units("#&#&x"), 0, none).candidate, "#&#&");

    EXPECT_EQ(Scan(Scanner::Filtered, Units("Ok? (yes)"), 0).candidate, "Ok? (yes)");
    unsigned char noQuestion[kCharFilterCount];
    std::copy(std::begin(DefaultCharFilter), std::end(DefaultCharFilter), noQuestion);
    noQuestion[22] = 0;  // "?"
    EXPECT_EQ(Scan(Scanner::Filtered, Units("Ok? (yes)"), 0, noQuestion).candidate, "Ok");
    noQuestion[22] = 2;  // only 1 accepts
    EXPECT_EQ(Scan(Scanner::Filtered, Units("Ok? (yes)"), 0, noQuestion).candidate, "Ok");

    unsigned char noDigits[kCharFilterCount];
    std::copy(std::begin(DefaultCharFilter), std::end(DefaultCharFilter), noDigits);
    noDigits[0] = 0;
    EXPECT_EQ(Scan(Scanner::Filtered, Units("ab1"), 0, noDigits).candidate, "ab");
}

TEST(Scanners, AllThreeStopAfter2048CharactersLeavingTheTerminator) {
    const std::string image = Units(std::string(3000, 'a'));
    for (Scanner s : {Scanner::Sentence, Scanner::Word, Scanner::Filtered}) {
        Candidate c;
        std::fill(std::begin(c.sz), std::end(c.sz), 0);
        const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
        const auto size = static_cast<std::int64_t>(image.size());
        std::int64_t end =
            s == Scanner::Sentence ? CTranslationEngine::ScanSentenceRun(bytes, size, 0, c.sz)
            : s == Scanner::Word
                ? CTranslationEngine::ScanWordRun(bytes, size, 0, c.sz)
                : CTranslationEngine::ScanFilteredRun(bytes, size, 0, c.sz, DefaultCharFilter);
        EXPECT_EQ(end, 4096);
        EXPECT_EQ(c.sz[kCandidateMaxChars], 0);
        // The rest of the run is found by the next scan.
        EXPECT_EQ(Scan(s, image, end).end, 6000);
    }
}

}  // namespace
