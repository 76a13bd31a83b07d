// The dictionaries VOKRA ships: made from their sources byte for byte, read back to their sources,
// and at work on the texts and the program file a user's first run meets.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "DictSource.h"
#include "DictionaryCode.h"
#include "TestFiles.h"
#include "TranslationEngine.h"

namespace {

using namespace dictsource;

struct Shipped {
    const char* source;  // in data/dict/
    const char* made;    // in data/ and in the build's share/vokra/
    EDictionaryKind kind;
    int minEntries;
};

const Shipped kShipped[] = {
    {"traditional.txt", "message.txt", EDictionaryKind::Main, 4000},
    {"simplified.txt", "message1.txt", EDictionaryKind::Main, 4000},
    {"phrases.txt", "user.txt", EDictionaryKind::PlugIn, 500},
};

const std::string kData = VOKRA_DATA_DIR;
const std::string kShare = VOKRA_SHARE_DIR;

// Text as 16-bit little-endian units, as a program file holds it.
std::string Units16(std::u16string_view text) {
    std::string out;
    for (const char16_t ch : text) {
        out += static_cast<char>(ch & 0xFF);
        out += static_cast<char>(ch >> 8);
    }
    return out;
}

std::string Code(std::u32string_view text) {
    std::string out;
    EXPECT_TRUE(EncodeDictionaryCode(text, out, nullptr));
    return out;
}

TEST(ShippedDictionaries, MadeFilesAreTheShippedOnes) {
    for (const Shipped& d : kShipped) {
        const std::string made = ReadFileBytes(kShare + "/" + d.made);
        EXPECT_FALSE(made.empty()) << d.made;
        EXPECT_TRUE(made == ReadFileBytes(kData + "/" + d.made))
            << "data/" << d.made << " differs from what its source makes: "
            << "cmake --build <build> --target update-dictionaries";
    }
}

TEST(ShippedDictionaries, ReadBackToTheirSourcesWithoutProblems) {
    for (const Shipped& d : kShipped) {
        const DictConversion back =
            DecodeDictionaryFile(ReadFileBytes(kData + "/" + d.made), d.kind);
        for (const DictProblem& problem : back.problems) {
            ADD_FAILURE() << d.made << ":" << problem.nLine << ": " << problem.strText;
        }
        EXPECT_TRUE(back.strOutput == ReadFileBytes(kData + "/dict/" + d.source)) << d.source;
        EXPECT_GE(back.nEntries, d.minEntries) << d.made;
    }
}

// Positions of the conversion tables that hold characters outside BIG5 (Simplified characters
// among them): the trails 0x80 to 0xA0, the rows 0x81 to 0x83, 0x8E to 0xA0 and 0xC8, and the few
// cells of 0xA3 and 0xC7 the tables add.
bool IsExtensionPosition(unsigned lead, unsigned trail) {
    return (trail >= 0x80 && trail <= 0xA0) || (lead >= 0x81 && lead <= 0x83) ||
           (lead >= 0x8E && lead <= 0xA0) || lead == 0xC8 ||
           (lead == 0xA3 && trail >= 0xC0 && trail != 0xE1) || (lead == 0xC7 && trail >= 0xFD);
}

// A Simplified character that slipped into a Traditional dictionary would be written all the
// same, through an extension position; the Traditional files must not need any.
TEST(ShippedDictionaries, TraditionalFilesHoldOnlyBig5Characters) {
    for (const char* made : {"message.txt", "user.txt"}) {
        const std::string bytes = ReadFileBytes(kData + "/" + made);
        int line = 1;
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            if (lead == '\n') {
                ++line;
            } else if (lead >= 0x80) {
                const auto trail = static_cast<unsigned char>(bytes[++i]);
                EXPECT_FALSE(IsExtensionPosition(lead, trail))
                    << made << ":" << line << ": code " << std::hex << (lead << 8 | trail);
            }
        }
    }
}

