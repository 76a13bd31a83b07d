// Mender as its users run it: real files and folders, the native program as a process, its exit
// statuses and messages; and the Windows build's kind.
#include "Mender.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "DictionaryCode.h"
#include "ManualCommands.h"
#include "PassDisplay.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "WriteBack.h"

namespace fs = std::filesystem;

namespace {

// A translation text file as the manual translate pass writes it for `programName`.
std::string TranslationFile(const std::string& programName, const std::string& entries) {
    const std::string base = programName.substr(0, programName.rfind('.'));
    std::string file = "//" + std::string(81, '=') + "\r\n";
    file += Big5("// VOKRA  翻譯字典 ") + "\r\n";
    file += Big5("// 原路徑：") + "/home/user/app/\r\n";
    file += Big5("// 原文檔：") + programName + "\r\n";
    file += Big5("// 備份檔：") + base + ".BAK\r\n";
    file += Big5("// 翻譯檔：") + base + ".TXT\r\n";
    file += Big5("// 翻譯型態： BIG5 ") + "\r\n";
    file += Big5("// 翻譯作者： ") + "Someone\r\n";
    file += Big5("// 作者網址： ") + "example.org\r\n";
    file += Big5("// 作者信箱： ") + "someone@example.org\r\n";
    file += Big5("// 翻譯日期： 2024/ 5/ 7 ") + "\r\n";
    file += "//" + std::string(92, '=') + "\r\n";
    return file + entries;
}

// A program file's strings among bytes that hold none.
const std::string kProgram = std::string("MZ\x90\0\3\0\0\0", 8) + String16("&File") +
                             String16("Open") + std::string("\x01\x02\xFF\xFE", 4) +
                             String16("Cancel") + String16("Ready") + String16("Open");

// Translations with the second bytes "}" (開), "]" (包) and "[" (久).
const std::string kEntries =
    "[Open=\xB6\x7D\xB1\xD2\r\n[Cancel=\xA5\x5D\xA4\x5B\r\n[&File=\xC0\xC9\xAE\xD7\r\n";

using Outcome = CommandOutcome;

// The program file after the shared write-back of `translation`, run in this process.
std::string WrittenInProcess(std::string image, const std::string& translation) {
    auto state = std::make_unique<AppState>();
    auto engine = std::make_unique<CTranslationEngine>();
    LoadEditedDictionary(*engine, translation);
    CSilentDisplay display;
    EXPECT_TRUE(WriteBackImage(*state, *engine, display,
                               reinterpret_cast<unsigned char*>(image.data()),
                               static_cast<std::int64_t>(image.size())));
    return image;
}

class Mender : public ::testing::Test {
  protected:
    Mender() {
        fs::create_directories(dir / "app");
        fs::create_directories(dir / "patch");
    }

    // Runs `program` in `cwd` with `args` (already quoted).
    Outcome Run(const std::string& cwd, const std::string& args,
                const std::string& program = VOKRA_MENDER) {
        return RunCommand(cwd, "'" + program + "' " + args, dir);
    }

    // A patch folder as the manual window assembles it: Mender beside one translation file.
    std::string PatchFolderMender() {
        const std::string copy = dir / "patch/vokra-mender";
        fs::copy_file(VOKRA_MENDER, copy, fs::copy_options::overwrite_existing);
        return copy;
    }

