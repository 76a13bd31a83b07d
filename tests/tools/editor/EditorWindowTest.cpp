// vokra-edit's window on real files, headless.
#include "EditorWindow.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <filesystem>

#include "FailureReport.h"
#include "TestFiles.h"

using namespace std::string_literals;

namespace {

class EditorWindow : public ::testing::Test {
  protected:
    EditorWindow() {
        SetFailureBoxCapture([this](const QString& text) { boxes.push_back(text); });
        window.m_fnNotify = [this](const QString& text) { notices.push_back(text); };
        window.m_fnAskSave = [this](const QString& question) {
            questions.push_back(question);
            return answer;
        };
    }
    ~EditorWindow() override { SetFailureBoxCapture(nullptr); }

    // Types `text` at line `line`, column `column` (both from 0).
    void TypeAt(int line, int column, const QString& text) {
        QTextCursor cursor(window.Editor()->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, column);
        window.Editor()->setTextCursor(cursor);
        window.Editor()->insertPlainText(text);
    }

    bool Close() {
        QCloseEvent event;
        QCoreApplication::sendEvent(&window, &event);
        return event.isAccepted();
    }

    CTempDir dir;
    CEditorWindow window;
    std::vector<QString> boxes;
    std::vector<QString> notices;
    std::vector<QString> questions;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
};

// Header lines, entries whose characters have "}", "]" and "[" as second bytes (開, 包, 久).
const std::string kFile =
    "// \xAD\xEC\xA4\xE5\xC0\xC9\xA1\x47"
    "App.exe\r\n[Open=\xB6\x7D\xB1\xD2\r\n"
    "[Package=\xA5\x5D\xB8\xCB\r\n[Long=\xA4\x5B\r\n";

TEST_F(EditorWindow, OpensInTheDictionaryCodeAndSavesChangesInIt) {
    WriteFileBytes(dir / "App.txt", kFile);
    window.Open(dir / "App.txt");
    EXPECT_EQ(window.Editor()->toPlainText(),
              QString::fromUtf8("// 原文檔：App.exe\n[Open=開啟\n[Package=包裝\n[Long=久\n"));
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_TRUE(window.windowTitle().startsWith(QString::fromUtf8("App.txt[*]")));

    TypeAt(3, 7, QString::fromUtf8("遠"));
    TypeAt(4, 0, QString::fromUtf8("[Exit=結束\n"));
    EXPECT_TRUE(window.isWindowModified());
    ASSERT_TRUE(window.Save());
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(ReadFileBytes(dir / "App.txt"),
              "// \xAD\xEC\xA4\xE5\xC0\xC9\xA1\x47"
              "App.exe\r\n[Open=\xB6\x7D\xB1\xD2\r\n"
              "[Package=\xA5\x5D\xB8\xCB\r\n[Long=\xA4\x5B\xBB\xB7\r\n[Exit=\xB5\xB2\xA7\xF4\r\n");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(EditorWindow, AnUntouchedFileIsSavedByteForByte) {
    // Line feeds alone and mixed line ends, a lone CR, NUL and control bytes, broken and
    // doubly held characters, no line end at the end.
    const std::string file = "[A=\xB6\x7D\n[B=\xA5\x5D\r\n\r\n[C\r="s + "\0\x1B\x7F\xA4\n"s +
                             "\xA4\x30\x84\x41\xA2\xCC\xA4\x51 end"s;
    WriteFileBytes(dir / "odd.txt", file);
    window.Open(dir / "odd.txt");
    ASSERT_TRUE(window.Save());
    EXPECT_EQ(ReadFileBytes(dir / "odd.txt"), file);

    // Changed and changed back by Undo: not modified, and still the same bytes.
    TypeAt(0, 1, "x");
    window.Editor()->undo();
    EXPECT_FALSE(window.isWindowModified());
    ASSERT_TRUE(window.Save());
    EXPECT_EQ(ReadFileBytes(dir / "odd.txt"), file);

    // A changed line takes CR LF; the lines after it keep theirs.
    TypeAt(0, 0, "x");
    ASSERT_TRUE(window.Save());
    EXPECT_EQ(ReadFileBytes(dir / "odd.txt"),
              "x[A=\xB6\x7D\r\n" + file.substr(file.find('\n') + 1));
}

TEST_F(EditorWindow, ACharacterWithoutACodeIsRefusedAndNothingIsWritten) {
    WriteFileBytes(dir / "App.txt", kFile);
    window.Open(dir / "App.txt");
    TypeAt(2, 6, QString::fromUtf8("é"));
    EXPECT_FALSE(window.Save());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0],
              QString::fromUtf8("第 3 行第 7 個字「é」無法以字典檔的內碼存放, 檔案沒有儲存."));
    EXPECT_EQ(ReadFileBytes(dir / "App.txt"), kFile);
    EXPECT_TRUE(window.isWindowModified());
    // The cursor shows the character.
    EXPECT_EQ(window.Editor()->textCursor().selectedText(), QString::fromUtf8("é"));

