#include "BatchPass.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "FileError.h"
#include "FileOps.h"
#include "RecordingDisplay.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "Texts.h"
#include "Timing.h"

namespace {

// Files in a scratch folder that is the current directory, as a Load leaves it.
class BatchPass : public ::testing::Test {
  protected:
    BatchPass() : cwd(dir.Path()), display(state) {
        ApplyStartupDefaults(state);
        engine.m_strMainDict =
            PreparedDictionary({"[OPEN=" + kOpenZh, "[FILE=" + kFileZh, "[SAVE=" + kSaveZh});
    }
    ~BatchPass() override { SetMessagePump(nullptr); }

    void Choose(const std::vector<std::string>& names) {
        state.m_nFileCount = static_cast<int>(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            state.m_astrFiles[i] = dir / names[i];
        }
    }

    CTempDir dir;
    CScopedCurrentDir cwd;
    AppState state;
    CTranslationEngine engine;
    CRecordingDisplay display;
};

const std::string kEnd(2, '\0');

TEST_F(BatchPass, TranslatesARunInPlaceAndKeepsABackup) {
    const std::string original = "MZ" + Units("Open") + kEnd + "\x01\x02";
    WriteFileBytes(dir / "sample.exe", original);
    Choose({"sample.exe"});

    RunBatch(state, engine, display);

    EXPECT_EQ(ReadFileBytes(dir / "sample.exe"),
              "MZ" + std::string("\x8B\x95\x5F\x55\x20\x00\x20\x00", 8) + kEnd + "\x01\x02");
    EXPECT_EQ(ReadFileBytes(dir / "sample.bak"), original);
    EXPECT_EQ(state.m_nFoundCount, 1u);
    EXPECT_EQ(state.m_nTranslatedCount, 1);
    EXPECT_EQ(display.ratios, std::vector<unsigned>{100});
    EXPECT_EQ(display.sourceLines, (std::vector<std::pair<int, std::string>>{{0, "Open"}}));
    EXPECT_EQ(display.translationLines, (std::vector<std::pair<int, std::string>>{{0, kOpenZh}}));
    EXPECT_EQ(display.titles, std::vector<std::string>{" VOKRA v2.1  - [1/1] sample.exe"});
    EXPECT_EQ(display.fileNames, std::vector<std::string>{dir / "sample.exe"});
    EXPECT_EQ(display.running, (std::vector<bool>{true, false}));
    EXPECT_EQ(display.status.back(), std::make_pair(4, std::string(texts::kPaneStateDone)));
    EXPECT_EQ(state.m_bStopped, 1);
    EXPECT_EQ(state.m_bBusy, 0);
    EXPECT_EQ(state.m_pImage, nullptr);
    EXPECT_EQ(state.m_nFileIndex, 1);
}

TEST_F(BatchPass, EmptyFileIsBackedUpAndWrittenWithNothingExamined) {
    WriteFileBytes(dir / "empty.dll", "");
    Choose({"empty.dll"});
    RunBatch(state, engine, display);
    EXPECT_EQ(ReadFileBytes(dir / "empty.dll"), "");
    EXPECT_EQ(ReadFileBytes(dir / "empty.bak"), "");
    EXPECT_TRUE(display.progress.empty());
    EXPECT_EQ(display.status.back().second, texts::kPaneStateDone);
}

TEST_F(BatchPass, RatioLeavesOutTheCurrentRunsOwnTranslation) {
    WriteFileBytes(dir / "a.exe", Units("Open") + kEnd + Units("File") + kEnd);
    Choose({"a.exe"});
    RunBatch(state, engine, display);
    EXPECT_EQ(display.ratios, (std::vector<unsigned>{100, 50}));
    EXPECT_EQ(display.found, (std::vector<unsigned>{1, 2}));
    EXPECT_EQ(display.translated, (std::vector<int>{1, 2}));
}

TEST_F(BatchPass, OnlyRunsOfTwoCharactersAndTranslationsThatFitAreCountedAndWritten) {
    engine.m_strMainDict = PreparedDictionary({"[AB=" + kOpenZh + kFileZh, "[OPEN=" + kOpenZh});
    // "x" is one character; "Ab" (4 bytes) gets a translation of 8 bytes; "Open" fits.
    const std::string original = Units("x") + kEnd + Units("Ab") + kEnd + Units("Open") + kEnd;
    WriteFileBytes(dir / "a.exe", original);
    Choose({"a.exe"});
    RunBatch(state, engine, display);

    EXPECT_EQ(state.m_nFoundCount, 2u);
    EXPECT_EQ(state.m_nTranslatedCount, 1);
    const std::string result = ReadFileBytes(dir / "a.exe");
    EXPECT_EQ(result.substr(0, 10), original.substr(0, 10));
    EXPECT_EQ(result.substr(10, 8), std::string("\x8B\x95\x5F\x55\x20\x00\x20\x00", 8));
    // Runs start only at even offsets, and the one-character run still counts as a run found.
    EXPECT_EQ(display.runs, (std::vector<std::pair<std::int64_t, int>>{{0, 2}, {4, 4}, {10, 8}}));
}

// The record of every run a report is made from: what the window counts, and what became of each.
TEST_F(BatchPass, EveryRunFoundReachesTheSinkWithWhatBecameOfIt) {
    class CRecords : public IRunSink {
      public:
        void Record(const RunRecord& run) override {
            records.push_back(
                {run.nPos, std::string(run.english), std::string(run.translation), run.status});
        }
        struct Copy {
            std::int64_t pos;
            std::string english, translation;
            ERunStatus status;
            bool operator==(const Copy&) const = default;
        };
        std::vector<Copy> records;
    } sink;
    const std::string tooLong = kFileZh + kOpenZh + kSaveZh;
    engine.m_strMainDict = PreparedDictionary({"[FILE=" + tooLong, "[OPEN=" + kOpenZh});
    WriteFileBytes(dir / "a.exe", Units("x") + kEnd + Units("File") + kEnd + Units("Open") + kEnd +
                                      Units("Zzz") + kEnd);
    Choose({"a.exe"});
    FileDriverOptions options;
    options.pSink = &sink;
    RunBatch(state, engine, display, options);

    using S = ERunStatus;
    EXPECT_EQ(sink.records, (std::vector<CRecords::Copy>{{4, "File", tooLong, S::DoesNotFit},
                                                         {14, "Open", kOpenZh, S::Translated},
                                                         {24, "Zzz", "", S::NoEntry}}));
    EXPECT_EQ(sink.records.size(), state.m_nFoundCount);
}

TEST_F(BatchPass, SinglePhraseAndPlugInModesChooseTheirScannersAndDictionaries) {
    WriteFileBytes(dir / "a.exe", Units("Open File") + kEnd);
    Choose({"a.exe"});
    state.m_bWholeSentence = 0;
    RunBatch(state, engine, display);
    // Each word is a run of its own; the blank between them belongs to no run.
    EXPECT_EQ(display.runs, (std::vector<std::pair<std::int64_t, int>>{{0, 8}, {10, 8}}));
    EXPECT_EQ(ReadFileBytes(dir / "a.exe"), std::string("\x8B\x95\x5F\x55 \0 \0 \0", 10) +
                                                std::string("\x94\x6A\x48\x68 \0 \0", 8) + kEnd);

    // The plug-in dictionary comes first and takes the whole phrase; where it has nothing, the
    // main dictionary still translates, unless the user turned that off.
    state.m_bWholeSentence = 1;
    state.m_bPlugInDict = 1;
    engine.m_strPlugInDict = PreparedDictionary({"[SAVE ALL=" + kSaveZh});
    WriteFileBytes(dir / "b.exe", Units("Save all") + kEnd + Units("Open") + kEnd);
    Choose({"b.exe"});
    RunBatch(state, engine, display);
    const std::string b = ReadFileBytes(dir / "b.exe");
    EXPECT_EQ(b.substr(0, 4), "\x32\x51\x58\x5B");  // 儲 U+5132, 存 U+5B58
    EXPECT_EQ(b.substr(18, 4), "\x8B\x95\x5F\x55");

    state.m_bAlsoDefaultDict = 0;
    WriteFileBytes(dir / "c.exe", Units("Open") + kEnd);
    Choose({"c.exe"});
    RunBatch(state, engine, display);
    EXPECT_EQ(ReadFileBytes(dir / "c.exe"), Units("Open") + kEnd);
}

// Stop pressed while the second of three files is processed.
AppState* g_pStopState = nullptr;
CRecordingDisplay* g_pStopDisplay = nullptr;
int StopDuringSecondFile() {
    if (g_pStopState->m_nFileIndex == 1 && g_pStopState->m_bStopped == 0) {
        StopBatch(*g_pStopState, *g_pStopDisplay);
    }
    return 1;
}

TEST_F(BatchPass, StopAbandonsOnlyTheCurrentFile) {
    for (const char* name : {"one.exe", "two.exe", "three.exe"}) {
        WriteFileBytes(dir / name, Units("Open") + kEnd);
    }
    Choose({"one.exe", "two.exe", "three.exe"});
    g_pStopState = &state;
    g_pStopDisplay = &display;
    SetMessagePump(StopDuringSecondFile, 1, 0);

    RunBatch(state, engine, display);

    const std::string translated = std::string("\x8B\x95\x5F\x55\x20\x00\x20\x00", 8) + kEnd;
    EXPECT_EQ(ReadFileBytes(dir / "one.exe"), translated);
    EXPECT_EQ(ReadFileBytes(dir / "two.exe"), Units("Open") + kEnd);
    EXPECT_EQ(ReadFileBytes(dir / "two.bak"), Units("Open") + kEnd);
    EXPECT_EQ(ReadFileBytes(dir / "three.exe"), translated);
    EXPECT_EQ(state.m_bStopped, 1);
    EXPECT_EQ(state.m_bBusy, 0);
}

// The backup takes the name without extension; a file of that name that holds something else is
// never replaced: the backup goes to the next free name, and the user is told.
TEST_F(BatchPass, BackupTakesTheNameWithoutExtensionAndNeverReplacesAnotherFile) {
    WriteFileBytes(dir / "NOTEPAD.EXE", Units("File") + kEnd);
    WriteFileBytes(dir / "NOTEPAD.bak", std::string(100, 'x'));
    Choose({"NOTEPAD.EXE"});
    RunBatch(state, engine, display);
    EXPECT_EQ(ReadFileBytes(dir / "NOTEPAD.bak"), std::string(100, 'x'));
    EXPECT_EQ(ReadFileBytes(dir / "NOTEPAD.B01"), Units("File") + kEnd);
    EXPECT_EQ(display.notices,
              std::vector<std::string>{dir / "NOTEPAD.bak" + " 已存放其他內容, 備份改存為 " +
                                       dir / "NOTEPAD.B01" + "."});

    // A backup extension that makes the backup's name the file's own: the file is never its own
    // backup, and the one that already holds it serves.
    CopyText(state.m_szBackupExt, ".EXE");
    WriteFileBytes(dir / "NOTEPAD.EXE", Units("File") + kEnd);
    RunBatch(state, engine, display);
    EXPECT_EQ(ReadFileBytes(dir / "NOTEPAD.EXE"),
              std::string("\x94\x6A\x48\x68\x20\x00\x20\x00", 8) + kEnd);
    EXPECT_EQ(ReadFileBytes(dir / "NOTEPAD.B01"), Units("File") + kEnd);
}

TEST_F(BatchPass, MissingFileEndsTheRunBeforeAnythingIsWritten) {
    WriteFileBytes(dir / "one.exe", Units("Open") + kEnd);
    WriteFileBytes(dir / "three.exe", Units("Open") + kEnd);
    Choose({"one.exe", "two.exe", "three.exe"});
    try {
        RunBatch(state, engine, display);
        FAIL() << "no file error";
    } catch (const CFileError& error) {
        EXPECT_EQ(error.Cause(), EFileErrorCause::FileNotFound);
        EXPECT_EQ(error.Text(), "沒有找到 " + (dir / "two.exe") + " .");
    }
    // The remaining file is not processed, no backup is made for the missing one, and the
    // window is left idle as its buttons show.
    EXPECT_EQ(ReadFileBytes(dir / "three.exe"), Units("Open") + kEnd);
    EXPECT_FALSE(FileExists(dir / "two.bak"));
    EXPECT_FALSE(FileExists(dir / "three.bak"));
    EXPECT_EQ(state.m_bStopped, 1);
    EXPECT_EQ(state.m_bBusy, 0);
    EXPECT_EQ(display.running, (std::vector<bool>{true, false}));
}

// The program file vanishes while its pass runs.
std::string g_strVanishing;
int DeleteFileDuringPass() {
    if (!g_strVanishing.empty()) {
        unlink(g_strVanishing.c_str());
        g_strVanishing.clear();
    }
    return 1;
}

TEST_F(BatchPass, FailedFinalWriteLeavesTheRunningStateUntilStop) {
    WriteFileBytes(dir / "gone.exe", Units("Open") + kEnd);
    Choose({"gone.exe"});
    g_strVanishing = dir / "gone.exe";
    SetMessagePump(DeleteFileDuringPass, 1, 0);

    EXPECT_THROW(RunBatch(state, engine, display), CFileError);
    EXPECT_FALSE(FileExists(dir / "gone.exe"));  // not created again by the write-back
    EXPECT_EQ(ReadFileBytes(dir / "gone.bak"), Units("Open") + kEnd);
    EXPECT_EQ(state.m_bStopped, 0);
    EXPECT_EQ(state.m_bBusy, 1);
    EXPECT_NE(state.m_pImage, nullptr);
    EXPECT_EQ(display.running.back(), true);

    StopBatch(state, display);
    EXPECT_EQ(state.m_pImage, nullptr);
    EXPECT_EQ(display.running.back(), false);
    EXPECT_EQ(state.m_bStopped, 1);
}

TEST_F(BatchPass, NoByteOutsideATranslatedRunChanges) {
    std::mt19937 rng(7);
    const char* const words[] = {"Open",       "File", "Save",  "Open File", "x",
                                 "Save As...", "OPEN", "&File", "Exit"};
    for (int round = 0; round < 50; ++round) {
        std::string image;
        while (image.size() < 4000) {
            switch (rng() % 3) {
                case 0:
                    image += Units(words[rng() % std::size(words)]);
                    break;
                case 1:
                    image += static_cast<char>(rng());
                    break;
                default:
                    image += kEnd;
                    break;
            }
        }
        state.m_bWholeSentence = static_cast<int>(rng() % 2);
        WriteFileBytes(dir / "r.exe", image);
        std::filesystem::remove(dir / "r.bak");
        Choose({"r.exe"});
        display.runs.clear();
        RunBatch(state, engine, display);

        const std::string result = ReadFileBytes(dir / "r.exe");
        ASSERT_EQ(result.size(), image.size());
        std::vector<bool> inRun(image.size(), false);
        for (const auto& [pos, bytes] : display.runs) {
            for (int i = 0; i < bytes; ++i) {
                inRun[static_cast<std::size_t>(pos + i)] = true;
            }
        }
        for (std::size_t i = 0; i < image.size(); ++i) {
            if (result[i] != image[i]) {
                ASSERT_TRUE(inRun[i]) << "byte " << i << " changed outside a run";
            }
        }
    }
}

}  // namespace