    CTempDir dir;
};

TEST_F(Mender, WritesWhatTheSharedWriteBackWritesAfterABackup) {
    const std::string translation = TranslationFile("App.exe", kEntries);
    WriteFileBytes(dir / "app/App.exe", kProgram);
    WriteFileBytes(dir / "app/App.txt", translation);

    const Outcome r = Run(dir / "app", "App.txt App.exe");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string expected = WrittenInProcess(kProgram, translation);
    EXPECT_NE(expected, kProgram);
    EXPECT_EQ(ReadFileBytes(dir / "app/App.exe"), expected);
    EXPECT_EQ(ReadFileBytes(dir / "app/App.BAK"), kProgram);
    EXPECT_EQ(r.out, "原文檔：App.exe\n翻譯檔：App.txt\n備份檔：App.BAK\n找到 5 句, 寫入 4 句.\n");
    EXPECT_EQ(r.err, "");
}

// The translation text file the manual window's Translate writes, in either direction of language,
// is what Mender reads: it finds its program by the header and writes what Write would.
TEST_F(Mender, AppliesTheTranslationFileTranslateWroteInEitherDirection) {
    class CNoWindow : public IManualWindow {
        int BackupExtIndex() const override { return 0; }
        int TranslationExtIndex() const override { return 0; }
        void SetGroupCaptions(const char*, const char*) override {}
        void OpenEditor(const std::string&) override {}
    };
    struct Direction {
        const char* what;
        bool bSimplified;
        std::string dictionary;
        std::string typeLine;
    };
    const Direction directions[] = {
        {"Traditional", false, "[OPEN=" + kOpenZh + "\r\n[CANCEL=" + Big5("取消") + "\r\n",
         Big5("// 翻譯型態： BIG5 ")},
        {"Simplified", true, "[OPEN=" + Big5("打开") + "\r\n[CANCEL=" + Big5("取消") + "\r\n",
         Big5("// 翻譯型態： GB ")},
    };
    for (const Direction& d : directions) {
        SCOPED_TRACE(d.what);
        WriteFileBytes(dir / "app/App.exe", kProgram);
        auto state = std::make_unique<AppState>();
        auto engine = std::make_unique<CTranslationEngine>();
        ApplyStartupDefaults(*state);
        state->m_bOpenInNotepad = 0;
        state->m_bToTraditional = d.bSimplified ? 0 : 1;
        state->m_bToSimplified = d.bSimplified ? 1 : 0;
        engine->m_strMainDict = PreparedDictionary({d.dictionary});
        state->m_astrManualFiles[0] = dir / "app/App.exe";
        state->m_nManualFileCount = 1;
        CSilentDisplay display;
        CNoWindow window;
        {
            const CScopedCurrentDir here(dir / "app");
            RunTranslateCommand(*state, *engine, display, window);
        }
        const std::string listing = ReadFileBytes(dir / "app/App.TXT");
        ASSERT_NE(listing.find("\r\n" + d.typeLine + "\r\n"), std::string::npos);

        const Outcome r = Run(dir / "app", "App.TXT");
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string expected = WrittenInProcess(kProgram, listing);
        EXPECT_NE(expected, kProgram);
        EXPECT_EQ(ReadFileBytes(dir / "app/App.exe"), expected);
        fs::remove(dir / "app/App.BAK");
    }
}

TEST_F(Mender, ARealWindowsProgramComesOutAsTheSharedWriteBackMakesIt) {
    const std::string exe = dir / "app/Sample.exe";
    if (std::system(("'" MAKE_PROGRAM "' '" + exe + "' >/dev/null 2>&1").c_str()) != 0) {
        GTEST_SKIP() << "mingw-w64 cannot build the sample program here";
    }
    const std::string original = ReadFileBytes(exe);
    const std::string translation = TranslationFile(
        "Sample.exe",
        "[Ready=\xB4\x4E\xBA\xFC\r\n[Cancel=\xA8\xFA\xAE\xF8\r\n[Apply=\xAE\x4D\xA5\xCE"
        "\r\n[Options=\xBF\xEF\xB6\xB5\r\n[Show toolbar=\xC5\xE3\xA5\xDC\xA4\x75\xA8"
        "\xE3\xA6\x43\r\n[Select all of the document=\xA5\xFE\xBF\xEF\r\n");
    WriteFileBytes(dir / "app/Sample.txt", translation);

    const Outcome r = Run(dir / "app", "Sample.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string expected = WrittenInProcess(original, translation);
    EXPECT_NE(expected, original);
    EXPECT_EQ(ReadFileBytes(exe), expected);
    EXPECT_EQ(ReadFileBytes(dir / "app/Sample.BAK"), original);
    EXPECT_NE(r.out.find("寫入 6 句."), std::string::npos) << r.out;
}

TEST_F(Mender, FileErrorsEndWithTheirTextAndChangeNothing) {
    WriteFileBytes(dir / "app/App.exe", kProgram);
    WriteFileBytes(dir / "app/App.txt", TranslationFile("Gone.exe", kEntries));

    Outcome r = Run(dir / "app", "Missing.txt App.exe");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Mender: 沒有找到 Missing.txt .\n");

    r = Run(dir / "app", "App.txt Other.exe");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Mender: 沒有找到 Other.exe .\n");

    // The program file named in the header, looked up in the current folder.
    r = Run(dir / "app", "App.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Mender: 沒有找到 Gone.exe .\n");

    EXPECT_EQ(ReadFileBytes(dir / "app/App.exe"), kProgram);
    // Nothing could be done, so no backup was written either.
    EXPECT_FALSE(fs::exists(dir / "app/App.BAK"));
    EXPECT_EQ(r.out, "");
}

// Unmounts what the test mounted, whatever way it ends.
class CMount {
  public:
    explicit CMount(std::string path) : m_strPath(std::move(path)) {}
    ~CMount() {
        if (m_bMounted) {
            std::system(("umount '" + m_strPath + "'").c_str());
        }
    }
    CMount(const CMount&) = delete;
    CMount& operator=(const CMount&) = delete;
    // Makes the file read-only by binding it onto itself read-only.
    bool MakeReadOnly() {
        const std::string quoted = "'" + m_strPath + "'";
        m_bMounted =
            std::system(("mount --bind " + quoted + " " + quoted + " 2>/dev/null").c_str()) == 0;
        return m_bMounted &&
               std::system(("mount -o remount,bind,ro " + quoted + " 2>/dev/null").c_str()) == 0;
    }

  private:
    std::string m_strPath;
    bool m_bMounted = false;
};

TEST_F(Mender, AReadOnlyProgramFileIsRefusedAndStaysAsItWas) {
    WriteFileBytes(dir / "app/App.exe", kProgram);
    WriteFileBytes(dir / "app/App.txt", TranslationFile("App.exe", kEntries));
    CMount mount(dir / "app/App.exe");
    if (!mount.MakeReadOnly()) {
        GTEST_SKIP() << "this machine does not let the test mount a read-only file";
    }
    const Outcome r = Run(dir / "app", "App.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Mender: App.exe 所在的磁碟是唯讀的, 無法寫入.\n");
    EXPECT_EQ(ReadFileBytes(dir / "app/App.exe"), kProgram);
    // Refused before anything was written.
    EXPECT_FALSE(fs::exists(dir / "app/App.BAK"));
}

TEST_F(Mender, ARunningProgramFileIsASharingViolation) {
    // A running program cannot be written on Linux either: a copy of sleep, running.
    const std::string exe = dir / "app/Busy.exe";
    fs::copy_file("/bin/sleep", exe);
    const std::string original = ReadFileBytes(exe);
    WriteFileBytes(dir / "app/Busy.txt", TranslationFile("Busy.exe", kEntries));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(exe.c_str(), "Busy.exe", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Wait until the copy really runs: exec has replaced the child's image.
    const std::string childExe = "/proc/" + std::to_string(child) + "/exe";
    std::error_code error;
    for (int i = 0; i < 500 && fs::read_symlink(childExe, error) != exe; ++i) {
        usleep(10000);
    }
    const Outcome r = Run(dir / "app", "Busy.txt");
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Mender: 當存取 Busy.exe 時發生分享違反(Sharing Violation).\n");
    EXPECT_EQ(ReadFileBytes(exe), original);
}

TEST_F(Mender, WithoutArgumentsTakesTheOneTranslationFileBesideItself) {
    const std::string mender = PatchFolderMender();
    const std::string translation = TranslationFile("App.exe", kEntries);
    WriteFileBytes(dir / "patch/App.txt", translation);
    // A text file that is no translation text file does not count.
    WriteFileBytes(dir / "patch/readme.txt", "Copy both files into the program's folder.\r\n");
    WriteFileBytes(dir / "app/App.exe", kProgram);

    const Outcome r = Run(dir / "app", "", mender);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "app/App.exe"), WrittenInProcess(kProgram, translation));
    EXPECT_EQ(ReadFileBytes(dir / "app/App.BAK"), kProgram);
    EXPECT_NE(r.out.find("翻譯檔：" + fs::canonical(dir / "patch/App.txt").string()),
              std::string::npos)
        << r.out;
}

TEST_F(Mender, WithoutArgumentsAnUnclearChoiceChangesNothing) {
    const std::string mender = PatchFolderMender();
    WriteFileBytes(dir / "app/App.exe", kProgram);

    // No translation file at all.
    Outcome r = Run(dir / "app", "", mender);
    EXPECT_EQ(r.status, 1);
    const std::string patch = fs::canonical(dir / "patch").string();
    EXPECT_EQ(r.err, "Mender: " + patch +
                         " 中沒有翻譯檔 (第 4 行為「// 原文檔：」的 .txt 檔), 沒有做任何修改.\n");

    // Two of them: both are named.
    WriteFileBytes(dir / "patch/App.txt", TranslationFile("App.exe", kEntries));
    WriteFileBytes(dir / "patch/Old.TXT", TranslationFile("App.exe", kEntries));
    r = Run(dir / "app", "", mender);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Mender: " + patch +
                         " 中有不只一個翻譯檔, 請在命令列指定要用哪一個; 沒有做任何修改:\n  " +
                         patch + "/App.txt\n  " + patch + "/Old.TXT\n");

