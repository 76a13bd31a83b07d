// The converter's conversions and every check, each with a line that fails it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DictSource.h"
#include "TestBytes.h"
#include "TranslationEngine.h"

namespace {

using namespace dictsource;

using enum EDictionaryKind;
using namespace std::string_literals;

std::string Problems(const DictConversion& result) {
    std::string text;
    for (const DictProblem& problem : result.problems) {
        text += std::to_string(problem.nLine) + ": " + problem.strText + "\n";
    }
    return text;
}

TEST(DictSource, EntriesGetTheirBracketAndEveryLineCrLf) {
    const DictConversion result =
        EncodeDictionarySource("// Files\n\nFILE=檔案\nOPEN=開啟\n", Main);
    EXPECT_EQ(Problems(result), "");
    EXPECT_EQ(result.nEntries, 2);
    EXPECT_EQ(result.strOutput,
              "// Files\r\n\r\n[FILE=" + kFileZh + "\r\n[OPEN=" + kOpenZh + "\r\n");
    // A source written with CR LF reads the same, and a last line without a line end gets one.
    EXPECT_EQ(EncodeDictionarySource("// Files\r\n\r\nFILE=檔案\r\nOPEN=開啟", Main).strOutput,
              result.strOutput);
}

TEST(DictSource, RoundTripGivesBackTheSource) {
    const std::string main =
        "// 檔案 and 資料夾; simplified 文件夹, 预览; punctuation ，。？！…\n"
        "\n"
        "   \n"
        "FILE=檔案\n"
        "FOLDER=文件夹\n"
        "THE=\n"
        "QUESTION=問題？\n";
    const std::string plugIn = "// phrases\nAre you sure you want to exit?=確定要結束嗎？\n";
    for (const auto& [kind, source] : {std::pair{Main, main}, std::pair{PlugIn, plugIn}}) {
        const DictConversion encoded = EncodeDictionarySource(source, kind);
        ASSERT_EQ(Problems(encoded), "");
        const DictConversion decoded = DecodeDictionaryFile(encoded.strOutput, kind);
        EXPECT_EQ(Problems(decoded), "");
        EXPECT_EQ(decoded.strOutput, source);
        EXPECT_EQ(decoded.nEntries, encoded.nEntries);
    }
}

TEST(DictSource, DecodingReadsEntriesAsTheLookupDoes) {
    // The optional "]" closes the translation; a "]" or "[" as the second byte of a character
    // (包 is A5 5D) belongs to the character.
    const DictConversion result =
        DecodeDictionaryFile("[SAVE=\xC0\x78\xA6\x73]\r\n[PACKAGE=\xA5\x5D\xB8\xCB\r\n", Main);
    EXPECT_EQ(Problems(result), "");
    EXPECT_EQ(result.strOutput, "SAVE=儲存\nPACKAGE=包裝\n");
}

struct FailingLine {
    EDictionaryKind kind;
    std::string source;
    int line;
    std::string message;  // a part of the message that names the fault
};

// Each check of the converter, with a source whose `line` fails it.
const FailingLine kEncodeChecks[] = {
    {Main, "FILE=檔案\nSAVE=儲𠀀\n", 2, "column 7: '𠀀' (U+20000) has no dictionary code"},
    {Main, "// a comment with 𠀀\n", 1, "column 19: '𠀀' (U+20000) has no dictionary code"},
    {Main, "FILE=檔x\n", 1, "column 7: the translation holds the single-byte character 'x'"},
    {Main, "FILE=檔 案\n", 1, "column 7: the translation holds the single-byte character U+0020"},
    {Main, "AS=另存新\n", 1, "the translation has 3 characters, more than the 2 of its key"},
    {PlugIn, "Page Setup=版面配置設定頁面與選項\n", 1, "the translation has 11 characters, more"},
    {Main, "File=檔案\n", 1, "lower-case key: a main dictionary is searched with upper-case keys"},
    {Main, "SAVE AS=另存\n", 1, "column 5: the key holds U+0020: a main dictionary is searched"},
    {Main, "ÉTAT=狀態\n", 1, "column 1: the key holds 'É' (U+00C9)"},
    {Main, "OPEN=開啟\nCLOSE=關閉\nOPEN=打開\n", 3,
     "duplicate key OPEN: the entry on line 1 is found first, this one never"},
    {PlugIn, "Open File=開檔\nOpen File=打開\n", 2, "duplicate key Open File: the entry on line 1"},
    {PlugIn, "Open File=開檔\nopen file=打開\n", 2,
     "the key is the key of line 1 in other letter case"},
    {PlugIn, "Path\\Name=路徑\n", 1,
     "column 5: the key holds '\\', which the plug-in scanner never takes into a run"},
    {PlugIn, "a[1]=甲\n", 1, "column 2: the key holds '['"},
    {PlugIn, "Ok=好\n", 1, "fewer than three letter changes"},
    {PlugIn, "HELP ME=救命\n", 1, "no lower-case letter"},
    {PlugIn, "Exit now=\n", 1, "empty translation"},
    {Main, "// see [OPEN=\n", 1, "the comment holds '['"},
    {Main, "FILE=檔案\nOPEN\n", 2, "neither an entry KEY=TRANSLATION nor a comment (//)"},
    {Main, "FILE=\xFF\n", 1, "column 6: not UTF-8"},
    {Main, "FILE=\xE6\xAA\n", 1, "column 6: not UTF-8"},
    {Main, "=檔案\n", 1, "empty key"},
    {Main, "SHELL=殼層\n", 1, "translating SHELL changes the dialog font name \"MS Shell Dlg\""},
    {Main, "OPEN=開啟\nTAHOMA=字\n", 2, "changes the dialog font name \"Tahoma\""},
    {Main, "TRANSLATION=翻譯\n", 1, "changes the version resource's key \"Translation\""},
    {Main, "STATIC=靜態\n", 1, "changes the window class name \"Static\""},
};

TEST(DictSource, EachCheckNamesTheFailingLine) {
    for (const FailingLine& c : kEncodeChecks) {
        const DictConversion result = EncodeDictionarySource(c.source, c.kind);
        ASSERT_FALSE(result.problems.empty()) << c.source;
        bool named = false;
        for (const DictProblem& problem : result.problems) {
            named = named || (problem.nLine == c.line &&
                              problem.strText.find(c.message) != std::string::npos);
        }
        EXPECT_TRUE(named) << c.source << "gave\n" << Problems(result);
    }
}

TEST(DictSource, WhatTheChecksAllow) {
    // A main dictionary may drop a word in word-by-word output with an empty translation, and a
    // translation may be as long as its key; a plug-in key keeps its case and punctuation.
    EXPECT_EQ(Problems(EncodeDictionarySource("THE=\nAB=甲乙\nFILE_NAME=檔名\n", Main)), "");
    EXPECT_EQ(Problems(EncodeDictionarySource("Save changes to %s?=儲存變更？\n", PlugIn)), "");
    // A font name's word is harmless while the name's translation does not fit it.
    EXPECT_EQ(Problems(EncodeDictionarySource("UI=介面\n", Main)), "");
}

TEST(DictSource, EntryWindowIsTheOneTheLookupUses) {
    // "[", a 61-letter key, "=", 32 characters and the line end's "]" take 128 bytes: the last
    // entry a single-phrase lookup still finds. One character more and it is lost; the checker
    // must draw the line where the engine does.
    std::string key;
    for (int i = 0; i < 30; ++i) {
        key += "AB";
    }
    key += "C";
    std::string fits;
    for (int i = 0; i < 32; ++i) {
        fits += "檔";
    }
    auto engine = std::make_unique<CTranslationEngine>();
    for (const std::string& translation : {fits, fits + "檔"}) {
        const DictConversion result = EncodeDictionarySource(key + "=" + translation + "\n", Main);
        std::string text = result.strOutput;
        CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(text.data()),
                                                  text.size());
        engine->m_strMainDict = text;
        std::string candidate = key;
        for (char& c : candidate) {
            c = static_cast<char>(c - 'A' + 'a');
        }
        engine->TranslateWord(candidate.c_str(), static_cast<int>(2 * candidate.size()));
        const bool found = engine->m_nResultLen > 0;
        EXPECT_EQ(found, result.problems.empty()) << Problems(result);
        EXPECT_EQ(found, translation == fits);
    }
    // A plug-in dictionary is searched with the 2048-byte window.
    EXPECT_EQ(Problems(EncodeDictionarySource("Abc" + std::string(1000, 'x') + "=" + fits, PlugIn)),
              "");
    const DictConversion tooLong =
        EncodeDictionarySource("Abc" + std::string(2000, 'x') + "=" + fits, PlugIn);
    EXPECT_NE(Problems(tooLong).find("more than the 2048-byte window"), std::string::npos);
    EXPECT_NE(Problems(tooLong).find("the key has 2003 characters"), std::string::npos);
}

