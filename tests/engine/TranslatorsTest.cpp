#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "TestBytes.h"
#include "TranslationEngine.h"

namespace {

class Translators : public ::testing::Test {
  protected:
    void SetUp() override {
        engine.m_strMainDict = PreparedDictionary({
            "[OPEN=" + kOpenZh,
            "[FILE=" + kFileZh,
            "[SAVE=" + kSaveZh,
            "[AS=" + kAsZh,
            "[CANCEL=" + kFileZh,
            "[OK=" + kOpenZh,
            "[ABC=" + kSaveZh,
            "[MS=" + kSaveZh,
            "[SANS=" + kSaveZh,
        });
    }

    // Runs the translator on `text` as if a scanner had found it.
    std::string Sentence(const std::string& text, bool bPairUnits = true) {
        candidate.Set(text);
        engine.TranslateSentence(candidate.sz, Len(text), bPairUnits);
        return Result();
    }
    std::string Word(const std::string& text) {
        candidate.Set(text);
        engine.TranslateWord(candidate.sz, Len(text));
        return Result();
    }
    std::string PlugIn(const std::string& text, bool bIgnoreCase = true) {
        candidate.Set(text);
        engine.TranslatePlugIn(candidate.sz, Len(text), bIgnoreCase);
        return Result();
    }
    std::string Edited(const std::string& text) {
        candidate.Set(text);
        engine.LookupEditedTranslation(candidate.sz, Len(text) + 2);
        return Result();
    }
    static int Len(const std::string& text) { return static_cast<int>(2 * text.size()); }
    std::string Result() const {
        return std::string(engine.m_szResult, static_cast<std::size_t>(engine.m_nResultLen));
    }