    // After a character outside the 16-bit range, columns still count characters.
    window.Editor()->undo();
    TypeAt(0, 0, QString::fromUtf8("\U0001F600\U0001F601"));
    EXPECT_FALSE(window.Save());
    EXPECT_EQ(
        boxes.back(),
        QString::fromUtf8("第 1 行第 1 個字「\U0001F600」無法以字典檔的內碼存放, 檔案沒有儲存."));
    EXPECT_EQ(ReadFileBytes(dir / "App.txt"), kFile);
}

TEST_F(EditorWindow, ASaveThatFailsSaysSoAndKeepsTheChanges) {
    const std::string folder = dir / "gone";
    std::filesystem::create_directory(folder);
    WriteFileBytes(folder + "/App.txt", kFile);
    window.Open(folder + "/App.txt");
    TypeAt(0, 0, "x");
    std::filesystem::remove_all(folder);
    EXPECT_FALSE(window.Save());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], QString::fromStdString("沒有找到 " + folder + "/App.txt ."));
    EXPECT_TRUE(window.isWindowModified());
}

TEST_F(EditorWindow, ABareNameIsFoundInTheCurrentFolder) {
    WriteFileBytes(dir / "App.txt", kFile);
    CScopedCurrentDir here(dir.Path());
    window.Open("App.txt");
    TypeAt(0, 0, "x");
    ASSERT_TRUE(window.Save());
    EXPECT_EQ(ReadFileBytes(dir / "App.txt"), "x" + kFile);
}

TEST_F(EditorWindow, ClosingWithUnsavedChangesAsksFirst) {
    WriteFileBytes(dir / "App.txt", kFile);
    window.Open(dir / "App.txt");
    EXPECT_TRUE(Close());
    EXPECT_TRUE(questions.empty());

    TypeAt(0, 0, "x");
    answer = QMessageBox::Cancel;
    EXPECT_FALSE(Close());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], QString::fromUtf8("App.txt 已經修改過了, 要儲存變更嗎?"));

    answer = QMessageBox::Discard;
    EXPECT_TRUE(Close());
    EXPECT_EQ(ReadFileBytes(dir / "App.txt"), kFile);

    answer = QMessageBox::Save;
    EXPECT_TRUE(Close());
    EXPECT_EQ(ReadFileBytes(dir / "App.txt"), "x" + kFile);

    // A save that is refused keeps the window open.
    TypeAt(0, 0, QString::fromUtf8("é"));
    EXPECT_FALSE(Close());
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(EditorWindow, FindNextGoesRoundAndMindsLetterCaseWhenAsked) {
    WriteFileBytes(dir / "App.txt", "[Open=\xB6\x7D\r\n[OPEN FILE=\xB6\x7D\r\n");
    window.Open(dir / "App.txt");
    const QTextDocument* document = window.Editor()->document();

    ASSERT_TRUE(window.FindNext("open", false));
    EXPECT_EQ(window.Editor()->textCursor().selectionStart(), 1);
    ASSERT_TRUE(window.FindNext("open", false));
    EXPECT_EQ(window.Editor()->textCursor().selectionStart(),
              document->findBlockByNumber(1).position() + 1);
    // Past the last match it starts again from the top.
    ASSERT_TRUE(window.FindNext("open", false));
    EXPECT_EQ(window.Editor()->textCursor().selectionStart(), 1);

    ASSERT_TRUE(window.FindNext("OPEN", true));
    EXPECT_EQ(window.Editor()->textCursor().selectionStart(),
              document->findBlockByNumber(1).position() + 1);
    ASSERT_TRUE(window.FindNext(QString::fromUtf8("開"), true));
    EXPECT_TRUE(notices.empty());

    EXPECT_FALSE(window.FindNext("oPEN", true));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], QString::fromUtf8("找不到「oPEN」."));
}

}  // namespace
