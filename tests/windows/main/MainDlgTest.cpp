// The main window as a user drives it, headless: start-up, Load, Start, Stop, close, file errors.
#include "MainDlg.h"

#include <gtest/gtest.h>

#include <QAction>

#include <unistd.h>

#include <QCoreApplication>
#include <QPushButton>
#include <filesystem>
#include <functional>

#include "FailureReport.h"
#include "MainDlgIds.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "Timing.h"

namespace {

using namespace ids::main;

const std::string kEnd(2, '\0');
const std::string kOpenTranslated = std::string("\x8B\x95\x5F\x55\x20\x00\x20\x00", 8) + kEnd;

// Runs inside the pass at every real pump, before the window's own event handling.
std::function<void()> g_duringPass;
CMainDlg* g_pWindow = nullptr;
int TestPump() {
    if (g_duringPass) {
        g_duringPass();
    }
    QCoreApplication::processEvents();
    return 1;
}

class MainWindow : public ::testing::Test {
  protected:
    MainWindow() : cwd(dir.Path()) {
        WriteFileBytes(dir / "message.txt", "[OPEN=" + kOpenZh + "\r\n");
        WriteFileBytes(dir / "VOKRA.DAT", std::string(384, '\0'));
        SetFailureBoxCapture([this](const QString& text) { boxes << text; });
    }
    ~MainWindow() override {
        g_duringPass = nullptr;
        SetFailureBoxCapture(nullptr);
    }

    // The window after its start-up, with the test's pump and file choice in place.
    std::unique_ptr<CMainDlg> Open() {
        auto dlg = std::make_unique<CMainDlg>(state, engine, CMainDlg::Openers{});
        dlg->OnInitDialog();
        g_pWindow = dlg.get();
        SetMessagePump(TestPump, 1, 0);
        dlg->m_fnChooseFiles = [this](QWidget*) { return chosen; };
        QCoreApplication::processEvents();
        return dlg;
    }

    static void Click(CMainDlg& dlg, int id) { dlg.Controls().Get<QPushButton>(id)->click(); }
    static bool Enabled(CMainDlg& dlg, int id) { return dlg.Controls().Control(id)->isEnabled(); }
    static std::vector<bool> Buttons(CMainDlg& dlg) {
        std::vector<bool> states;
        for (int id : {kLoad, kStart, kExit, kSettings, kStop, kManual}) {
            states.push_back(Enabled(dlg, id));
        }
        return states;
    }

    void Choose(const std::vector<std::string>& names) {
        chosen.clear();
        for (const std::string& name : names) {
            chosen << QString::fromStdString(dir / ("files/" + name));
        }
    }

