// What a pass does with the user's files when things are not as they should be: links planted at
// backup names, backups of earlier runs, files named like their backups, other names of a file,
// another run on the same file, another program changing it, temporaries a killed run left.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "BatchPass.h"
#include "FileError.h"
#include "FileOps.h"
#include "ManualCommands.h"
#include "RecordingDisplay.h"
#include "RunTranslation.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "Timing.h"

namespace fs = std::filesystem;

namespace {

const std::string kEnd(2, '\0');
const std::string kOriginal = Units("Open") + kEnd;
const std::string kTranslated = std::string("\x8B\x95\x5F\x55\x20\x00\x20\x00", 8) + kEnd;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode;
}

class SafeWrites : public ::testing::Test {
  protected:
    SafeWrites() : display(state) {
        ApplyStartupDefaults(state);
        engine.m_strMainDict = PreparedDictionary({"[OPEN=" + kOpenZh});
    }
    ~SafeWrites() override {
        SetFileFaultHook(nullptr);
        SetMessagePump(nullptr);
    }

    // The batch run over `names` in the folder; the text of the file error that ended it, or "".
    std::string Batch(const std::vector<std::string>& names) {
        state.m_nFileCount = static_cast<int>(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            state.m_astrFiles[i] = dir / names[i];
        }
        try {
            RunBatch(state, engine, display);
        } catch (const CFileError& error) {
            return error.Text();
        }
        return "";
    }

    CTempDir dir;
    AppState state;
    CTranslationEngine engine;
    CRecordingDisplay display;
};

// A link planted at the backup name is never followed: its target keeps its contents, owner and
// set-user-ID bit, and the backup goes to the next name, with the original's mode.
TEST_F(SafeWrites, ALinkAtTheBackupNameIsPassedOverAndItsTargetIsLeftAlone) {
    WriteFileBytes(dir / "prog.exe", kOriginal);
    ASSERT_EQ(::chmod((dir / "prog.exe").c_str(), 0644), 0);
    WriteFileBytes(dir / "target", "a program of somebody's");
    ASSERT_EQ(::chmod((dir / "target").c_str(), 04755), 0);
    fs::create_symlink(dir / "target", dir / "prog.bak");

    EXPECT_EQ(Batch({"prog.exe"}), "");
    EXPECT_EQ(ReadFileBytes(dir / "prog.exe"), kTranslated);
    EXPECT_TRUE(fs::is_symlink(dir / "prog.bak"));
    EXPECT_EQ(ReadFileBytes(dir / "target"), "a program of somebody's");
    EXPECT_EQ(ModeOf(dir / "target") & 07777, 04755u);
    EXPECT_EQ(ReadFileBytes(dir / "prog.B01"), kOriginal);
    EXPECT_EQ(ModeOf(dir / "prog.B01") & 07777, 0644u);
}

// Whatever VOKRA writes as a whole is never written through a link.
TEST_F(SafeWrites, AWholeFileIsNeverWrittenThroughALink) {
    WriteFileBytes(dir / "target", "kept");
    fs::create_symlink(dir / "target", dir / "message.txt");
    EXPECT_THROW(ReplaceWholeFile(dir / "message.txt", "new", 3), CFileError);
    EXPECT_EQ(ReadFileBytes(dir / "target"), "kept");
}

// A program file that is a link is refused, not written through; links among its folders work.
TEST_F(SafeWrites, AProgramFileThatIsALinkIsRefused) {
    WriteFileBytes(dir / "real.exe", kOriginal);
    fs::create_symlink(dir / "real.exe", dir / "link.exe");
    EXPECT_EQ(Batch({"link.exe"}), dir / "link.exe" +
                                       " 是符號連結, VOKRA 不經由連結寫入檔案; "
                                       "請直接選擇它所連到的檔案.");
    EXPECT_EQ(ReadFileBytes(dir / "real.exe"), kOriginal);

    fs::create_directory(dir / "folder");
    WriteFileBytes(dir / "folder/app.exe", kOriginal);
    fs::create_directory_symlink(dir / "folder", dir / "linked");
    EXPECT_EQ(Batch({"linked/app.exe"}), "");
    EXPECT_EQ(ReadFileBytes(dir / "folder/app.exe"), kTranslated);
}

// Run twice, the batch keeps the original in the first backup; two files of one name never share
// a backup; a file is never its own backup.
TEST_F(SafeWrites, TheOriginalsAreKeptWhateverIsRunAgain) {
    WriteFileBytes(dir / "app.exe", kOriginal);
    EXPECT_EQ(Batch({"app.exe"}), "");
    EXPECT_EQ(Batch({"app.exe"}), "");
    EXPECT_EQ(ReadFileBytes(dir / "app.bak"), kOriginal);

    WriteFileBytes(dir / "app.dll", Units("Open") + kEnd + Units("Other") + kEnd);
    EXPECT_EQ(Batch({"app.dll"}), "");
    EXPECT_EQ(ReadFileBytes(dir / "app.bak"), kOriginal);
    EXPECT_EQ(ReadFileBytes(dir / "app.B02"), Units("Open") + kEnd + Units("Other") + kEnd);

    WriteFileBytes(dir / "x.bak", kOriginal);
    EXPECT_EQ(Batch({"x.bak"}), "");
    EXPECT_EQ(ReadFileBytes(dir / "x.B01"), kOriginal);
    EXPECT_EQ(ReadFileBytes(dir / "x.bak"), kTranslated);
}

