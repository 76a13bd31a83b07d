// The passes over Windows programs by their structure: only interface fields change, each within
// its bounds with its access key, punctuation, tab text and fill; everything the program needs to
// keep working stays; a program that does not read is refused; the checksum follows the change.
// And what every walk keeps: placeholders, and the options a listing was made with.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "BatchPass.h"
#include "FileError.h"
#include "ManualCommands.h"
#include "PeImage.h"
#include "ProgramCheck.h"
#include "RecordingDisplay.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "TranslationFile.h"
#include "WriteBack.h"

namespace fs = std::filesystem;

namespace {

const std::string kEnd(2, '\0');

std::string Units16(std::u16string_view text) {
    std::string bytes;
    for (const char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

bool Holds(const std::string& file, std::u16string_view text) {
    return file.find(Units16(text)) != std::string::npos;
}

class StructurePass : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kSelfCheck)) {
            GTEST_SKIP() << "no mingw-w64 tools to build the test programs";
        }
        ApplyStartupDefaults(state);
        state.m_bWholeSentence = 1;
        // Texts with blanks are translated word by word.
        engine.m_strMainDict = PreparedDictionary(
            {"[FILE=" + Big5("檔案"), "[OPEN=" + Big5("開啟"), "[EDIT=" + Big5("編輯"),
             "[CANCEL=" + Big5("取消"), "[DOCUMENT=" + Big5("文件"), "[OPTIONS=" + Big5("選項"),
             "[SOFTWARE=" + Big5("軟體"), "[SETTINGS=" + Big5("設定"), "[FONTS=" + Big5("字型"),
             "[NAME=" + Big5("名稱"), "[SAVE=" + Big5("儲存"), "[AS=" + Big5("為"),
             "[UNTITLED=" + Big5("未命名")});
    }
    // The program copied into the scratch folder and translated by the batch run.
    std::string Translated(const std::string& program, const std::string& name = "app.exe") {
        WriteFileBytes(dir / name, ReadFileBytes(program));
        state.m_astrFiles[0] = dir / name;
        state.m_nFileCount = 1;
        RunBatch(state, engine, display);
        return ReadFileBytes(dir / name);
    }

    const std::string kSelfCheck = VOKRA_TEST_PROGRAMS "/selfcheck.exe";
    CTempDir dir;
    AppState state;
    CTranslationEngine engine;
    CRecordingDisplay display{state};
};

TEST_F(StructurePass, OnlyInterfaceFieldsChangeAndTheyKeepKeysTabsPunctuationAndFill) {
    const std::string original = ReadFileBytes(kSelfCheck);
    const std::string translated = Translated(kSelfCheck);
    ASSERT_EQ(translated.size(), original.size());

    // Nothing the check holds against the translation: every change lies in a field, string
    // tables read as before, the header checksum matches.
    const ProgramCheckResult check =
        CheckTranslation(reinterpret_cast<const unsigned char*>(original.data()),
                         static_cast<std::int64_t>(original.size()),
                         reinterpret_cast<const unsigned char*>(translated.data()),
                         static_cast<std::int64_t>(translated.size()));
    EXPECT_EQ(check.nProblems, 0) << FormatCheck(check);
    EXPECT_GT(check.changes.size(), 5u);
    for (const CheckedChange& change : check.changes) {
        EXPECT_TRUE(change.strWhere.find("English") != std::string::npos ||
                    change.strWhere.find("section") == 0 || change.strWhere == "header checksum")
            << change.strWhere;
    }

    // "檔案(&F)" is one unit too long for "&File": the key follows the text; the fill comes last.
    EXPECT_TRUE(Holds(translated, u"檔案&F "));
    EXPECT_TRUE(Holds(translated, u"開啟(&O)…\tCtrl+O "));
    EXPECT_TRUE(Holds(translated, u"儲存為(&A)... "));
    EXPECT_TRUE(Holds(translated, u"文件選項            "));
    EXPECT_TRUE(Holds(translated, u"取消    "));
    // A data text that reads as a sentence is translated; names, paths and formats are not.
    EXPECT_TRUE(Holds(translated, u"Do you want to 儲存the changes?"));
    for (const std::u16string_view kept :
         {u"edit", u"Software\\Vokra Test\\Settings", u"Fonts", u"Times New Roman", u"Name%u",
          u"MS Shell Dlg", u"&Datei", u"&Neu\tStrg+N"}) {
        EXPECT_TRUE(Holds(translated, kept)) << std::string(kept.begin(), kept.end());
    }
}

