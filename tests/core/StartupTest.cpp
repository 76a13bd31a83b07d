#include "Startup.h"
#include "TranslatorRecord.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DictionaryFiles.h"
#include "FileError.h"
#include "TestBytes.h"
#include "TestFiles.h"

namespace {

class Startup : public ::testing::Test {
  protected:
    Startup() : cwd(dir.Path()) {}

    CTempDir dir;
    CScopedCurrentDir cwd;
    AppState state;
    CTranslationEngine engine;
};

TEST_F(Startup, TranslatorRecordFillsTheThreeSlots) {
    EXPECT_FALSE(ReadTranslatorRecord(state));

    std::string record(384, '\0');
    record.replace(0, 4, "Mary");
    record.replace(128, 11, "example.org");
    record.replace(256, 128, std::string(128, 'm'));  // a slot with no zero byte
    WriteFileBytes(dir / "VOKRA.DAT", record + "more bytes are ignored");
    ASSERT_TRUE(ReadTranslatorRecord(state));
    EXPECT_STREQ(state.m_szTranslatorName, "Mary");
    EXPECT_STREQ(state.m_szTranslatorUrl, "example.org");
    EXPECT_EQ(std::string(state.m_szTranslatorEmail), std::string(128, 'm'));
}

TEST_F(Startup, ShortTranslatorRecordLeavesTheMissingPartEmpty) {
    CopyText(state.m_szTranslatorUrl, "stale");
    WriteFileBytes(dir / "VOKRA.DAT", std::string("Li") + std::string(126, '\0') + "ab");
    ASSERT_TRUE(ReadTranslatorRecord(state));
    EXPECT_STREQ(state.m_szTranslatorName, "Li");
    EXPECT_STREQ(state.m_szTranslatorUrl, "ab");
    EXPECT_STREQ(state.m_szTranslatorEmail, "");
}

TEST_F(Startup, DefaultsAndDictionaryMakeAReadyProgram) {
    ApplyStartupDefaults(state);
    EXPECT_STREQ(state.m_szBackupExt, ".bak");
    EXPECT_EQ(state.m_bStopped, 1);
    EXPECT_EQ(state.m_bWholeSentence, 1);
    EXPECT_EQ(state.m_bAlsoDefaultDict, 1);
    EXPECT_EQ(state.m_bIgnoreCase, 1);
    EXPECT_EQ(state.m_bOpenInNotepad, 1);
    EXPECT_EQ(std::string(state.m_szBlanks, 128), std::string(128, ' '));
    EXPECT_EQ(state.m_abCharFilter[20], 0);
    EXPECT_EQ(state.m_abCharFilter[21], 1);

    // The last line has no CR LF, so its entry gets no closing delimiter.
    WriteFileBytes(dir / "message.txt", "[OPEN=" + kOpenZh + "\r\n[FILE=" + kFileZh);
    LoadStartupDictionary(state, engine);
    EXPECT_EQ(engine.m_strMainDict.Text(), "[OPEN=" + kOpenZh + "]}[FILE=" + kFileZh);
    EXPECT_EQ(state.m_bToTraditional, 1);
    EXPECT_EQ(std::string(state.m_szProgramDir), dir.Path());

    Candidate candidate;
    candidate.Set("Open");
    engine.TranslateSentence(candidate.sz, 8, true);
    EXPECT_EQ(std::string(engine.m_szResult), kOpenZh);
    candidate.Set("File");
    engine.TranslateSentence(candidate.sz, 8, true);
    EXPECT_EQ(engine.m_nResultLen, 0);
}

TEST_F(Startup, MissingDictionaryLeavesAnEmptyDictionaryAndNoDirection) {
    ApplyStartupDefaults(state);
    try {
        LoadStartupDictionary(state, engine);
        FAIL() << "no file error";
    } catch (const CFileError& error) {
        EXPECT_EQ(error.Text(), "沒有找到 message.txt .");
    }
    EXPECT_TRUE(engine.m_strMainDict.Empty());
    EXPECT_EQ(state.m_bToTraditional, 0);
    EXPECT_STREQ(state.m_szProgramDir, "");
}

TEST_F(Startup, PlugInDictionaryIsSearchedFoldedOrAsWritten) {
    ApplyStartupDefaults(state);
    WriteFileBytes(dir / "user.txt", "[Help me=" + kOpenZh + "\r\n");
    LoadPlugInDictionary(state, engine);
    EXPECT_EQ(engine.m_strPlugInDict.Text(), "[HELP ME=" + kOpenZh + "]}");
    state.m_bIgnoreCase = 0;
    SelectPlugInText(state, engine);
    EXPECT_EQ(engine.m_strPlugInDict.Text(), "[Help me=" + kOpenZh + "]}");
}

TEST_F(Startup, UnreadableRecordAndMissingDictionaryAreBothReportedAndTheProgramStillStarts) {
    std::filesystem::create_directory(dir / "VOKRA.DAT");  // a folder in place of the record
    const StartupResult result = StartUp(state, engine);
    EXPECT_FALSE(result.bAskTranslator);
    ASSERT_EQ(result.failures.size(), 2u);
    std::vector<std::string> texts;
    for (const std::exception_ptr& failure : result.failures) {
        try {
            std::rethrow_exception(failure);
        } catch (const CFileError& error) {
            texts.push_back(error.Text());
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"VOKRA.DAT 是資料夾, 不是檔案.",
                                               "沒有找到 message.txt ."}));
    EXPECT_EQ(state.m_bStopped, 1);  // the defaults are set all the same
    EXPECT_STREQ(state.m_szBackupExt, ".bak");
}

TEST_F(Startup, FirstStartAsksForTheTranslator) {
    WriteFileBytes(dir / "message.txt", "[OPEN=" + kOpenZh + "\r\n");
    const StartupResult result = StartUp(state, engine);
    EXPECT_TRUE(result.bAskTranslator);
    EXPECT_TRUE(result.failures.empty());
    EXPECT_EQ(state.m_bToTraditional, 1);
}

}  // namespace