// Every backup name taken by something else: the run stops, having changed nothing.
TEST_F(SafeWrites, WhenNoBackupNameIsLeftNothingChanges) {
    WriteFileBytes(dir / "app.exe", kOriginal);
    for (const char* ext :
         {".bak", ".B01", ".B02", ".B03", ".B04", ".B05", ".B06", ".B07", ".B08", ".B09"}) {
        WriteFileBytes(dir / (std::string("app") + ext), "other");
    }
    EXPECT_EQ(Batch({"app.exe"}), dir / "app.exe" +
                                      " 的備份檔名 (選定的副檔名及 .B01 到 .B09) 都已存放其他內容, "
                                      "沒有做任何修改.");
    EXPECT_EQ(ReadFileBytes(dir / "app.exe"), kOriginal);
}

// A file with other names (hard links) is replaced under its own name; the others keep the
// original, and the user is told.
TEST_F(SafeWrites, OtherNamesOfTheFileKeepTheOriginalAndTheUserIsTold) {
    WriteFileBytes(dir / "app.exe", kOriginal);
    fs::create_hard_link(dir / "app.exe", dir / "copy.exe");
    EXPECT_EQ(Batch({"app.exe"}), "");
    EXPECT_EQ(ReadFileBytes(dir / "app.exe"), kTranslated);
    EXPECT_EQ(ReadFileBytes(dir / "copy.exe"), kOriginal);
    ASSERT_EQ(display.notices.size(), 1u);
    EXPECT_NE(display.notices[0].find("1 個名稱"), std::string::npos) << display.notices[0];
}

// A set-user-ID program is replaced with its mode when its owner is kept (as the system's
// administrator, or its owner, runs VOKRA).
TEST_F(SafeWrites, AReplacedFileKeepsItsModeAndOwner) {
    WriteFileBytes(dir / "tool.exe", kOriginal);
    ASSERT_EQ(::chmod((dir / "tool.exe").c_str(), 04751), 0);
    EXPECT_EQ(Batch({"tool.exe"}), "");
    EXPECT_EQ(ReadFileBytes(dir / "tool.exe"), kTranslated);
    EXPECT_EQ(ModeOf(dir / "tool.exe") & 07777, 04751u);
}

// Another pass on the same file is refused while the first holds it.
TEST_F(SafeWrites, ASecondPassOnAFileIsRefusedWhileTheFirstHoldsIt) {
    WriteFileBytes(dir / "app.exe", kOriginal);
    const int held = ::open((dir / "app.exe").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_EQ(Batch({"app.exe"}),
              "另一個 VOKRA 正在處理 " + dir / "app.exe" + ", 請等它完成後再試.");
    EXPECT_FALSE(fs::exists(dir / "app.bak"));
    ::close(held);
    EXPECT_EQ(Batch({"app.exe"}), "");
    EXPECT_EQ(ReadFileBytes(dir / "app.exe"), kTranslated);
}

// Another program changes the file while the backup is made: nothing is written over its change.
std::function<void()> g_atLink;
int OnLink(const char* operation, const std::string&) {
    if (std::string(operation) == "link" && g_atLink) {
        g_atLink();
        g_atLink = nullptr;
    }
    return 0;
}

TEST_F(SafeWrites, AChangeMadeWhileTheBackupIsMadeIsNotLost) {
    WriteFileBytes(dir / "app.exe", kOriginal);
    g_atLink = [&] {
        const int fd = ::open((dir / "app.exe").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        ASSERT_EQ(::write(fd, "tail", 4), 4);
        ::close(fd);
    };
    SetFileFaultHook(OnLink);
    EXPECT_EQ(Batch({"app.exe"}),
              "當存取 " + dir / "app.exe" + " 時發生分享違反(Sharing Violation).");
    EXPECT_EQ(ReadFileBytes(dir / "app.exe"), kOriginal + "tail");
}

// A temporary a killed run left beside the file goes with the next run on it.
TEST_F(SafeWrites, TheNextRunRemovesWhatAKilledRunLeft) {
    WriteFileBytes(dir / "app.exe", kOriginal);
    WriteFileBytes(dir / "app.exe.vokra-Ab3dE9", std::string(1000, 'x'));
    WriteFileBytes(dir / "other.exe.vokra-Ab3dE9", "another file's");
    EXPECT_EQ(Batch({"app.exe"}), "");
    EXPECT_FALSE(fs::exists(dir / "app.exe.vokra-Ab3dE9"));
    EXPECT_TRUE(fs::exists(dir / "other.exe.vokra-Ab3dE9"));
}

// Files in deep folders, further down than a path the system takes in one call, are reached.
TEST_F(SafeWrites, DeepFoldersWork) {
    std::string relative;
    for (int i = 0; i < 24; ++i) {
        relative += std::string(200, static_cast<char>('a' + i)) + "/";
    }
    {
        // Made one folder at a time from where the last one is.
        const CScopedCurrentDir start(dir.Path());
        for (int i = 0; i < 24; ++i) {
            const std::string part(200, static_cast<char>('a' + i));
            ASSERT_EQ(::mkdir(part.c_str(), 0755), 0);
            ASSERT_EQ(::chdir(part.c_str()), 0);
        }
        const int fd = ::open("deep.exe", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, kOriginal.data(), kOriginal.size()),
                  static_cast<ssize_t>(kOriginal.size()));
        ::close(fd);
    }
    ASSERT_GT((dir / relative).size(), 4096u);
    EXPECT_EQ(Batch({relative + "deep.exe"}), "");
    const FileImage image = ReadWholeFile(dir / (relative + "deep.exe"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.pBytes.get()), image.nSize),
              kTranslated);
}