TEST_F(StructurePass, AppendedDataStaysAndASignedProgramIsReported) {
    const std::string payload = VOKRA_TEST_PROGRAMS "/selfcheck-payload.exe";
    const std::string original = ReadFileBytes(payload);
    const std::string translated = Translated(payload);
    const PeReadResult read = ReadPeImage(reinterpret_cast<const unsigned char*>(original.data()),
                                          static_cast<std::int64_t>(original.size()));
    ASSERT_EQ(read.kind, EPeKind::Pe);
    const auto end = static_cast<std::size_t>(read.layout.nEndOfSections);
    ASSERT_LT(end, original.size());
    EXPECT_TRUE(translated.substr(end) == original.substr(end));
    EXPECT_TRUE(display.notices.empty());

    Translated(VOKRA_TEST_PROGRAMS "/selfcheck-signed.exe", "signed.exe");
    ASSERT_EQ(display.notices.size(), 1u);
    EXPECT_NE(display.notices[0].find("signed.exe"), std::string::npos);
    EXPECT_NE(display.notices[0].find("簽章"), std::string::npos);
}

TEST_F(StructurePass, AProgramThatDoesNotReadIsRefusedUntouchedUnlessTheWholeFileWalkIsChosen) {
    // Cut inside its section table: it claims to be a program, but its structure does not read.
    const std::string cut = ReadFileBytes(kSelfCheck).substr(0, 400) + Units("Open") + kEnd;
    WriteFileBytes(dir / "cut.exe", cut);
    state.m_astrFiles[0] = dir / "cut.exe";
    state.m_nFileCount = 1;
    try {
        RunBatch(state, engine, display);
        ADD_FAILURE() << "a broken program was translated";
    } catch (const CFileError& error) {
        EXPECT_EQ(error.Cause(), EFileErrorCause::BrokenProgram);
        EXPECT_EQ(error.FileName(), dir / "cut.exe");
    }
    EXPECT_EQ(ReadFileBytes(dir / "cut.exe"), cut);
    EXPECT_FALSE(fs::exists(dir / "cut.bak"));
    EXPECT_EQ(state.m_bBusy, 0);

    state.m_bWholeFileWalk = 1;
    RunBatch(state, engine, display);
    EXPECT_TRUE(Holds(ReadFileBytes(dir / "cut.exe"), u"開啟"));
}

TEST(ProgramCheck, FlagsWhatBreaksAProgram) {
    const std::string program = VOKRA_TEST_PROGRAMS "/selfcheck.exe";
    if (!fs::exists(program)) {
        GTEST_SKIP() << "no mingw-w64 tools to build the test programs";
    }
    const std::string original = ReadFileBytes(program);
    const auto check = [&original](const std::string& changed) {
        return CheckTranslation(reinterpret_cast<const unsigned char*>(original.data()),
                                static_cast<std::int64_t>(original.size()),
                                reinterpret_cast<const unsigned char*>(changed.data()),
                                static_cast<std::int64_t>(changed.size()));
    };
    const auto replaced = [&original](std::u16string_view from, std::u16string_view to) {
        std::string changed = original;
        const std::size_t at = changed.find(Units16(from));
        EXPECT_NE(at, std::string::npos);
        changed.replace(at, 2 * to.size(), Units16(to));
        return changed;
    };
    const auto problems = [](const ProgramCheckResult& result) {
        std::string all;
        for (const CheckedChange& change : result.changes) {
            for (const std::string& problem : change.problems) {
                all += problem + ";";
            }
        }
        for (const std::string& problem : result.fileProblems) {
            all += problem + ";";
        }
        return all;
    };

    EXPECT_EQ(check(original).nProblems, 0);
    EXPECT_EQ(check(original).changes.size(), 0u);
    // The checksum is flagged on its own when it no longer matches.
    EXPECT_NE(problems(check(replaced(u"&File", u"檔案&F "))).find("checksum"), std::string::npos);
    EXPECT_NE(problems(check(replaced(u"&File", u"檔案   "))).find("access key lost"),
              std::string::npos);
    EXPECT_NE(problems(check(replaced(u"Name%u", u"名稱  u"))).find("outside"), std::string::npos);
    EXPECT_NE(problems(check(replaced(u"edit", u"編輯  "))).find("outside"), std::string::npos);
    // A string-table entry's length unit taken over by a translation.
    const std::string entry = "File does not exist.";
    std::string broken = original;
    const std::size_t text = broken.find(Units(entry));
    ASSERT_NE(text, std::string::npos);
    broken.replace(text - 2, 4, Units16(u"檔案"));
    EXPECT_NE(problems(check(broken)).find("string table"), std::string::npos);
}

// --- What every walk keeps ------------------------------------------------------------------

