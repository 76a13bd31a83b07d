#include <gtest/gtest.h>

#include <string>

#include "TestBytes.h"
#include "TranslationEngine.h"

namespace {

// The translation LookupEntry gives for `key`, or "<miss>".
std::string Lookup(const std::string& prepared, const char* key, int window = kEntryWindow) {
    char out[kResultBufferSize];
    std::fill(std::begin(out), std::end(out), 'x');
    if (!CTranslationEngine::LookupEntry(CDictionaryText(prepared), key, window, out)) {
        return "<miss>";
    }
    return out;
}

TEST(PrepareDictionaryText, TurnsEachCrLfIntoCloseAndLineEndMarks) {
    std::string text = "[A=1\r\n[B=2\r\r\n\n[C=3\r";
    CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(text.data()),
                                              text.size());
    EXPECT_EQ(text, "[A=1]}[B=2\r]}\n[C=3\r");
}

TEST(LookupEntry, KeyMatchesExactlyThanksToItsEqualsSign) {
    const std::string dict =
        PreparedDictionary({"[OPEN=" + kOpenZh, "[OPEN FILE=" + kOpenZh + kFileZh});
    EXPECT_EQ(Lookup(dict, "[OPEN FILE="), kOpenZh + kFileZh);
    EXPECT_EQ(Lookup(dict, "[OPEN="), kOpenZh);
    EXPECT_EQ(Lookup(dict, "[FILE="), "<miss>");
}

TEST(LookupEntry, FirstEntryOfAKeyWinsAndAClosingBracketIsOptional) {
    const std::string dict = PreparedDictionary({"[SAVE=" + kSaveZh + "]", "[SAVE=" + kOpenZh});
    EXPECT_EQ(Lookup(dict, "[SAVE="), kSaveZh);
}

TEST(LookupEntry, TrailBytesThatLookLikeDelimitersBelongToTheirCharacter) {
    // 包 is A5 5D: its trail byte is "]". 久 is A4 5B: its trail byte is "[".
    const std::string pack = "\xA5\x5D\xB8\xCB";  // 包裝
    const std::string dict =
        PreparedDictionary({"[X=\xA4[OK=bad", "[PACKAGE=" + pack, "[OK=" + kOpenZh});
    EXPECT_EQ(Lookup(dict, "[PACKAGE="), pack);
    EXPECT_EQ(Lookup(dict, "[OK="), kOpenZh);
}

TEST(LookupEntry, KeyMatchesInTheMiddleOfALine) {
    const std::string dict = PreparedDictionary({"// comment [EXIT=" + kOpenZh});
    EXPECT_EQ(Lookup(dict, "[EXIT="), kOpenZh);
}

TEST(LookupEntry, EntryWithoutLineEndOrBeyondTheWindowHasNoTranslation) {
    EXPECT_EQ(Lookup(PreparedDictionary({"[A=1", "[LAST=" + kOpenZh}, false), "[LAST="), "");

    // "[K=" then filler so that the line end lies exactly `offset` bytes after the "[".
    auto entryEndingAt = [](int offset) {
        return PreparedDictionary({"[K=" + std::string(static_cast<std::size_t>(offset) - 3, 'a')});
    };
    EXPECT_EQ(Lookup(entryEndingAt(2047), "[K=").size(), 1023u);  // cut to 1023 bytes
    EXPECT_EQ(Lookup(entryEndingAt(2048), "[K="), "");
    EXPECT_EQ(Lookup(entryEndingAt(127), "[K=", kSinglePhraseWindow).size(), 124u);
    EXPECT_EQ(Lookup(entryEndingAt(128), "[K=", kSinglePhraseWindow), "");
}

TEST(LookupEntry, MissLeavesTheOutputUntouchedAndEmptyDictionaryAlwaysMisses) {
    char out[kResultBufferSize] = "kept";
    EXPECT_FALSE(CTranslationEngine::LookupEntry(CDictionaryText(), "[A=", kEntryWindow, out));
    EXPECT_STREQ(out, "kept");
}

TEST(DictionaryText, EndsAtTheFirstNulByte) {
    const std::string file("[A=1]}\0[B=2]}", 13);
    CDictionaryText dict(file);
    EXPECT_EQ(dict.Text(), "[A=1]}");
    EXPECT_EQ(dict.Find("[B="), -1);
}

TEST(DictionaryText, CopiesKeepWorkingAfterTheOriginalIsGone) {
    CDictionaryText copy;
    {
        CDictionaryText original(PreparedDictionary({"[LONG KEY FOR THE HEAP=" + kOpenZh}));
        copy = original;
    }
    EXPECT_EQ(copy.Find("[LONG KEY FOR THE HEAP="), 0);
}

TEST(ExtractBetween, TakesTheTextBetweenTheFirstDelimiters) {
    EXPECT_EQ(CTranslationEngine::ExtractBetween("[K=abc]}", '=', ']'), "abc");
    EXPECT_EQ(CTranslationEngine::ExtractBetween("abc]", '=', ']'), "abc");  // no open: from 0
    EXPECT_EQ(CTranslationEngine::ExtractBetween("a=bc", '=', ']'), "");     // no close
    EXPECT_EQ(CTranslationEngine::ExtractBetween("a]b=c", '=', ']'), "");    // close first
}

TEST(FoldDictionaryKeys, UpperCasesKeysOnly) {
    const std::string prepared =
        PreparedDictionary({"[Open=" + kOpenZh, "[exit=abc", "x[Save=\xA4[ab"});
    std::string folded(prepared.size(), '\0');
    CTranslationEngine::FoldDictionaryKeys(reinterpret_cast<const unsigned char*>(prepared.data()),
                                           reinterpret_cast<unsigned char*>(folded.data()),
                                           prepared.size());
    // The trail byte "[" of 久 switches back to the key state, so "ab" after it is folded too.
    EXPECT_EQ(folded, PreparedDictionary({"[OPEN=" + kOpenZh, "[EXIT=abc", "x[SAVE=\xA4[AB"}));
}

}  // namespace
