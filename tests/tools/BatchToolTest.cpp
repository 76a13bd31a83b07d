// vokra-batch as its users run it: real files, real folders, exit statuses and messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

}  // namespace
