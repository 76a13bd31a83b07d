// vokra-batch as its users run it: real files, real folders, exit statuses and messages.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "TestBytes.h"
#include "TestFiles.h"

namespace {

using Outcome = CommandOutcome;

const std::string kOpen16 =
    std::string("\x8B\x95\x5F\x55\x20\x00\x20\x00", 8) + std::string(2, '\0');

class BatchTool : public ::testing::Test {
  protected:
    BatchTool() {
        std::filesystem::create_directories(dir / "dict");
        std::filesystem::create_directories(dir / "work");
        WriteFileBytes(dir / "dict/message.txt", "[OPEN=\xB6\x7D\xB1\xD2\r\n");
    }

    // Runs vokra-batch in `cwd` with `args`.
    Outcome Run(const std::string& cwd, const std::string& args) {
        return RunCommand(cwd, "'" VOKRA_BATCH "' " + args, dir);
    }

    CTempDir dir;
};

TEST_F(BatchTool, TranslatesInPlaceWithTheBackupBesideTheFile) {
    WriteFileBytes(dir / "work/App.EXE", String16("Open"));
    const Outcome r = Run(dir.Path(), "-q -d dict -b .orig work/App.EXE");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "work/App.EXE"), kOpen16);
    EXPECT_EQ(ReadFileBytes(dir / "work/App.orig"), String16("Open"));
    // The file is named as it was given.
    EXPECT_EQ(r.out, "work/App.EXE: found 1, translated 1, ratio 100%\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "App.orig"));
}

TEST_F(BatchTool, UsesTheShippedDictionaryByDefault) {
    WriteFileBytes(dir / "work/a.dll", String16("Open"));
    const Outcome r = Run(dir / "work", "a.dll");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "work/a.dll"), kOpen16);
}

TEST_F(BatchTool, FileErrorStopsWithItsTextAndLeavesTheRestAlone) {
    WriteFileBytes(dir / "work/b.exe", String16("Open"));
    const Outcome r = Run(dir.Path(), "-d dict work/missing.exe work/b.exe");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vokra-batch: 沒有找到 work/missing.exe .\n");
    EXPECT_EQ(ReadFileBytes(dir / "work/b.exe"), String16("Open"));
}

TEST_F(BatchTool, MissingDictionaryIsAFileError) {
    WriteFileBytes(dir / "work/c.exe", String16("Open"));
    const Outcome r = Run(dir.Path(), "-d work work/c.exe");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vokra-batch: 沒有找到 message.txt .\n");
    EXPECT_EQ(ReadFileBytes(dir / "work/c.exe"), String16("Open"));
}

TEST_F(BatchTool, UsageMistakesChangeNothing) {
    WriteFileBytes(dir / "work/d.exe", String16("Open"));
    EXPECT_EQ(Run(dir.Path(), "-d dict").status, 2);
    EXPECT_EQ(Run(dir.Path(), "--no-such-option work/d.exe").status, 2);
    EXPECT_EQ(Run(dir.Path(), "-d dict -b x/y work/d.exe").status, 2);
    EXPECT_EQ(ReadFileBytes(dir / "work/d.exe"), String16("Open"));
    EXPECT_EQ(Run(dir.Path(), "--help").status, 0);
}

TEST_F(BatchTool, PlugInDictionaryComesFirst) {
    WriteFileBytes(dir / "dict/user.txt", "[Open All=\xB6\x7D\xB1\xD2\r\n");
    WriteFileBytes(dir / "work/e.exe", String16("Open All"));
    const Outcome r = Run(dir.Path(), "-q -d dict -u --case-sensitive work/e.exe");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "work/e.exe").substr(0, 4), "\x8B\x95\x5F\x55");
}

// Run twice over a whole folder, the backups of the first run are left out of the second, and the
// originals stay in them; --restore puts them back.
TEST_F(BatchTool, AFolderRunTwiceKeepsItsOriginalsAndRestoreBringsThemBack) {
    WriteFileBytes(dir / "work/a.exe", String16("Open"));
    WriteFileBytes(dir / "work/b.dll", String16("Open") + String16("Other"));
    ASSERT_EQ(Run(dir / "work", "-q -d ../dict a.exe b.dll").status, 0);
    const Outcome again = Run(dir / "work", "-q -d ../dict a.bak a.exe b.bak b.dll");
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("a.bak: left out, named like a backup"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir / "work/a.bak"), String16("Open"));
    EXPECT_EQ(ReadFileBytes(dir / "work/b.bak"), String16("Open") + String16("Other"));

    const Outcome restore = Run(dir / "work", "--restore a.exe b.dll");
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(restore.out, "a.exe: restored from a.bak\nb.dll: restored from b.bak\n");
    EXPECT_EQ(ReadFileBytes(dir / "work/a.exe"), String16("Open"));
    EXPECT_EQ(ReadFileBytes(dir / "work/b.dll"), String16("Open") + String16("Other"));
    EXPECT_EQ(Run(dir / "work", "--restore a.exe").out, "a.exe: already as a.bak holds it\n");
}

