// The manual window as a user drives it, headless.
#include "ManualDlg.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <filesystem>

#include "FailureReport.h"
#include "ManualDlgIds.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "Timing.h"

namespace {

using namespace ids::manual;

std::function<void()> g_duringPass;
int TestPump() {
    if (g_duringPass) {
        g_duringPass();
    }
    QCoreApplication::processEvents();
    return 1;
}

class ManualWindow : public ::testing::Test {
  protected:
    ManualWindow() : cwd(dir.Path()) {
        ApplyStartupDefaults(state);
        state.m_bToTraditional = 1;
        state.m_bOpenInNotepad = 1;
        CopyText(state.m_szProgramDir, dir.Path());
        engine.m_strMainDict = PreparedDictionary({"[OPEN=" + kOpenZh});
        std::filesystem::create_directory(dir / "files");
        SetFailureBoxCapture([this](const QString& text) { boxes << text; });
    }
    ~ManualWindow() override {
        g_duringPass = nullptr;
        SetFailureBoxCapture(nullptr);
        SetMessagePump(nullptr);
    }

    std::unique_ptr<CManualDlg> Open(const QStringList& files) {
        auto dlg = std::make_unique<CManualDlg>(state, engine, nullptr);
        dlg->m_fnChooseFiles = [files](QWidget*) { return files; };
        dlg->m_fnOpenEditor = [this](const std::string& name) { editors.push_back(name); };
        SetMessagePump(TestPump, 1, 0);
        return dlg;
    }
    static void Click(CManualDlg& dlg, int id) { dlg.Controls().Get<QPushButton>(id)->click(); }
    static std::vector<bool> Enabled(CManualDlg& dlg) {
        std::vector<bool> states;
        for (int id :
             {kLoad, kTranslate, kWrite, kStop, kEnd, kBackupExtList, kTranslationExtList}) {
            states.push_back(dlg.Controls().Control(id)->isEnabled());
        }
        return states;
    }
    QString File(const std::string& name) {
        return QString::fromStdString(dir / ("files/" + name));
    }

    CTempDir dir;
    CScopedCurrentDir cwd;
    AppState state;
    CTranslationEngine engine;
    QStringList boxes;
    std::vector<std::string> editors;
};

TEST_F(ManualWindow, SetUpLoadTranslateAndWrite) {
    for (const char* name : {"a.exe", "b.exe", "c.exe"}) {
        WriteFileBytes(dir / (std::string("files/") + name), Units("Open") + std::string(2, '\0'));
    }
    auto dlg = Open({File("a.exe"), File("b.exe"), File("c.exe")});
    EXPECT_EQ(dlg->windowTitle(), " 手動介面 ");
    EXPECT_EQ(state.m_nActiveDialog, 2);
    // Load, Translate, Write, Stop, End, the two lists
    EXPECT_EQ(Enabled(*dlg), (std::vector<bool>{true, false, false, false, true, true, true}));
    EXPECT_EQ(dlg->StatusBar().Text(1), "               ");
    EXPECT_EQ(dlg->StatusBar().Text(4), "狀態: 無動作   ");

    Click(*dlg, kLoad);
    EXPECT_EQ(dlg->windowTitle(), " 手動介面  - [1/3] a.exe ");
    EXPECT_EQ(Enabled(*dlg), (std::vector<bool>{true, true, true, false, true, true, true}));
    EXPECT_EQ(state.m_nManualFileCount, 3);
    EXPECT_EQ(state.m_nFileCount, 0);  // the main window's list keeps its own count

    std::vector<std::vector<bool>> running;
    bool closed = false;
    g_duringPass = [&] {
        if (state.m_bStopped == 0) {
            running.push_back(Enabled(*dlg));
            closed = closed || dlg->close();
        }
    };
    Click(*dlg, kTranslate);
    ASSERT_FALSE(running.empty());
    EXPECT_EQ(running[0], (std::vector<bool>{false, false, false, true, false, false, false}));
    EXPECT_FALSE(closed);
    EXPECT_EQ(dlg->windowTitle(), " 手動介面  - [3/3] c.exe");
    EXPECT_EQ(dlg->Controls().Get<QGroupBox>(kProgressBox)->title(), "翻譯進度");
    EXPECT_EQ(dlg->View().ShownTranslationLine(0), "開啟");
    EXPECT_EQ(editors, (std::vector<std::string>{dir / "files/a.TXT", dir / "files/b.TXT",
                                                 dir / "files/c.TXT"}));

    Click(*dlg, kWrite);
    EXPECT_EQ(dlg->Controls().Get<QGroupBox>(kCountBox)->title(), "寫入句數");
    EXPECT_EQ(ReadFileBytes(dir / "files/b.exe").substr(0, 4), "\x8B\x95\x5F\x55");
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_TRUE(dlg->close());
}

TEST_F(ManualWindow, StopAbandonsTheCurrentFileAndEndCloses) {
    WriteFileBytes(dir / "files/a.exe", Units("Open") + std::string(2, '\0'));
    auto dlg = Open({File("a.exe")});
    Click(*dlg, kLoad);
    Click(*dlg, kTranslate);
    g_duringPass = [&] {
        if (state.m_bStopped == 0) {
            Click(*dlg, kStop);
        }
    };
    Click(*dlg, kWrite);
    g_duringPass = nullptr;
    EXPECT_EQ(ReadFileBytes(dir / "files/a.exe"), Units("Open") + std::string(2, '\0'));
    EXPECT_EQ(ReadFileBytes(dir / "files/a.BAK"), Units("Open") + std::string(2, '\0'));
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(Enabled(*dlg), (std::vector<bool>{true, true, true, false, true, true, true}));
    Click(*dlg, kEnd);
    EXPECT_FALSE(dlg->isVisible());
}

}  // namespace