// Counts of runs that 32 bits would not hold, and a ratio that would overflow when multiplied.
TEST(Counters, TheRatioHoldsForAnyCount) {
    EXPECT_EQ(TranslationRatio(53687091, 53687091), 100u);
    EXPECT_EQ(TranslationRatio(std::int64_t{1} << 40, std::uint64_t{1} << 41), 50u);
    EXPECT_EQ(TranslationRatio(INT64_MAX, static_cast<std::uint64_t>(INT64_MAX)), 100u);
    EXPECT_EQ(TranslationRatio(0, 3), 33u);
}

class CListingWindow : public IManualWindow {
  public:
    int BackupExtIndex() const override { return 0; }
    int TranslationExtIndex() const override { return 0; }
    void SetGroupCaptions(const char*, const char*) override {}
    void OpenEditor(const std::string&) override {}
    bool ConfirmReplaceListing(const std::string& name) override {
        asked.push_back(name);
        return bAgree;
    }
    bool bAgree = true;
    std::vector<std::string> asked;
};

// Translate over an earlier, edited translation text file: asked first, and the earlier one kept
// under a name no listing has.
TEST_F(SafeWrites, AnEditedTranslationFileIsKeptWhenTranslateRunsAgain) {
    WriteFileBytes(dir / "app.exe", kOriginal);
    WriteFileBytes(dir / "app.TXT", "my edits");
    state.m_bOpenInNotepad = 0;
    state.m_astrManualFiles[0] = dir / "app.exe";
    state.m_nManualFileCount = 1;
    CListingWindow window;

    window.bAgree = false;
    RunTranslateCommand(state, engine, display, window);
    EXPECT_EQ(window.asked, std::vector<std::string>{dir / "app.TXT"});
    EXPECT_EQ(ReadFileBytes(dir / "app.TXT"), "my edits");

    window.bAgree = true;
    RunTranslateCommand(state, engine, display, window);
    EXPECT_EQ(ReadFileBytes(dir / "app.TXT.1"), "my edits");
    EXPECT_NE(ReadFileBytes(dir / "app.TXT").find("[Open="), std::string::npos);
}

// A program named like its own translation text file, or a listing name that is a link: refused,
// nothing written.
TEST_F(SafeWrites, TranslateNeverWritesOverTheProgramOrThroughALink) {
    WriteFileBytes(dir / "notes.TXT", kOriginal);
    state.m_astrManualFiles[0] = dir / "notes.TXT";
    state.m_nManualFileCount = 1;
    CListingWindow window;
    EXPECT_THROW(RunTranslateCommand(state, engine, display, window), CFileError);
    EXPECT_EQ(ReadFileBytes(dir / "notes.TXT"), kOriginal);

    WriteFileBytes(dir / "app.exe", kOriginal);
    WriteFileBytes(dir / "elsewhere", "kept");
    fs::create_symlink(dir / "elsewhere", dir / "app.TXT");
    state.m_astrManualFiles[0] = dir / "app.exe";
    EXPECT_THROW(RunTranslateCommand(state, engine, display, window), CFileError);
    EXPECT_EQ(ReadFileBytes(dir / "elsewhere"), "kept");
}

// The patch folder of a program named "...exe" lies in the start-up folder, not above it.
TEST_F(SafeWrites, ThePatchFolderStaysInTheStartUpFolder) {
    fs::create_directories(dir / "start/here");
    WriteFileBytes(dir / "start/here/Mender.exe", "MZ patcher");
    fs::create_directory(dir / "files");
    WriteFileBytes(dir / "files/...exe", kOriginal);
    CopyText(state.m_szProgramDir, dir / "start/here");
    state.m_bOpenInNotepad = 0;
    state.m_bMakePatch = 1;
    state.m_astrManualFiles[0] = dir / "files/...exe";
    state.m_nManualFileCount = 1;
    CListingWindow window;
    RunTranslateCommand(state, engine, display, window);
    EXPECT_TRUE(fs::exists(dir / "start/here/...exe/Mender.exe"));
    EXPECT_FALSE(fs::exists(dir / "start/Mender.exe"));
}

}  // namespace
