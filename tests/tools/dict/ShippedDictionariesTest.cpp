// The dictionaries VOKRA ships: made from their sources byte for byte, read back to their sources,
// and at work on the texts and the program file a user's first run meets.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "DictSource.h"
#include "DictionaryCode.h"
#include "TestFiles.h"
#include "TranslationEngine.h"

namespace {

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

std::string Utf8(std::u32string_view text) {
    std::string out;
    for (const char32_t ch : text) {
        if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else if (ch < 0x800) {
            out += static_cast<char>(0xC0 | ch >> 6);
            out += static_cast<char>(0x80 | (ch & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | ch >> 12);
            out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    return out;
}

// UTF-8 text (no characters beyond U+FFFF) as 16-bit little-endian units.
std::string Units16(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        unsigned ch = b;
        int extra = 0;
        if (b >= 0xE0) {
            ch = b & 0x0F, extra = 2;
        } else if (b >= 0xC0) {
            ch = b & 0x1F, extra = 1;
        }
        for (int k = 1; k <= extra; ++k) {
            ch = ch << 6 |
                 (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F);
        }
        out += static_cast<char>(ch & 0xFF);
        out += static_cast<char>(ch >> 8);
        i += static_cast<std::size_t>(extra) + 1;
    }
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
        EXPECT_TRUE(back.problems.empty()) << d.made << ":" << back.problems.front().nLine << ": "
                                           << back.problems.front().strText;
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
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            if (lead == '\n') {
                ++line;
            } else if (lead >= 0x80 && i + 1 < bytes.size()) {
                const auto trail = static_cast<unsigned char>(bytes[++i]);
                EXPECT_FALSE(IsExtensionPosition(lead, trail))
                    << made << ":" << line << ": "
                    << Utf8(DecodeDictionaryCode(bytes.substr(i - 1, 2)));
            }
        }
    }
}

class ShippedTranslation : public ::testing::Test {
  protected:
    void Load(const char* made) {
        std::string text = ReadFileBytes(kShare + "/" + made);
        CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(text.data()),
                                                  text.size());
        engine->m_strMainDict = text;
        engine->m_strPlugInDict = text;
    }
    // What the batch run lays into the run of `text`, as UTF-8; "" when it lays in nothing.
    std::string Sentence(const std::string& text) {
        const int runBytes = static_cast<int>(2 * text.size());
        engine->TranslateSentence(text.c_str(), runBytes, true);
        return Laid(runBytes);
    }
    std::string PlugIn(const std::string& text) {
        const int runBytes = static_cast<int>(2 * text.size());
        engine->TranslatePlugIn(text.c_str(), runBytes, false);
        return Laid(runBytes);
    }
    std::string Laid(int runBytes) const {
        if (engine->m_nResultLen == 0 || engine->m_nResultLen > runBytes) {
            return "";
        }
        return Utf8(DecodeDictionaryCode(
            std::string_view(engine->m_szResult, static_cast<std::size_t>(engine->m_nResultLen))));
    }

    std::unique_ptr<CTranslationEngine> engine = std::make_unique<CTranslationEngine>();
};

TEST_F(ShippedTranslation, TraditionalTermsAndComposedPhrases) {
    Load("message.txt");
    EXPECT_EQ(Sentence("&File"), "檔案");
    EXPECT_EQ(Sentence("&Edit"), "編輯");
    EXPECT_EQ(Sentence("&View"), "檢視");
    EXPECT_EQ(Sentence("&Help"), "說明");
    EXPECT_EQ(Sentence("&Open"), "開啟");
    EXPECT_EQ(Sentence("&Save"), "儲存");
    EXPECT_EQ(Sentence("E&xit"), "結束");
    // Word by word: each translated word takes the character after it.
    EXPECT_EQ(Sentence("Print Pre&view"), "列印預覽 ");
    EXPECT_EQ(Sentence("Save &As..."), "儲存為..  ");
    EXPECT_EQ(Sentence("Select &All"), "選取全部 ");
    EXPECT_EQ(Sentence("&Status Bar"), "狀態列 ");
    EXPECT_EQ(Sentence("File not found."), "檔案未找到  ");
}

TEST_F(ShippedTranslation, SimplifiedTermsAndComposedPhrases) {
    Load("message1.txt");
    EXPECT_EQ(Sentence("&File"), "文件");
    EXPECT_EQ(Sentence("&Edit"), "编辑");
    EXPECT_EQ(Sentence("&View"), "查看");
    EXPECT_EQ(Sentence("&Help"), "帮助");
    EXPECT_EQ(Sentence("&Open"), "打开");
    EXPECT_EQ(Sentence("&Save"), "保存");
    EXPECT_EQ(Sentence("E&xit"), "退出");
    EXPECT_EQ(Sentence("Print Pre&view"), "打印预览 ");
    EXPECT_EQ(Sentence("Save &As..."), "保存为..  ");
    EXPECT_EQ(Sentence("Select &All"), "选择全部 ");
    EXPECT_EQ(Sentence("&Status Bar"), "状态栏 ");
    EXPECT_EQ(Sentence("File not found."), "文件未找到  ");
}

TEST_F(ShippedTranslation, PlugInPhrasesAreWholeRuns) {
    Load("user.txt");
    EXPECT_EQ(PlugIn("Are you sure you want to exit?"), "確定要結束嗎？");
    EXPECT_EQ(PlugIn("Page Setup"), "版面設定");
    EXPECT_EQ(PlugIn("File not found."), "找不到檔案。");
}

// A real Windows program, translated by vokra-batch with the shipped dictionaries.
class ShippedProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::string(VOKRA_SAMPLE_PROGRAM).empty()) {
            GTEST_SKIP() << "no mingw-w64 tools to build the sample program";
        }
    }
    // The program translated in `direction` ("" or "-S"); the file's bytes afterwards.
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
        EXPECT_NE(translated.find(Units16("MS Shell Dlg")), std::string::npos);
        return translated;
    }

    CTempDir dir;
};

TEST_F(ShippedProgram, ShowsTraditionalChinese) {
    const std::string file = Translate("");
    for (const char* text : {"檔案", "編輯", "檢視", "說明", "開啟..", "儲存為..", "列印預覽 ",
                             "結束", "複製", "選取全部 ", "狀態列 ", "關於", "尋找", "符合大小寫 ",
                             "尋找下一個 ", "取消", "檔案未找到  "}) {
        EXPECT_NE(file.find(Units16(text)), std::string::npos) << text;
    }
}

TEST_F(ShippedProgram, ShowsSimplifiedChineseWithCharactersOutsideBig5) {
    const std::string file = Translate("-S");
    // 预, 览, 复, 状, 态, 栏 and others are not in BIG5: they come out as their own code points.
    for (const char* text : {"文件", "编辑", "查看", "帮助", "打开..", "保存为..", "打印预览 ",
                             "退出", "复制", "选择全部 ", "状态栏 ", "关于", "查找", "匹配大小写 ",
                             "查找下一个 ", "取消", "文件未找到  "}) {
        EXPECT_NE(file.find(Units16(text)), std::string::npos) << text;
    }
}

}  // namespace
