// vokra-dict as dictionary authors run it: messages, exit statuses, what it writes and when.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestBytes.h"
#include "TestFiles.h"

namespace {

using Outcome = CommandOutcome;

class DictTool : public ::testing::Test {
  protected:
    Outcome Run(const std::string& args) {
        return RunCommand(dir.Path(), "'" VOKRA_DICT "' " + args, dir);
    }

    CTempDir dir;
};

TEST_F(DictTool, CleanSourceIsWrittenAndExitsZero) {
    WriteFileBytes(dir / "words.txt", "// words\nFILE=檔案\n");
    Outcome r = Run("-o message.txt words.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadFileBytes(dir / "message.txt"), "// words\r\n[FILE=" + kFileZh + "\r\n");

    // Without -o to standard output; with --check nowhere.
    r = Run("words.txt");
    EXPECT_EQ(r.out, "// words\r\n[FILE=" + kFileZh + "\r\n");
    r = Run("--check words.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(DictTool, ProblemsAreReportedAsFileLineAndNothingIsWritten) {
    WriteFileBytes(dir / "words.txt", "FILE=檔案\nOpen=開啟\nFILE=檔\n");
    const Outcome r = Run("-o message.txt words.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "words.txt:2: lower-case key: a main dictionary is searched with upper-case keys "
              "only, so this entry is never found\n"
              "words.txt:3: duplicate key FILE: the entry on line 1 is found first, this one "
              "never\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "message.txt"));
}

TEST_F(DictTool, PlugInKeysKeepTheirCase) {
    WriteFileBytes(dir / "phrases.txt", "Open File=開啟檔案\n");
    EXPECT_EQ(Run("words.txt").status, 2);
    EXPECT_EQ(Run("phrases.txt").status, 1);
    const Outcome r = Run("--plug-in phrases.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[Open File=" + kOpenZh + kFileZh + "\r\n");
}

TEST_F(DictTool, DecodingWritesWhatItReadsEvenWithProblems) {
    WriteFileBytes(dir / "message.txt", "[FILE=" + kFileZh + "\r\n[FILE=" + kOpenZh + "\r\n");
    const Outcome r = Run("-d -o words.txt message.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("message.txt:2: duplicate key FILE"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "words.txt"), "FILE=檔案\nFILE=開啟\n");
}

TEST_F(DictTool, UnreadableInputAndBadUsageExitTwo) {
    EXPECT_EQ(Run("missing.txt").status, 2);
    EXPECT_EQ(Run("").status, 2);
    EXPECT_EQ(Run("--no-such-option x").status, 2);
    EXPECT_EQ(Run("--help").status, 0);
}

// A disk that fills while the dictionary is written: the earlier dictionary stays as it was, and
// nothing else is left in its folder.
TEST_F(DictTool, AFullDiskLeavesTheEarlierDictionaryWhole) {
    std::filesystem::create_directory(dir / "small");
    const CMount mount("tmpfs", dir / "small", "tmpfs", 0, "size=64k");
    if (!mount.Mounted()) {
        GTEST_SKIP() << "mounting is not permitted here";
    }
    const std::string earlier = "[FILE=" + kFileZh + "\r\n";
    WriteFileBytes(dir / "small/message.txt", earlier);
    std::string words;
    for (int i = 0; i < 8000; ++i) {
        words += "WORD" + std::to_string(i) + "=檔案\n";
    }
    WriteFileBytes(dir / "words.txt", words);
    const Outcome r = Run("-o small/message.txt words.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "vokra-dict: 當存取 small/message.txt 時磁碟空間已滿.\n");
    EXPECT_EQ(ReadFileBytes(dir / "small/message.txt"), earlier);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "small")) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"message.txt"});
}

}  // namespace
