#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestBytes.h"
#include "TranslationEngine.h"

namespace {

// An image "XX" + run + "\0\0" + "YY"; returns it after laying `result` into the run.
std::string LaidIn(const std::string& runText, const std::string& result, bool byChars,
                   bool* pbWritten = nullptr) {
    CTranslationEngine engine;
    std::memcpy(engine.m_szResult, result.data(), result.size());
    engine.m_nResultLen = static_cast<int>(result.size());
    std::string image = "XX" + Units(runText) + std::string(2, '\0') + "YY";
    auto* bytes = reinterpret_cast<unsigned char*>(image.data());
    const int runBytes = static_cast<int>(2 * runText.size());
    if (byChars) {
        const bool written = engine.LayInByChars(bytes, 2, runBytes);
        if (pbWritten != nullptr) {
            *pbWritten = written;
        }
    } else {
        engine.LayInByUnits(bytes, 2, runBytes);
    }
    return image;
}

const std::string kTail = std::string(2, '\0') + "YY";

TEST(LayIn, DoubleByteCharactersBecomeTheirCodesAndTheRestOfTheRunBlanks) {
    const std::string expected = "XX" + std::string("\x94\x6A\x48\x68\x20\x00\x20\x00", 8) + kTail;
    EXPECT_EQ(LaidIn("File", kFileZh, false), expected);
    EXPECT_EQ(LaidIn("File", kFileZh, true), expected);
    // 開啟 in the run of Open.
    EXPECT_EQ(LaidIn("Open", kOpenZh, false),
              "XX" + std::string("\x8B\x95\x5F\x55\x20\x00\x20\x00", 8) + kTail);
}

TEST(LayIn, TranslationOfTheRunsExactLengthLeavesNoBlank) {
    EXPECT_EQ(LaidIn("Ab", kFileZh, false), "XX" + std::string("\x94\x6A\x48\x68", 4) + kTail);
}

TEST(LayIn, TooLongATranslationWritesNothing) {
    const std::string six = kOpenZh + kFileZh + kSaveZh;  // 6 characters, 12 bytes
    const std::string original = "XX" + Units("Abcde") + kTail;
    bool written = true;
    EXPECT_EQ(LaidIn("Abcde", six, true, &written), original);
    EXPECT_FALSE(written);
    EXPECT_EQ(LaidIn("Abcde", six, false), original);
    EXPECT_EQ(LaidIn("Abcde", "", true, &written), original);
    EXPECT_FALSE(written);
}

TEST(LayInByUnits, PairedOutputKeepsItsSingleByteCharacters) {
    const std::string paired = kOpenZh + std::string("N\0E\0W\0", 6);
    EXPECT_EQ(LaidIn("Abcdefg", paired, false),
              "XX" + std::string("\x8B\x95\x5F\x55N\0E\0W\0 \0 \0", 14) + kTail);
}

TEST(LayIn, MixedTextIsLaidInByCharactersButPairedByUnits) {
    const std::string mixed = "A\xA4\xA4";  // A中
    bool written = false;
    EXPECT_EQ(LaidIn("Ab", mixed, true, &written), "XX" + std::string("A\0\x2D\x4E", 4) + kTail);
    EXPECT_TRUE(written);
    // By units the pairs are (41 A4), not in the tables, and (A4 00).
    EXPECT_EQ(LaidIn("Ab", mixed, false), "XX" + std::string("A\xA4\xA4\0", 4) + kTail);
}

TEST(ConvertBig5Char, GivesLowByteFirstAndLeavesUnknownPairsAlone) {
    struct Case {
        unsigned char b1, b2, lo, hi;
    };
    for (const Case& c : {Case{0xA4, 0x40, 0x00, 0x4E}, Case{0xA1, 0x56, 0x15, 0x20},
                          Case{0xC6, 0xA1, 0x60, 0x24}, Case{0x81, 0x7F, 0xFD, 0xFF},
                          Case{0x41, 0x42, 0x41, 0x42}, Case{0xFE, 0xFE, 0xFE, 0xFE}}) {
        unsigned char b1 = c.b1, b2 = c.b2;
        CTranslationEngine::ConvertBig5Char(b1, b2);
        EXPECT_EQ(b1, c.lo) << std::hex << int(c.b1) << int(c.b2);
        EXPECT_EQ(b2, c.hi) << std::hex << int(c.b1) << int(c.b2);
    }
}

}  // namespace
