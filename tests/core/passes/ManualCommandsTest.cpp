// Translate and Write without the window: the translation text file byte for byte, the write-back,
// Stop, the extension choices, the editor and the patch folder.
#include "ManualCommands.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "FileError.h"
#include "RecordingDisplay.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "Timing.h"

namespace {

class CFakeManualWindow : public IManualWindow {
  public:
    int BackupExtIndex() const override { return backup; }
    int TranslationExtIndex() const override { return translation; }
    void SetGroupCaptions(const char* progress, const char* count) override {
        captions.emplace_back(progress, count);
    }
    void OpenEditor(const std::string& fileName) override { editors.push_back(fileName); }

    int backup = 0;
    int translation = 0;
    std::vector<std::pair<std::string, std::string>> captions;
    std::vector<std::string> editors;
};

const std::string kEnd(2, '\0');

class ManualCommands : public ::testing::Test {
  protected:
    ManualCommands() : cwd(dir.Path()), display(state) {
        ApplyStartupDefaults(state);
        state.m_bToTraditional = 1;
        state.m_bOpenInNotepad = 0;
        CopyText(state.m_szProgramDir, dir.Path());
        CopyText(state.m_szTranslatorName, "Ann");
        engine.m_strMainDict = PreparedDictionary({"[OPEN=" + kOpenZh, "[FILE=" + kFileZh});
        std::filesystem::create_directory(dir / "files");
    }
    ~ManualCommands() override { SetMessagePump(nullptr); }

    void Choose(const std::vector<std::string>& names) {
        state.m_nManualFileCount = static_cast<int>(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            state.m_astrManualFiles[i] = dir / ("files/" + names[i]);
        }
        CScopedCurrentDir here(dir / "files");
    }
    void Translate() {
        CScopedCurrentDir here(dir / "files");
        RunTranslateCommand(state, engine, display, window);
    }
    void Write() {
        CScopedCurrentDir here(dir / "files");
        RunWriteCommand(state, engine, display, window, buffers);
    }
    // What a listing begins with: the header and the line of the options it was made with.
    std::string Header(const std::string& name, const std::string& ext) {
        SplitPath(dir / ("files/" + name + ext), state);
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return TranslationFileHeader(state, window.backup, window.translation, local.tm_year + 1900,
                                     local.tm_mon + 1, local.tm_mday) +
               ListingOptionsLine(ListingOptionsOf(state));
    }