TEST(DictSource, DecodingChecksWhatTheFileHolds) {
    const FailingLine checks[] = {
        {Main, "[FILE=\xC0\xC9\x81\x7F\r\n", 1, "column 8: bytes that are no character"},
        {Main, "[FILE=\xC0\xC9\nOPEN=x\r\n", 1, "a line break without CR LF"},
        {Main, "[FILE=\xC0\xC9\r\n[OPEN=\xB6\x7D", 2, "the last line has no CR LF"},
        {Main, "[FILE=\xC0\xC9]\xB6\x7D\r\n", 1, "column 9: text after the ']'"},
        {Main, "[FILE=\xC0\xC9\x00\r\n"s, 1, "a NUL byte ends the dictionary"},
        {Main, "FILE=\xC0\xC9\r\n", 1, "neither an entry ([KEY=TRANSLATION) nor a comment"},
        // The checks of a source apply to what a file holds as well.
        {Main, "[FILE=\xC0\xC9\r\n[FILE=\xC0\xC9\r\n", 2, "duplicate key FILE"},
        {Main, "[File=\xC0\xC9\r\n", 1, "lower-case key"},
    };
    for (const FailingLine& c : checks) {
        const DictConversion result = DecodeDictionaryFile(c.source, c.kind);
        bool named = false;
        for (const DictProblem& problem : result.problems) {
            named = named || (problem.nLine == c.line &&
                              problem.strText.find(c.message) != std::string::npos);
        }
        EXPECT_TRUE(named) << c.source << " gave\n" << Problems(result);
        // A fault is reported once, not again by the checks of what was read.
        EXPECT_EQ(result.problems.size(), 1u) << Problems(result);
    }
}

}  // namespace