// A translation that loses or changes a placeholder is never laid in, in the batch run and in the
// write-back of the user's own listing, which says so.
TEST(EveryWalk, ATranslationThatLosesAPlaceholderIsNeverLaidIn) {
    AppState state;
    ApplyStartupDefaults(state);
    state.m_bStopped = 0;
    CTranslationEngine engine;
    const std::string image = Units("'%s' could not be found.") + kEnd + Units("(unknown %d)") +
                              kEnd + Units("Error %1!d!: %2") + kEnd;
    const std::string listing = "['%s' could not be found.=" + Big5("未找到") +
                                "\r\n[(unknown %d)=" + Big5("(未知 %d)") +
                                "\r\n[Error %1!d!: %2=" + Big5("%2: 錯誤 %1!d!") + "\r\n";

    state.m_bPlugInDict = 1;
    state.m_bAlsoDefaultDict = 0;
    engine.m_strPlugInDict = PreparedDictionary({"['%s' could not be found.=" + Big5("未找到")});
    std::string translated = image;
    CRecordingDisplay batch(state);
    ASSERT_TRUE(TranslateImage(state, engine, batch,
                               reinterpret_cast<unsigned char*>(translated.data()),
                               static_cast<std::int64_t>(translated.size())));
    EXPECT_EQ(translated, image);
    EXPECT_EQ(state.m_nTranslatedCount, 0);

    // The listing was made with the plug-in scanner, which takes these texts whole.
    state.m_bStopped = 0;
    LoadEditedDictionary(engine, listing);
    std::string written = image;
    CRecordingDisplay write(state);
    ASSERT_TRUE(WriteBackImage(state, engine, write,
                               reinterpret_cast<unsigned char*>(written.data()),
                               static_cast<std::int64_t>(written.size())));
    const std::size_t first = Units("'%s' could not be found.").size();
    EXPECT_EQ(written.substr(0, first), image.substr(0, first));
    EXPECT_TRUE(Holds(written, u"(未知 %d)"));
    EXPECT_TRUE(Holds(written, u"%2: 錯誤 %1!d!"));  // numbered ones may move
    ASSERT_EQ(write.notices.size(), 1u);
    EXPECT_NE(write.notices[0].find("'%s' could not be found."), std::string::npos);
}

TEST(ListingOptions, AreRecordedByTranslateAndReadBackWithTheirDefaults) {
    AppState state;
    ApplyStartupDefaults(state);
    state.m_bPlugInDict = 1;
    state.m_bAlsoDefaultDict = 1;
    state.m_bIgnoreCase = 0;
    state.m_abCharFilter[9] = 0;
    state.m_bWholeFileWalk = 1;
    const ListingOptions made = ListingOptionsOf(state);
    const ListingOptions read =
        ReadListingOptions("//==\r\n// header\r\n" + ListingOptionsLine(made) + "[Open=x\r\n");
    EXPECT_EQ(read.bPlugInDict, 1);
    EXPECT_EQ(read.bAlsoDefaultDict, 1);
    EXPECT_EQ(read.bIgnoreCase, 0);
    EXPECT_EQ(read.abCharFilter, made.abCharFilter);
    EXPECT_EQ(read.bWholeFileWalk, 1);
    // A listing from before: plug-in off, the walk by the file's kind; an entry never counts.
    const ListingOptions old =
        ReadListingOptions("//==\r\n// header\r\n[// options: plug-in 1 walk whole-file=x\r\n");
    EXPECT_EQ(old.bPlugInDict, 0);
    EXPECT_EQ(old.bWholeFileWalk, 0);
}

// Write finds the runs Translate listed, whatever the window's options are when it runs: a text
// only the plug-in scanner takes whole is written back.
TEST(ListingOptions, WriteFindsTheRunsTranslateListed) {
    CTempDir dir;
    AppState state;
    ApplyStartupDefaults(state);
    CTranslationEngine engine;
    const std::string program = Units("Open (file)") + kEnd + Units("Cancel") + kEnd;
    std::string listing = "//==\r\n";
    state.m_bPlugInDict = 1;
    state.m_bAlsoDefaultDict = 1;
    listing += ListingOptionsLine(ListingOptionsOf(state));
    listing += "[Open (file)=" + Big5("開啟檔案") + "\r\n[Cancel=" + Big5("取消") + "\r\n";
    state.m_bPlugInDict = 0;  // the window's option now
    state.m_bAlsoDefaultDict = 0;

    UseListingOptions(ReadListingOptions(listing), state);
    state.m_bStopped = 0;
    LoadEditedDictionary(engine, listing);
    std::string image = program;
    CRecordingDisplay display(state);
    ASSERT_TRUE(WriteBackImage(state, engine, display,
                               reinterpret_cast<unsigned char*>(image.data()),
                               static_cast<std::int64_t>(image.size())));
    EXPECT_EQ(state.m_nTranslatedCount, 2);
    EXPECT_TRUE(Holds(image, u"開啟檔案"));
}

}  // namespace