  public:  // for the pump functions
    CTempDir dir;
    CScopedCurrentDir cwd;
    AppState state;
    CTranslationEngine engine;
    CRecordingDisplay display;
    CFakeManualWindow window;
    CWriteBuffers buffers;
};

TEST_F(ManualCommands, HeaderHasTwelveLinesInTheDictionaryCode) {
    SplitPath("/data/app.exe", state);
    const std::string header = TranslationFileHeader(state, 3, 7, 2026, 3, 9);
    const std::string colon = "\xA1\x47";
    const std::string expected =
        "//" + std::string(81, '=') + "\r\n" + "// VOKRA  \xC2\xBD\xC4\xB6\xA6\x72\xA8\xE5 \r\n" +
        "// \xAD\xEC\xB8\xF4\xAE\x7C" + colon + "/data/\r\n" + "// \xAD\xEC\xA4\xE5\xC0\xC9" +
        colon + "app.exe\r\n" + "// \xB3\xC6\xA5\xF7\xC0\xC9" + colon + "app.B03\r\n" +
        "// \xC2\xBD\xC4\xB6\xC0\xC9" + colon + "app.T07\r\n" +
        "// \xC2\xBD\xC4\xB6\xAB\xAC\xBA\x41" + colon + " BIG5 \r\n" +
        "// \xC2\xBD\xC4\xB6\xA7\x40\xAA\xCC" + colon + " Ann\r\n" +
        "// \xA7\x40\xAA\xCC\xBA\xF4\xA7\x7D" + colon + " \r\n" +
        "// \xA7\x40\xAA\xCC\xAB\x48\xBD\x63" + colon + " \r\n" +
        "// \xC2\xBD\xC4\xB6\xA4\xE9\xB4\xC1" + colon + " 2026/ 3/ 9 \r\n" + "//" +
        std::string(92, '=') + "\r\n";
    EXPECT_EQ(header, expected);

    state.m_bToTraditional = 0;
    state.m_bToSimplified = 1;
    EXPECT_NE(TranslationFileHeader(state, 0, 0, 2026, 12, 31).find(colon + " GB \r\n"),
              std::string::npos);
    state.m_bToSimplified = 0;
    EXPECT_NE(TranslationFileHeader(state, 0, 0, 2026, 12, 31).find(colon + " \xB5\x4C\r\n"),
              std::string::npos);
}

TEST_F(ManualCommands, TranslateListsEveryTranslatedOccurrenceInFileOrder) {
    // "x" is one character, "Zzz" is refused, "Abc" gets a translation longer than its run.
    engine.m_strMainDict =
        PreparedDictionary({"[OPEN=" + kOpenZh, "[FILE=" + kFileZh, "[ABC=" + kOpenZh + kFileZh});
    WriteFileBytes(dir / "files/app.exe", Units("Open") + kEnd + Units("x") + kEnd + Units("Zzz") +
                                              kEnd + Units("Open File") + kEnd + Units("Abc") +
                                              kEnd + Units("Open") + kEnd);
    WriteFileBytes(dir / "files/app.TXT", std::string(10000, 'o'));  // emptied first
    Choose({"app.exe"});
    Translate();

    const std::string listing = ReadFileBytes(dir / "files/app.TXT");
    EXPECT_EQ(listing, Header("app", ".exe") + "[Open=" + kOpenZh + "\r\n[Open File=" + kOpenZh +
                           kFileZh + " \r\n[Open=" + kOpenZh + "\r\n");
    EXPECT_EQ(state.m_nFoundCount, 5u);
    EXPECT_EQ(state.m_nTranslatedCount, 3);
    // The ratio counts the run's own translation here.
    EXPECT_EQ(display.ratios, (std::vector<unsigned>{100, 66, 60}));
    EXPECT_EQ(window.captions.front(),
              std::make_pair(std::string("翻譯進度"), std::string("翻譯句數")));
    EXPECT_EQ(display.status.back().second, "狀態: 翻譯完成   ");
    // The program file itself is never changed.
    EXPECT_EQ(state.m_bStopped, 1);
    EXPECT_TRUE(window.editors.empty());
}

TEST_F(ManualCommands, ChosenExtensionsNameTheFilesAndTheEditorGetsTheListingBesideTheProgram) {
    WriteFileBytes(dir / "files/VIEWER.EXE", Units("File") + kEnd);
    Choose({"VIEWER.EXE"});
    window.backup = 3;
    window.translation = 7;
    state.m_bOpenInNotepad = 1;
    Translate();
    EXPECT_TRUE(std::filesystem::exists(dir / "files/VIEWER.T07"));
    EXPECT_EQ(window.editors, std::vector<std::string>{dir / "files/VIEWER.T07"});

    Write();
    EXPECT_EQ(ReadFileBytes(dir / "files/VIEWER.B03"), Units("File") + kEnd);
    EXPECT_EQ(ReadFileBytes(dir / "files/VIEWER.EXE"),
              std::string("\x94\x6A\x48\x68\x20\x00\x20\x00", 8) + kEnd);
}

TEST_F(ManualCommands, EmptyProgramFileGivesTheHeaderOnly) {
    WriteFileBytes(dir / "files/e.dll", "");
    Choose({"e.dll"});
    Translate();
    EXPECT_EQ(ReadFileBytes(dir / "files/e.TXT"), Header("e", ".dll"));
}

TEST_F(ManualCommands, WriteLaysInTheEditedTranslations) {
    const std::string original = Units("Open") + kEnd + Units("OK") + kEnd + Units("A-A") + kEnd +
                                 Units("Exit") + kEnd + Units("Open") + kEnd;
    WriteFileBytes(dir / "files/app.exe", original);
    Choose({"app.exe"});
    // As edited by hand: OK gets a one-byte character that needs more room than the run has,
    // A-A has too few letter changes, Exit was added, exit in the wrong case is never found.
    WriteFileBytes(dir / "files/app.TXT", "// header\r\n[Open=" + kFileZh + "\r\n[OK=OK" +
                                              kOpenZh.substr(0, 2) + "\r\n[A-A=" + kOpenZh +
                                              "\r\n[exit=" + kSaveZh + "\r\n[Exit=" + kOpenZh +
                                              "\r\n");
    Write();

    EXPECT_EQ(ReadFileBytes(dir / "files/app.BAK"), original);
    const std::string file("\x94\x6A\x48\x68\x20\x00\x20\x00", 8);
    EXPECT_EQ(ReadFileBytes(dir / "files/app.exe"),
              std::string(file.data(), 8) + kEnd + Units("OK") + kEnd + Units("A-A") + kEnd +
                  std::string("\x8B\x95\x5F\x55\x20\x00\x20\x00", 8) + kEnd +
                  std::string(file.data(), 8) + kEnd);
    EXPECT_EQ(state.m_nFoundCount, 5u);
    EXPECT_EQ(state.m_nTranslatedCount, 3);
    EXPECT_EQ(display.status.back().second, "狀態: 寫入完成   ");
}

TEST_F(ManualCommands, WriteWithoutItsTranslationFileStopsAfterTheBackup) {
    WriteFileBytes(dir / "files/app.exe", Units("Open") + kEnd);
    Choose({"app.exe"});
    try {
        Write();
        FAIL() << "no file error";
    } catch (const CFileError& error) {
        EXPECT_EQ(error.Text(), "沒有找到 " + dir / "files/app.TXT" + " .");
    }
    EXPECT_EQ(ReadFileBytes(dir / "files/app.BAK"), Units("Open") + kEnd);
    EXPECT_EQ(ReadFileBytes(dir / "files/app.exe"), Units("Open") + kEnd);
    EXPECT_EQ(state.m_bStopped, 1);  // the window is idle again
}

ManualCommands* g_pTest = nullptr;
int StopAtTheSecondRun() {
    if (g_pTest->state.m_bStopped == 0 && g_pTest->state.m_nFoundCount == 2) {
        StopManualPass(g_pTest->state, g_pTest->display, g_pTest->buffers);
    }
    return 1;
}

TEST_F(ManualCommands, StopLeavesAValidListingAndAnUnchangedProgramFile) {
    std::string image;
    for (int i = 0; i < 6; ++i) {
        image += Units("Open") + kEnd;
    }
    WriteFileBytes(dir / "files/app.exe", image);
    Choose({"app.exe"});
    g_pTest = this;
    SetMessagePump(StopAtTheSecondRun, 1, 0);
    Translate();
    EXPECT_EQ(ReadFileBytes(dir / "files/app.TXT"),
              Header("app", ".exe") + "[Open=" + kOpenZh + "\r\n[Open=" + kOpenZh + "\r\n");

    Write();
    EXPECT_EQ(ReadFileBytes(dir / "files/app.exe"), image);
    EXPECT_EQ(ReadFileBytes(dir / "files/app.BAK"), image);
    EXPECT_EQ(buffers.m_pWriteImage, nullptr);
}

TEST_F(ManualCommands, PatchFolderHoldsCopiesOfTheListingAndTheCompanion) {
    WriteFileBytes(dir / "files/tool.exe", Units("Open") + kEnd);
    WriteFileBytes(dir / "Mender.exe", "MZ companion");
    Choose({"tool.exe"});
    window.translation = 5;
    state.m_bMakePatch = 1;
    Translate();
    EXPECT_EQ(ReadFileBytes(dir / "tool/tool.txt"), ReadFileBytes(dir / "files/tool.T05"));
    EXPECT_EQ(ReadFileBytes(dir / "tool/Mender.exe"), "MZ companion");

    // Without the companion the command ends with its file error, in the running state.
    std::filesystem::remove(dir / "Mender.exe");
    EXPECT_THROW(Translate(), CFileError);
    EXPECT_EQ(state.m_bStopped, 0);
}

TEST(ProgressMarker, MovesBackAndForthInItsField) {
    CProgressMarker translate(EMarker::Translate);
    EXPECT_EQ(translate.Step(), "  >" + std::string(33, ' '));
    EXPECT_EQ(translate.Step(), "  >>" + std::string(32, ' '));
    std::string field;
    for (int i = 0; i < 29; ++i) {
        field = translate.Step();
    }
    EXPECT_EQ(field, std::string(30, ' ') + ">>>" + std::string(3, ' '));  // at 32, the end
    EXPECT_EQ(translate.Step(), std::string(31, ' ') + "<" + std::string(4, ' '));

    CProgressMarker write(EMarker::Write);
    for (int i = 0; i < 6; ++i) {
        field = write.Step();
    }
    EXPECT_EQ(field, "   )+++>" + std::string(28, ' '));  // at 7
}

}  // namespace