    // One, naming a program file outside the current folder.
    fs::remove(dir / "patch/Old.TXT");
    WriteFileBytes(dir / "patch/App.txt", TranslationFile("../App.exe", kEntries));
    r = Run(dir / "app", "", mender);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("「../App.exe」含有路徑"), std::string::npos) << r.err;

    // One, whose header names no program file.
    WriteFileBytes(dir / "patch/App.txt", TranslationFile("", kEntries));
    r = Run(dir / "app", "", mender);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("的第 4 行沒有「// 原文檔：」及原文檔名"), std::string::npos) << r.err;

    EXPECT_EQ(ReadFileBytes(dir / "app/App.exe"), kProgram);
    EXPECT_FALSE(fs::exists(dir / "app/App.BAK"));
}

TEST_F(Mender, ABackupOfAnEarlierStateIsNeverReplaced) {
    const std::string translation = TranslationFile("App.exe", kEntries);
    WriteFileBytes(dir / "app/App.exe", kProgram);
    WriteFileBytes(dir / "app/App.txt", translation);
    ASSERT_EQ(Run(dir / "app", "App.txt").status, 0);
    const std::string translated = ReadFileBytes(dir / "app/App.exe");

    // Applied a second time: App.BAK keeps the untranslated program.
    const Outcome r = Run(dir / "app", "App.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("備份檔：App.B01"), std::string::npos) << r.out;
    EXPECT_EQ(ReadFileBytes(dir / "app/App.BAK"), kProgram);
    EXPECT_EQ(ReadFileBytes(dir / "app/App.B01"), translated);

    // With the original put back, App.BAK holds exactly it and serves again.
    WriteFileBytes(dir / "app/App.exe", kProgram);
    EXPECT_EQ(Run(dir / "app", "App.txt").status, 0);
    EXPECT_FALSE(fs::exists(dir / "app/App.B02"));

    // Every name taken by other contents: nothing is done.
    for (int i = 2; i <= 9; ++i) {
        WriteFileBytes(dir / ("app/App.B0" + std::to_string(i)), "other");
    }
    WriteFileBytes(dir / "app/App.BAK", "other");
    WriteFileBytes(dir / "app/App.B01", "other");
    const Outcome full = Run(dir / "app", "App.txt");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(
        full.err,
        "Mender: App.exe 的備份檔名 (.BAK, .B01 到 .B09) 都已存放其他內容, 沒有做任何修改.\n");
    EXPECT_EQ(ReadFileBytes(dir / "app/App.exe"), translated);
}

TEST_F(Mender, AProgramFileNamedLikeItsBackupIsNotItsOwnBackup) {
    WriteFileBytes(dir / "app/Data.BAK", kProgram);
    WriteFileBytes(dir / "app/Data.txt", TranslationFile("Data.BAK", kEntries));
    const Outcome r = Run(dir / "app", "Data.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "app/Data.B01"), kProgram);
    EXPECT_NE(ReadFileBytes(dir / "app/Data.BAK"), kProgram);
}

TEST_F(Mender, TheBackupLiesBesideTheProgramFile) {
    // A dot in the folder's name is not the program file's extension.
    fs::create_directories(dir / "my.app");
    WriteFileBytes(dir / "my.app/Setup", kProgram);
    WriteFileBytes(dir / "patch/Setup.txt", TranslationFile("Setup", kEntries));
    const Outcome r = Run(dir.Path(), "patch/Setup.txt my.app/Setup");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "my.app/Setup.BAK"), kProgram);
    EXPECT_FALSE(fs::exists(dir / "Setup.BAK"));
}

