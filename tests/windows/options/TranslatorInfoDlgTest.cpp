// The translator identity dialog and the record it writes.
#include "TranslatorInfoDlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "FailureReport.h"
#include "TestFiles.h"
#include "TranslatorInfoDlgIds.h"

namespace {

using namespace ids::translator;

class TranslatorDialog : public ::testing::Test {
  protected:
    TranslatorDialog() : cwd(dir.Path()) {
        SetFailureBoxCapture([this](const QString& text) { boxes << text; });
    }
    ~TranslatorDialog() override { SetFailureBoxCapture(nullptr); }

    // Types the three texts and presses "確 定".
    void Confirm(const QString& name, const QString& url, const QString& email) {
        CTranslatorInfoDlg dlg(state, nullptr);
        dlg.Controls().Get<QLineEdit>(kName)->setText(name);
        dlg.Controls().Get<QLineEdit>(kUrl)->setText(url);
        dlg.Controls().Get<QLineEdit>(kEmail)->setText(email);
        dlg.Controls().Get<QPushButton>(kConfirm)->click();
    }

    CTempDir dir;
    CScopedCurrentDir cwd;
    AppState state;
    QStringList boxes;
};

TEST_F(TranslatorDialog, WritesThreeZeroFilledSlots) {
    Confirm("陳小明", "example.org", "ming@example.org");
    std::string expected(384, '\0');
    expected.replace(0, 6, "\xB3\xAF\xA4\x70\xA9\xFA");
    expected.replace(128, 11, "example.org");
    expected.replace(256, 16, "ming@example.org");
    EXPECT_EQ(ReadFileBytes(dir / "VOKRA.DAT"), expected);
    EXPECT_STREQ(state.m_szTranslatorUrl, "example.org");
}

TEST_F(TranslatorDialog, OnlyAnEmailGivenLeavesTheOtherSlotsEmpty) {
    Confirm("", "", "a@b.c");
    const std::string record = ReadFileBytes(dir / "VOKRA.DAT");
    ASSERT_EQ(record.size(), 384u);
    EXPECT_EQ(record[0], '\0');
    EXPECT_EQ(record[128], '\0');
    EXPECT_EQ(record.substr(256, 6), std::string("a@b.c\0", 6));
}

TEST_F(TranslatorDialog, NothingTypedWritesNothing) {
    Confirm("", "", "");
    EXPECT_FALSE(std::filesystem::exists(dir / "VOKRA.DAT"));
}

TEST_F(TranslatorDialog, LongTextsAreCutAtACharacterBoundaryAndLongerFilesKeepTheirTail) {
    WriteFileBytes(dir / "VOKRA.DAT", std::string(400, 'x'));
    Confirm(QString(200, 'n'), QString("a") + QString(70, QChar(0x4E2D)), "");  // 中 is 2 bytes
    const std::string record = ReadFileBytes(dir / "VOKRA.DAT");
    ASSERT_EQ(record.size(), 400u);
    EXPECT_EQ(record.substr(0, 128), std::string(127, 'n') + '\0');
    // "a" and 63 whole characters fill 127 bytes; the 64th would not fit whole.
    std::string url = "a";
    for (int i = 0; i < 63; ++i) {
        url += "\xA4\xA4";
    }
    EXPECT_EQ(record.substr(128, 128), url + '\0');
    EXPECT_EQ(record.substr(384), std::string(16, 'x'));
}

TEST_F(TranslatorDialog, CharacterWithoutACodeIsRefusedAndNothingIsWritten) {
    Confirm("Ann", "", "a\xF0\x9F\x98\x80@b.c");  // an emoji
    EXPECT_FALSE(std::filesystem::exists(dir / "VOKRA.DAT"));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0],
              "信箱 的第 2 個字「\xF0\x9F\x98\x80」無法以字典檔的內碼存放, 請改用其他字.");
    EXPECT_STREQ(state.m_szTranslatorName, "");
}

TEST_F(TranslatorDialog, ShowsTheIdentityItWasOpenedWith) {
    CopyText(state.m_szTranslatorName, "\xB3\xAF\xA4\x70\xA9\xFA");
    CTranslatorInfoDlg dlg(state, nullptr);
    EXPECT_EQ(dlg.Controls().Get<QLineEdit>(kName)->text(), "陳小明");
}

}  // namespace
