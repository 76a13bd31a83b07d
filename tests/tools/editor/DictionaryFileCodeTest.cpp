// The editor's view of a file in the dictionary code: decoded through the conversion tables,
// and encoded back so that whatever nobody changed comes back byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "Big5.h"
#include "DictionaryCode.h"

namespace {

std::string RoundTrip(const std::string& bytes) {
    const DictionaryFileText text = DecodeDictionaryFile(bytes);
    std::string out;
    EXPECT_TRUE(EncodeDictionaryFile(text.strText, text, out, nullptr));
    return out;
}

// `text` typed into an editor whose file held `originalBytes`, saved.
std::string Saved(const std::u32string& text, const std::string& originalBytes = {}) {
    std::string out;
    std::size_t bad = 0;
    EXPECT_TRUE(EncodeDictionaryFile(text, DecodeDictionaryFile(originalBytes), out, &bad))
        << "refused at " << bad;
    return out;
}

TEST(DictionaryFileCode, EveryPositionOfTheTablesIsOneCharacterOfItsOwn) {
    std::set<std::u32string> seen;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const int value =
                Big5ToUnicode(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
            const std::u32string text = DecodeDictionaryFile(bytes).strText;
            ASSERT_EQ(RoundTrip(bytes), bytes) << std::hex << lead << trail;
            if (value < 0 || value == 0xFFFD) {
                continue;
            }
            // One character, which no other position decodes to and which is no placeholder.
            ASSERT_EQ(text.size(), 1u) << std::hex << lead << trail;
            EXPECT_FALSE(IsKeptByte(text[0]));
            EXPECT_TRUE(seen.insert(text).second) << std::hex << lead << trail;
        }
    }
}

TEST(DictionaryFileCode, AnyBytesComeBackAsTheyWere) {
    std::mt19937 random(20240507);
    // Line ends, double-byte leads and NUL bytes often, so that they meet in every order.
    const std::string common = "\r\n\r\n\xA4\xB6\x81\xFE\x7F\0[]}=";
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 64, '\0');
        for (char& b : bytes) {
            b = random() % 3 == 0 ? common[random() % common.size()]
                                  : static_cast<char>(random() & 0xFF);
        }
        ASSERT_EQ(RoundTrip(bytes), bytes) << "round " << round;
    }
}

TEST(DictionaryFileCode, WhatTheEditorShows) {
    struct Case {
        std::string bytes;
        std::u32string text;
    };
    const Case cases[] = {
        {"[OPEN=\xB6\x7D\xB1\xD2\r\n", U"[OPEN=開啟\n"},
        // Both line ends are line breaks; a carriage return alone is a kept byte.
        {"a\nb\r\nc\rd", U"a\nb\nc\uF70Dd"},
        {std::string("\t\0\x1B\x7F", 4), U"\t\uF700\uF71B\uF77F"},
        // A lead byte at the end, before a trail byte the tables do not have, or of an empty
        // position: the byte is kept and what follows is read on its own.
        {"x\xA4", U"x\uF7A4"},
        {"\xA4\x30", U"\uF7A40"},
        {"\x84\x41", U"\uF784A"},
        // Two positions of one value stay two characters: 十 twice.
        {"\xA4\x51\xA2\xCC", U"十\u2F17"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeDictionaryFile(c.bytes).strText, c.text) << c.bytes;
    }
    EXPECT_EQ(DecodeDictionaryFile("a\nb\r\nc").aLineEnds,
              (std::vector<ELineEnd>{ELineEnd::Lf, ELineEnd::CrLf, ELineEnd::None}));
}

TEST(DictionaryFileCode, TypedTextIsWrittenWithCrLfAndTheStandardPositions) {
    EXPECT_EQ(Saved(U"[PACKAGE=包裝\n[LONG=久\n"),
              "[PACKAGE=\xA5\x5D\xB8\xCB\r\n[LONG=\xA4\x5B\r\n");
    EXPECT_EQ(Saved(U"十卅\u2F17"), "\xA4\x51\xA4\xCA\xA2\xCC\r\n");
    EXPECT_EQ(Saved(U"\uF70D\uF7A4"), "\r\xA4\r\n");
}

TEST(DictionaryFileCode, UnchangedLinesKeepTheirLineEndsChangedOnesTakeCrLf) {
    const std::string file = "one\ntwo\r\nthree\nfour";
    EXPECT_EQ(Saved(U"one\ntwo\nthree\nfour", file), file);
    // A changed line, and the last line changed: CR LF, so that its entry counts.
    EXPECT_EQ(Saved(U"one\ntwo\nthree!\nfour!", file), "one\ntwo\r\nthree!\r\nfour!\r\n");
    // A line inserted, a line removed: the others keep theirs.
    EXPECT_EQ(Saved(U"one\nnew\ntwo\nfour", file), "one\nnew\r\ntwo\r\nfour");
    // Lines added after a last line without its end.
    EXPECT_EQ(Saved(U"one\ntwo\nthree\nfour\nfive", file), "one\ntwo\r\nthree\nfour\r\nfive\r\n");
    // Equal lines are told apart by their order.
    EXPECT_EQ(Saved(U"x\nx\nx\n", "x\nx\r\nx\n"), "x\nx\r\nx\n");
    EXPECT_EQ(Saved(U"x\nx\n", "x\nx\r\nx\n"), "x\nx\r\n");
}

TEST(DictionaryFileCode, ACharacterWithoutACodeIsRefusedWithItsPlace) {
    ASSERT_EQ(UnicodeToBig5(U'é'), 0);
    std::string out;
    std::size_t bad = 0;
    EXPECT_FALSE(EncodeDictionaryFile(U"ab\ncafé", DictionaryFileText{}, out, &bad));
    EXPECT_EQ(bad, 6u);
    EXPECT_FALSE(EncodeDictionaryFile(U"\U0001F600", DictionaryFileText{}, out, &bad));
    EXPECT_EQ(bad, 0u);
}

}  // namespace