TEST_F(Mender, WrongUseShowsHowToUseIt) {
    Outcome r = Run(dir.Path(), "a b c");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("用法: Mender"), std::string::npos);
    r = Run(dir.Path(), "--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("用法: Mender"), std::string::npos);
}

TEST(MenderHeader, OnlyABareFileNameIsTakenFromAFile) {
    EXPECT_TRUE(mender::IsBareFileName("SETUP.EXE"));
    EXPECT_TRUE(mender::IsBareFileName("my app.exe"));
    for (const char* name : {"", ".", "..", "../App.exe", "/etc/passwd", "..\\App.exe", "C:App.exe",
                             "C:\\Windows\\App.exe", "sub/App.exe"}) {
        EXPECT_FALSE(mender::IsBareFileName(name)) << name;
    }
}

// A device, or a link in the folder that leads elsewhere, is no program file of the patch.
TEST_F(Mender, DevicesAndLinksAreRefusedAndNothingIsWritten) {
    WriteFileBytes(dir / "app/App.txt", TranslationFile("App.exe", kEntries));
    Outcome r = Run(dir / "app", "App.txt /dev/zero");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Mender: /dev/zero 不是一般檔案 (裝置、管線或其他特殊檔案), 不予處理.\n");

    WriteFileBytes(dir / "elsewhere.exe", kProgram);
    fs::create_symlink(dir / "elsewhere.exe", dir / "app/App.exe");
    r = Run(dir / "app", "App.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("App.exe 是符號連結"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "elsewhere.exe"), kProgram);
    EXPECT_FALSE(fs::exists(dir / "app/App.BAK"));
}

// The program's name comes from the patch: what the terminal would take as its commands is shown
// as escapes.
TEST_F(Mender, NamesFromThePatchAreShownAsEscapes) {
    WriteFileBytes(dir / "app/App.txt", TranslationFile("\x1b]0;owned\x07.exe", kEntries));
    const Outcome r = Run(dir / "app", "App.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\\x1B]0;owned\\x07.exe"), std::string::npos) << r.err;
}