TEST(ShippedDictionaries, PlugInPhrasesAreWholeRuns) {
    std::string text = ReadFileBytes(kShare + "/user.txt");
    CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(text.data()),
                                              text.size());
    auto engine = std::make_unique<CTranslationEngine>();
    engine->m_strPlugInDict = text;
    const std::pair<std::string, std::u32string> phrases[] = {
        {"Are you sure you want to exit?", U"確定要結束嗎？"},
        {"Page Setup", U"版面設定"},
        {"File not found.", U"找不到檔案。"},
    };
    for (const auto& [english, chinese] : phrases) {
        engine->TranslatePlugIn(english.c_str(), static_cast<int>(2 * english.size()), false);
        EXPECT_EQ(std::string(engine->m_szResult, static_cast<std::size_t>(engine->m_nResultLen)),
                  Code(chinese))
            << english;
    }
}

// A real Windows program, translated by vokra-batch with the shipped dictionaries.
class ShippedProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::string(VOKRA_SAMPLE_PROGRAM).empty()) {
            GTEST_SKIP() << "no mingw-w64 tools to build the sample program";
        }
    }
    // The program translated with `options` ("", "-S", "--whole-file"); the file's bytes after.
    std::string Translate(const std::string& direction) {
        const std::string original = ReadFileBytes(VOKRA_SAMPLE_PROGRAM);
        WriteFileBytes(dir / "sample.exe", original);
        const std::string command = "'" VOKRA_BATCH "' -q -d '" + kShare + "' " + direction + " '" +
                                    (dir / "sample.exe") + "' >/dev/null";
        const int raw = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
        std::string translated = ReadFileBytes(dir / "sample.exe");
        EXPECT_EQ(translated.size(), original.size());
        // The dialog keeps its font.
        EXPECT_NE(translated.find(Units16(u"MS Shell Dlg")), std::string::npos);
        return translated;
    }
    // Each text, as the batch run lays it in, the blank fill included; menus and dialogs use the
    // standard terms of the locale, with their access keys.
    void ExpectTexts(const std::string& file, std::initializer_list<std::u16string_view> texts) {
        int item = 0;
        for (const std::u16string_view text : texts) {
            EXPECT_NE(file.find(Units16(text)), std::string::npos) << "text " << item;
            ++item;
        }
    }

    CTempDir dir;
};

TEST_F(ShippedProgram, ShowsTraditionalChinese) {
    ExpectTexts(Translate(""),
                {u"檔案&F ", u"編輯&E ", u"檢視&V ", u"說明&H ", u"開啟(&O)… ", u"儲存為(&A)... ",
                 u"列印預覽(&V)      ", u"結束&X ", u"複製&C ", u"選取全部(&A)   ",
                 u"狀態列(&S)    ", u"關於(&A)", u"尋找  ", u"符合大小寫(&C)  ", u"尋找下一個(&N) ",
                 u"取消    ", u"檔案未找到.         "});
}

TEST_F(ShippedProgram, ShowsSimplifiedChineseWithCharactersOutsideBig5) {
    // 预, 览, 复, 状, 态, 栏 and others are not in BIG5: they come out as their own code points.
    ExpectTexts(Translate("-S"),
                {u"文件&F ", u"编辑&E ", u"查看&V ", u"帮助&H ", u"打开(&O)… ", u"保存为(&A)... ",
                 u"打印预览(&V)      ", u"退出&X ", u"复制&C ", u"选择全部(&A)   ",
                 u"状态栏(&S)    ", u"关于(&A)", u"查找  ", u"匹配大小写(&C)  ", u"查找下一个(&N) ",
                 u"取消    ", u"文件未找到.         "});
}

// The whole-file walk, asked for, still translates every run it finds, as it always did.
TEST_F(ShippedProgram, TheWholeFileWalkStaysAvailable) {
    ExpectTexts(Translate("--whole-file"),
                {u"檔案", u"編輯", u"檢視", u"說明", u"開啟..", u"儲存為..  ", u"列印預覽 ",
                 u"結束", u"複製", u"選取全部 ", u"狀態列 ", u"關於", u"尋找", u"符合大小寫 ",
                 u"尋找下一個 ", u"取消", u"檔案未找到  "});
}

}  // namespace