namespace {

// A Windows program through Translate and Write: the listing names each field's text without its
// access key and punctuation, and Write puts the key, the punctuation and the fill back in place.
TEST_F(ManualCommands, AWindowsProgramIsListedAndWrittenByItsStructure) {
    const std::string program = VOKRA_TEST_PROGRAMS "/selfcheck.exe";
    if (!std::filesystem::exists(program)) {
        GTEST_SKIP() << "no mingw-w64 tools to build the test programs";
    }
    const std::string original = ReadFileBytes(program);
    WriteFileBytes(dir / "files/app.exe", original);
    Choose({"app.exe"});
    Translate();
    const std::string listing = ReadFileBytes(dir / "files/app.TXT");
    EXPECT_NE(listing.find("// options: plug-in 0 "), std::string::npos);
    EXPECT_NE(listing.find(" walk structure\r\n"), std::string::npos);
    EXPECT_NE(listing.find("\r\n[File=" + kFileZh + "\r\n"), std::string::npos);
    EXPECT_NE(listing.find("\r\n[Open=" + kOpenZh + "\r\n"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir / "files/app.exe"), original);

    Write();
    const std::string written = ReadFileBytes(dir / "files/app.exe");
    ASSERT_EQ(written.size(), original.size());
    const auto units = [](std::u16string_view text) {
        std::string bytes;
        for (const char16_t c : text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
        return bytes;
    };
    EXPECT_NE(written.find(units(u"檔案&F ")), std::string::npos);
    EXPECT_NE(written.find(units(u"開啟(&O)…\tCtrl+O ")), std::string::npos);
    // Only fields changed: the class name and the German menu are as they were.
    EXPECT_NE(written.find(units(u"edit")), std::string::npos);
    EXPECT_NE(written.find(units(u"&Datei")), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir / "files/app.BAK"), original);
}

}  // namespace