TEST(MenderWindows, TheWindowsBuildIsAPe32PlusConsoleProgram) {
    const std::string exe = MENDER_EXE;
    if (exe.empty() || !fs::exists(exe)) {
        GTEST_SKIP() << "no mingw-w64 cross compiler: Mender.exe was not built";
    }
    const std::string objdump = OBJDUMP;
    if (objdump.empty()) {
        GTEST_SKIP() << "x86_64-w64-mingw32-objdump is missing";
    }
    CTempDir dir;
    const std::string headers = dir / "headers";
    ASSERT_EQ(std::system(("'" + objdump + "' -f -p '" + exe + "' >'" + headers + "'").c_str()), 0);
    const std::string text = ReadFileBytes(headers);
    EXPECT_NE(text.find("file format pei-x86-64"), std::string::npos);
    EXPECT_NE(text.find("(PE32+)"), std::string::npos);
    EXPECT_NE(text.find("(Windows CUI)"), std::string::npos);
    // Statically linked: nothing but the DLLs every Windows has.
    std::size_t at = 0;
    while ((at = text.find("DLL Name: ", at)) != std::string::npos) {
        at += 10;
        const std::string dll = text.substr(at, text.find('\n', at) - at);
        EXPECT_TRUE(dll == "KERNEL32.dll" || dll == "msvcrt.dll" || dll == "USER32.dll") << dll;
    }
}