// Devices and pipes are refused at once: nothing waits, nothing is made beside them.
TEST_F(BatchTool, DevicesAndPipesAreRefused) {
    ASSERT_EQ(::mkfifo((dir / "work/pipe.exe").c_str(), 0600), 0);
    Outcome r = Run(dir.Path(), "-q -d dict work/pipe.exe");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "vokra-batch: work/pipe.exe 不是一般檔案 (裝置、管線或其他特殊檔案), 不予處理.\n");
    r = Run(dir.Path(), "-q -d dict /dev/null");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists("/dev/null.bak"));
}

// An empty name is no file: said so, not taken for the current folder.
TEST_F(BatchTool, AnEmptyNameIsAFileNotFound) {
    const Outcome r = Run(dir.Path(), "-q -d dict ''");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vokra-batch: 沒有找到 未命名檔案 .\n");
}

// Names from the command line (and so from files) never reach the terminal as its commands.
TEST_F(BatchTool, ControlCharactersInNamesAreShownAsEscapes) {
    WriteFileBytes(dir / "work/\x1b[31mred.exe", String16("Open"));
    const Outcome r = Run(dir / "work", "-q -d ../dict '\x1b[31mred.exe'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "\\x1B[31mred.exe: found 1, translated 1, ratio 100%\n");
}

// Another run on the same file: stopped at once, or waited for with --wait.
TEST_F(BatchTool, ASecondRunStopsOrWaits) {
    WriteFileBytes(dir / "work/f.exe", String16("Open"));
    const int held = ::open((dir / "work/f.exe").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const Outcome stopped = Run(dir.Path(), "-q -d dict work/f.exe");
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.err, "vokra-batch: 另一個 VOKRA 正在處理 work/f.exe, 請等它完成後再試.\n");

    std::thread release([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::close(held);
    });
    const Outcome waited = Run(dir.Path(), "-q -d dict --wait work/f.exe");
    release.join();
    EXPECT_EQ(waited.status, 0) << waited.err;
    EXPECT_EQ(ReadFileBytes(dir / "work/f.exe"), kOpen16);
}

// A file named twice in one run, once through another name (a hard link): the second pass waits
// for the first one's replacement instead of stopping as if another run held the file, or, with
// --wait, waiting for itself for ever. Files put in place while the next ones are translated
// (more than one group of them) all end translated, each with its backup.
TEST_F(BatchTool, AFileNamedTwiceAndManyFilesAreAllDone) {
    WriteFileBytes(dir / "work/f.exe", String16("Open"));
    ASSERT_EQ(::link((dir / "work/f.exe").c_str(), (dir / "work/g.exe").c_str()), 0);
    for (const char* wait : {"", "--wait "}) {
        SCOPED_TRACE(wait);
        // A run that waits for itself is ended after a while.
        const Outcome r = RunCommand(dir.Path(),
                                     std::string("timeout 60 '" VOKRA_BATCH "' -q -d dict ") +
                                         wait + "work/f.exe work/f.exe work/g.exe",
                                     dir);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ReadFileBytes(dir / "work/f.exe"), kOpen16);
    }

    std::string names;
    for (int i = 0; i < 70; ++i) {
        const std::string name = "work/m" + std::to_string(i) + ".dll";
        WriteFileBytes(dir / name, String16("Open"));
        names += " " + name;
    }
    const Outcome many = Run(dir.Path(), "-q -d dict" + names);
    EXPECT_EQ(many.status, 0) << many.err;
    for (int i = 0; i < 70; ++i) {
        const std::string stem = "work/m" + std::to_string(i);
        EXPECT_EQ(ReadFileBytes(dir / (stem + ".dll")), kOpen16) << stem;
        EXPECT_EQ(ReadFileBytes(dir / (stem + ".bak")), String16("Open")) << stem;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir / "work")) {
        EXPECT_EQ(entry.path().filename().string().find(".vokra-"), std::string::npos);
    }
}

}  // namespace