    CTranslationEngine engine;
    Candidate candidate;
};

TEST_F(Translators, WholeTextLookupOfOneWord) {
    EXPECT_EQ(Sentence("Cancel"), kFileZh);
    EXPECT_EQ(Sentence("&Save"), kSaveZh);  // the "&" is dropped from the key
    EXPECT_EQ(Sentence("Abc"), kSaveZh);
}

TEST_F(Translators, TextsWithoutLowerCaseOrLetterChangesAreRefused) {
    EXPECT_EQ(Sentence("CANCEL"), "");
    EXPECT_EQ(Sentence("1024"), "");
    EXPECT_EQ(Sentence("Ok"), "");        // one change over "[O"
    EXPECT_EQ(Sentence("O&k"), kOpenZh);  // "[OK" spans two changes
    EXPECT_EQ(Word("Ok"), "");
    EXPECT_EQ(Word("O&k"), kOpenZh);
}

// The guards on their own, as a caller that only classifies runs sees them; they must agree with
// what the translators refuse.
TEST_F(Translators, GuardsAloneAgreeWithTheTranslators) {
    for (const char* text : {"Cancel", "CANCEL", "1024", "Ok", "O&k", "Abc", "Aa", "aaaa", "A-b",
                             "&&x", "x&y", "Ab&", "AB&c", "Save As...", "a b"}) {
        const bool bPasses = CTranslationEngine::PassesMainGuards(text, Len(text));
        std::string key;
        for (const char* c = text; *c != 0; ++c) {
            if (*c != '&') {
                key += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
            }
        }
        engine.m_strMainDict = PreparedDictionary({"[" + key + "=" + kOpenZh});
        candidate.Set(text);
        engine.TranslateWord(candidate.sz, Len(text));
        const bool bLookedUp = engine.m_nResultLen > 0;
        EXPECT_EQ(bPasses, bLookedUp) << text;
    }
}

TEST_F(Translators, TextWithSeparatorsIsTranslatedWordByWord) {
    // SAVE, the blank dropped, AS, the first "." dropped, two "." kept, then blanks for "=" and
    // the terminating zero.
    EXPECT_EQ(Sentence("Save As..."), kSaveZh + kAsZh + std::string(".\0.\0 \0 \0", 8));
    EXPECT_EQ(Sentence("Save As...", false), kSaveZh + kAsZh + "..  ");
    // An untranslated word keeps its letters as written and the character after it.
    const std::string expected =
        kOpenZh + std::string("n\0e\0w\0 \0", 8) + kFileZh + std::string(" \0", 2);
    EXPECT_EQ(Sentence("Open new file"), expected);
    EXPECT_EQ(expected.size(), 18u);
    EXPECT_EQ(Sentence("Open new file", false), kOpenZh + "new " + kFileZh + " ");
    EXPECT_EQ(Sentence("Open,x_y"), kOpenZh + std::string("x\0 \0y\0 \0 \0", 10));
    // The run after the "%" of "%s was not found": "%s" must stay "%s", not become "%S".
    engine.m_strMainDict =
        PreparedDictionary({"[WAS=" + kAsZh, "[NOT=" + kAsZh, "[FILE=" + kFileZh});
    EXPECT_EQ(Sentence("s was not found", false), "s " + kAsZh + kAsZh + "found  ");
    // A menu command's id read as a first letter ("e" is 101) stays the same id.
    EXPECT_EQ(Sentence("eOpen File", false), "eOpen " + kFileZh + " ");
}

TEST_F(Translators, NoWholePhraseLookupWhenTheTextHoldsASeparator) {
    engine.m_strMainDict =
        PreparedDictionary({"[SAVE AS=" + kFileZh, "[FILE_NAME=" + kSaveZh, "[AS=" + kAsZh});
    EXPECT_EQ(Sentence("Save as", false), "Save " + kAsZh + " ");
    EXPECT_EQ(Sentence("File_Name"), kSaveZh);
    EXPECT_EQ(Sentence("File_Size"), "");  // no word-by-word fallback without a separator
}

TEST_F(Translators, FontNameIsNeverTranslated) {
    EXPECT_EQ(Sentence("MS Sans Serif"), "");
    engine.m_strPlugInDict = PreparedDictionary({"[MS SANS SERIF=" + kOpenZh});
    EXPECT_EQ(PlugIn("MS Sans Serif"), kOpenZh);  // the plug-in guard needs the upper-case form
    EXPECT_EQ(PlugIn("MS SANS SERIF"), "");
}

TEST_F(Translators, TextWithoutAnyTranslatedWordIsNotTranslated) {
    // It would only come out in capitals, written over the program's own text.
    EXPECT_EQ(Sentence("Zzz yyy"), "");
    EXPECT_EQ(engine.m_nResultLen, 0);
    engine.m_strMainDict = PreparedDictionary({"[ZZZ=" + std::string(2100, 'a')});
    EXPECT_EQ(Sentence("Zzz, yyy"), "");  // a hit that adds nothing is no translation either
}

TEST_F(Translators, WordWhoseEntryOverrunsTheWindowAddsNothing) {
    engine.m_strMainDict =
        PreparedDictionary({"[OPEN=" + std::string(2100, 'a'), "[FILE=" + kFileZh});
    EXPECT_EQ(Sentence("Open file"), kFileZh + std::string(" \0", 2));
}

TEST_F(Translators, SinglePhraseLookupsUseA128ByteWindow) {
    engine.m_strMainDict =
        PreparedDictionary({"[HELLO=" + std::string(120, 'a'), "[WORLD=" + std::string(121, 'a')});
    EXPECT_EQ(Word("Hello"), std::string(120, 'a'));  // line end 127 bytes after "["
    EXPECT_EQ(Word("World"), "");                     // 128 bytes after
    EXPECT_EQ(Sentence("World"), std::string(121, 'a'));
}

TEST_F(Translators, PlugInKeysAreTheWholeCandidate) {
    engine.m_strPlugInDict = PreparedDictionary({"[SAVE AS...=" + kFileZh, "[Help me=" + kOpenZh});
    EXPECT_EQ(PlugIn("Save As..."), kFileZh);
    EXPECT_EQ(PlugIn("Help me", false), kOpenZh);
    EXPECT_EQ(PlugIn("help me", false), "");
    EXPECT_EQ(PlugIn("HELP"), "");  // nothing to fold
    EXPECT_EQ(PlugIn("Ok"), "");    // two changes over "[Ok=" are too few
}

TEST_F(Translators, EditedLookupIsCaseSensitiveAndNeedsTwoLetterChanges) {
    engine.m_strEditedDict = PreparedDictionary(
        {"[OK=" + kOpenZh, "[A-A=" + kFileZh, "[1.0=" + kFileZh, "[Exit=" + kSaveZh});
    EXPECT_EQ(Edited("OK"), kOpenZh);
    EXPECT_EQ(Edited("A-A"), "");
    EXPECT_EQ(Edited("1.0"), "");
    EXPECT_EQ(Edited("Exit"), kSaveZh);
    EXPECT_EQ(Edited("EXIT"), "");
}

TEST_F(Translators, CandidatesTooLongForTheirKeyAreRefused) {
    // "[", 2045 characters, "=" and the terminator fill the key buffer; one more does not fit.
    engine.m_strMainDict = PreparedDictionary({"[AB=z"});
    std::string text;
    for (int i = 0; i < 681; ++i) {
        text += "ab ";
    }
    text += "ab";
    ASSERT_EQ(text.size(), 2045u);
    EXPECT_EQ(Sentence(text, false), std::string(682, 'z') + " ");
    EXPECT_EQ(Sentence(text + "x", false), "");

    // The plug-in key is printed into 1024 bytes: cut short it would lose its "=" and match the
    // beginning of a longer key.
    engine.m_strPlugInDict = PreparedDictionary({"[AB" + std::string(1100, 'B') + "XY=" + kOpenZh});
    EXPECT_EQ(PlugIn("Ab" + std::string(1100, 'b')), "");
    EXPECT_EQ(PlugIn("Ab" + std::string(1100, 'b') + "xy"), "");
    engine.m_strPlugInDict = PreparedDictionary({"[AB" + std::string(1000, 'B') + "XY=" + kOpenZh});
    EXPECT_EQ(PlugIn("Ab" + std::string(1000, 'b') + "xy"), kOpenZh);
}

TEST_F(Translators, WordByWordOutputNeverOverrunsTheResult) {
    // Every word translates to 1000 bytes: the output cannot fit and there is no translation.
    engine.m_strMainDict = PreparedDictionary({"[AB=" + std::string(1000, 'z')});
    std::string text;
    for (int i = 0; i < 10; ++i) {
        text += "ab ";
    }
    EXPECT_EQ(Sentence(text), "");
    EXPECT_EQ(engine.m_szResult[0], 0);
    EXPECT_EQ(Sentence("ab ab").size(), 2002u);
}

}  // namespace