// `command` run by Wine in `dir`/app, with a Wine of its own, which is gone with the folder once
// its server has ended.
Outcome RunUnderWine(const CTempDir& dir, const std::string& command) {
    return RunCommand(dir / "app",
                      "export WINEPREFIX='" + (dir / "prefix") +
                          "' WINEDLLOVERRIDES='mscoree,mshtml=' WINEDEBUG=-all; wine " + command +
                          "; status=$?; wineserver -w; exit $status",
                      dir);
}

// Mender.exe on Windows, here under Wine: the Windows file layer reads, backs up and writes back
// as the native one does.
TEST(MenderWindows, UnderWineItWritesWhatTheSharedWriteBackWrites) {
    const std::string exe = MENDER_EXE;
    if (exe.empty() || !fs::exists(exe)) {
        GTEST_SKIP() << "no mingw-w64 cross compiler: Mender.exe was not built";
    }
    if (std::system("command -v wine >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "Wine is not installed";
    }
    CTempDir dir;
    fs::create_directories(dir / "app");
    fs::copy_file(exe, dir / "app/Mender.exe");
    const std::string translation = TranslationFile("App.exe", kEntries);
    WriteFileBytes(dir / "app/App.exe", kProgram);
    WriteFileBytes(dir / "app/App.txt", translation);

    const Outcome r = RunUnderWine(dir, "Mender.exe App.txt App.exe");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "app/App.exe"), WrittenInProcess(kProgram, translation));
    EXPECT_EQ(ReadFileBytes(dir / "app/App.BAK"), kProgram);
}

// A real Windows program: Mender.exe translates it by its structure as the shared write-back does,
// its checksum written anew.
TEST(MenderWindows, UnderWineARealProgramComesOutAsTheSharedWriteBackMakesIt) {
    const std::string exe = MENDER_EXE;
    if (exe.empty() || !fs::exists(exe)) {
        GTEST_SKIP() << "no mingw-w64 cross compiler: Mender.exe was not built";
    }
    if (std::system("command -v wine >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "Wine is not installed";
    }
    CTempDir dir;
    fs::create_directories(dir / "app");
    fs::copy_file(exe, dir / "app/Mender.exe");
    const std::string program = dir / "app/Sample.exe";
    if (std::system(("'" MAKE_PROGRAM "' '" + program + "' >/dev/null 2>&1").c_str()) != 0) {
        GTEST_SKIP() << "mingw-w64 cannot build the sample program here";
    }
    const std::string original = ReadFileBytes(program);
    const std::string translation =
        TranslationFile("Sample.exe", "[Cancel=\xA8\xFA\xAE\xF8\r\n[Open=\xB6\x7D\xB1\xD2\r\n");
    WriteFileBytes(dir / "app/Sample.txt", translation);

    const Outcome r = RunUnderWine(dir, "Mender.exe Sample.txt Sample.exe");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string expected = WrittenInProcess(original, translation);
    EXPECT_NE(expected, original);
    EXPECT_TRUE(ReadFileBytes(program) == expected);
    EXPECT_TRUE(ReadFileBytes(dir / "app/Sample.BAK") == original);
}

}  // namespace