    CTempDir dir;
    CScopedCurrentDir cwd;
    AppState state;
    CTranslationEngine engine;
    QStringList chosen;
    QStringList boxes;
};

TEST_F(MainWindow, StartsIdleWithTheInitialTexts) {
    auto dlg = Open();
    EXPECT_EQ(dlg->windowTitle(), " VOKRA v2.1  ");
    // Load, Start, Exit, Settings, Stop, Manual
    EXPECT_EQ(Buttons(*dlg), (std::vector<bool>{true, false, true, true, false, true}));
    EXPECT_EQ(dlg->StatusBar().Text(2), "標案: 0        ");
    EXPECT_EQ(dlg->StatusBar().Text(3), "翻譯比: 0%     ");
    EXPECT_EQ(dlg->StatusBar().Text(4), "狀態: 無動作   ");
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(std::string(state.m_szProgramDir), dir.Path());
}

TEST_F(MainWindow, LoadShowsTheFirstFileAndEnablesStart) {
    std::filesystem::create_directory(dir / "files");
    auto dlg = Open();
    Choose({"one.exe", "two.dll", "three.ocx"});
    Click(*dlg, kLoad);
    EXPECT_EQ(dlg->windowTitle(), " VOKRA v2.1  - [1/3] one.exe ");
    EXPECT_EQ(dlg->View().ShownFileName().toStdString(), dir / "files/one.exe");
    EXPECT_TRUE(Enabled(*dlg, kStart));
    EXPECT_EQ(state.m_nFileCount, 3);
    // Backups will land beside the chosen files.
    EXPECT_EQ(std::filesystem::current_path().string(), dir / "files");

    // A cancelled choice keeps the list.
    chosen.clear();
    Click(*dlg, kLoad);
    EXPECT_EQ(state.m_nFileCount, 3);
    EXPECT_TRUE(Enabled(*dlg, kStart));
}

TEST_F(MainWindow, StopInsideTheSecondOfThreeFilesAbandonsOnlyThatFile) {
    std::filesystem::create_directory(dir / "files");
    for (const char* name : {"one.exe", "two.exe", "three.exe"}) {
        WriteFileBytes(dir / (std::string("files/") + name), Units("Open") + kEnd);
    }
    auto dlg = Open();
    Choose({"one.exe", "two.exe", "three.exe"});
    Click(*dlg, kLoad);

    std::vector<std::vector<bool>> duringPass;
    bool closed = true;
    g_duringPass = [&] {
        if (state.m_bStopped != 0) {
            return;
        }
        duringPass.push_back(Buttons(*g_pWindow));
        closed = closed && g_pWindow->close();  // refused while a pass runs
        if (state.m_nFileIndex == 1) {
            Click(*g_pWindow, kStop);
        }
    };
    Click(*dlg, kStart);

    EXPECT_EQ(ReadFileBytes(dir / "files/one.exe"), kOpenTranslated);
    EXPECT_EQ(ReadFileBytes(dir / "files/two.exe"), Units("Open") + kEnd);
    EXPECT_EQ(ReadFileBytes(dir / "files/two.bak"), Units("Open") + kEnd);
    EXPECT_EQ(ReadFileBytes(dir / "files/three.exe"), kOpenTranslated);
    ASSERT_FALSE(duringPass.empty());
    EXPECT_EQ(duringPass[0], (std::vector<bool>{false, false, false, true, true, false}));
    EXPECT_FALSE(closed);
    // After the run: idle, the last file's state on show, and the window can close again.
    EXPECT_EQ(Buttons(*dlg), (std::vector<bool>{true, true, true, true, false, true}));
    EXPECT_EQ(dlg->StatusBar().Text(4), "狀況: 完成   ");
    EXPECT_EQ(dlg->View().ShownFoundCount(), "1");
    EXPECT_EQ(dlg->View().ShownSourceLine(0), "Open");
    EXPECT_EQ(dlg->View().ShownTranslationLine(0), "開啟");
    EXPECT_EQ(dlg->windowTitle(), " VOKRA v2.1  - [3/3] three.exe");
    EXPECT_TRUE(dlg->close());
}

TEST_F(MainWindow, MissingDictionaryIsReportedAndTheWindowStillOpens) {
    std::filesystem::remove(dir / "message.txt");
    auto dlg = Open();
    EXPECT_EQ(boxes, QStringList{"沒有找到 message.txt ."});
    EXPECT_TRUE(Enabled(*dlg, kLoad));
    EXPECT_STREQ(state.m_szProgramDir, "");
}

TEST_F(MainWindow, FailedFinalWriteLeavesOnlyStopAndSettings) {
    std::filesystem::create_directory(dir / "files");
    WriteFileBytes(dir / "files/gone.exe", Units("Open") + kEnd);
    auto dlg = Open();
    Choose({"gone.exe"});
    Click(*dlg, kLoad);
    g_duringPass = [&] { std::filesystem::remove(dir / "files/gone.exe"); };
    Click(*dlg, kStart);
    g_duringPass = nullptr;
    QCoreApplication::processEvents();  // the box comes once the handler is left

    // A file taken away during its pass is not made again.
    EXPECT_EQ(boxes, QStringList{QString::fromStdString("當存取 " + (dir / "files/gone.exe") +
                                                        " 時發生分享違反(Sharing Violation).")});
    EXPECT_EQ(Buttons(*dlg), (std::vector<bool>{false, false, false, true, true, false}));
    EXPECT_FALSE(dlg->close());
    Click(*dlg, kStop);
    EXPECT_EQ(Buttons(*dlg), (std::vector<bool>{true, true, true, true, false, true}));
    EXPECT_TRUE(dlg->close());
}

// Restore, from the window's context menu: the loaded files back as their backups hold them, and
// the user told which came from where; not offered while a pass runs.
TEST_F(MainWindow, RestoreFromTheContextMenuPutsTheOriginalsBack) {
    std::filesystem::create_directory(dir / "files");
    WriteFileBytes(dir / "files/one.exe", Units("Open") + kEnd);
    auto dlg = Open();
    Choose({"one.exe"});
    Click(*dlg, kLoad);
    Click(*dlg, kStart);
    ASSERT_EQ(ReadFileBytes(dir / "files/one.exe"), kOpenTranslated);

    const QList<QAction*> actions = dlg->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0]->text(), "還原原始檔 (從備份檔)");
    actions[0]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(ReadFileBytes(dir / "files/one.exe"), Units("Open") + kEnd);
    EXPECT_EQ(boxes, QStringList{QString::fromStdString(dir / "files/one.exe" + " 已從 " +
                                                        dir / "files/one.bak" + " 還原.")});

    bool offered = true;
    g_duringPass = [&] { offered = offered && actions[0]->isEnabled(); };
    Click(*dlg, kStart);
    g_duringPass = nullptr;
    EXPECT_FALSE(offered);
    EXPECT_TRUE(actions[0]->isEnabled());
}

TEST_F(MainWindow, FirstStartAsksForTheTranslatorBeforeTheWindowIsBuilt) {
    std::filesystem::remove(dir / "VOKRA.DAT");
    bool asked = false;
    bool windowBuiltBefore = true;
    CMainDlg::Openers openers;
    CMainDlg* pDlg = nullptr;
    openers.askTranslator = [&](QWidget*) {
        asked = true;
        windowBuiltBefore = pDlg->findChild<QPushButton*>() != nullptr;
    };
    CMainDlg dlg(state, engine, openers);
    pDlg = &dlg;
    dlg.OnInitDialog();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(windowBuiltBefore);
}

}  // namespace
