// The translation text file: what Translate writes is what Write and Mender read back.
#include "TranslationFile.h"

#include <gtest/gtest.h>

#include "TestBytes.h"

namespace {

TranslationFileFacts Facts(TranslationFileFacts::EType type) {
    TranslationFileFacts facts;
    facts.strDir = "/home/ann/app/";
    facts.strFname = "Setup Tool";
    facts.strExt = ".exe";
    facts.type = type;
    facts.strTranslatorName = Big5("王小明");
    facts.nYear = 2026;
    facts.nMonth = 12;
    facts.nDay = 7;
    return facts;
}

TEST(TranslationFile, TheHeaderWrittenForEitherDirectionNamesItsProgramToTheReader) {
    for (const auto type : {TranslationFileFacts::EType::Big5, TranslationFileFacts::EType::Gb,
                            TranslationFileFacts::EType::None}) {
        const std::string file = TranslationFileHeader(Facts(type)) + "[Open=" + kOpenZh + "\r\n";
        EXPECT_TRUE(HasProgramLine(file));
        EXPECT_EQ(HeaderProgramName(file), "Setup Tool.exe");
        // The fourth line, as a user reads it in the editor.
        EXPECT_NE(file.find("\r\n" + Big5("// 原文檔：") + "Setup Tool.exe\r\n"),
                  std::string::npos);
    }
}

TEST(TranslationFile, TheProgramFileNameComesFromTheFourthLine) {
    // An editor may have saved it with line feeds alone.
    EXPECT_EQ(HeaderProgramName("1\n2\n3\n" + Big5("// 原文檔：") + "A.DLL\nx"), "A.DLL");
    EXPECT_EQ(HeaderProgramName("1\r\n2\r\n3\r\n" + Big5("// 原文檔：") + "B.OCX"), "B.OCX");
    // On another line, or with another label, it is not the header's.
    EXPECT_EQ(HeaderProgramName(Big5("// 原文檔：") + "A.DLL\r\n"), "");
    EXPECT_EQ(HeaderProgramName("1\r\n2\r\n3\r\n" + Big5("// 備份檔：") + "A.BAK\r\n"), "");
    EXPECT_FALSE(HasProgramLine("1\r\n2\r\n3\r\n"));
}

TEST(TranslationFile, AnEntryIsTheEditedDictionarysKeyAndTranslation) {
    std::string file;
    AppendTranslationEntry(file, "Open File", kFileZh);
    EXPECT_EQ(file, "[Open File=" + kFileZh + "\r\n");

    CTranslationEngine engine;
    LoadEditedDictionary(engine, "// header\r\n" + file);
    engine.LookupEditedTranslation("Open File", 2 * 9 + 2);
    EXPECT_EQ(std::string(engine.m_szResult, static_cast<std::size_t>(engine.m_nResultLen)),
              kFileZh);
}

}  // namespace
