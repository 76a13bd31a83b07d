// The settings, advanced and language windows as a user drives them, and what they leave in the
// shared state and the engine.
#include "SettingsDlg.h"

#include <gtest/gtest.h>

#include <QEvent>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <chrono>
#include <filesystem>

#include "AdvancedDlg.h"
#include "AdvancedDlgIds.h"
#include "BatchPass.h"
#include "FailureReport.h"
#include "LanguageDlg.h"
#include "LanguageDlgIds.h"
#include "SettingsDlgIds.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "Timing.h"

namespace {

namespace settings = ids::settings;
namespace advanced = ids::advanced;
namespace language = ids::language;

// The control of that id in a window.
template <class T>
T* Get(const QDialog& dlg, int id) {
    return dlg.findChild<T*>(QString::number(id));
}

class OptionWindows : public ::testing::Test {
  protected:
    OptionWindows() : cwd(dir.Path()) {
        ApplyStartupDefaults(state);
        CopyText(state.m_szProgramDir, dir.Path());
        SetFailureBoxCapture([this](const QString& text) { boxes << text; });
    }
    ~OptionWindows() override { SetFailureBoxCapture(nullptr); }

    // The translation a plug-in lookup of `text` finds, or "".
    std::string PlugIn(const std::string& text) {
        Candidate candidate;
        candidate.Set(text);
        engine.TranslatePlugIn(candidate.sz, static_cast<int>(2 * text.size()),
                               state.m_bIgnoreCase == 1);
        return std::string(engine.m_szResult, static_cast<std::size_t>(engine.m_nResultLen));
    }

    CTempDir dir;
    CScopedCurrentDir cwd;
    AppState state;
    CTranslationEngine engine;
    QStringList boxes;
};

TEST_F(OptionWindows, OptionsAreStoredOnlyByTheConfirm) {
    auto change = [](CSettingsDlg& dlg) {
        Get<QRadioButton>(dlg, settings::kSingleSentence)->setChecked(true);  // 單句
        Get<QCheckBox>(dlg, settings::kNotepad)->setChecked(false);           // 記事本
        Get<QCheckBox>(dlg, settings::kPatch)->setChecked(true);              // Patch 檔
        Get<QSlider>(dlg, settings::kDelay)->setValue(7);
        Get<QLineEdit>(dlg, settings::kBackupExt)->setText(".old");
    };
    for (auto leave : {&QDialog::reject, &QDialog::accept}) {  // Escape, Enter
        CSettingsDlg dlg(state, engine, nullptr);
        change(dlg);
        (dlg.*leave)();
        EXPECT_EQ(state.m_bWholeSentence, 1);
        EXPECT_EQ(state.m_bOpenInNotepad, 1);
        EXPECT_EQ(state.m_nDelay, 0);
        EXPECT_STREQ(state.m_szBackupExt, ".bak");
    }
    {
        CSettingsDlg dlg(state, engine, nullptr);
        change(dlg);
        dlg.close();
        EXPECT_EQ(state.m_nDelay, 0);
    }
    CSettingsDlg dlg(state, engine, nullptr);
    change(dlg);
    Get<QPushButton>(dlg, settings::kConfirm)->click();
    EXPECT_EQ(state.m_bWholeSentence, 0);
    EXPECT_EQ(state.m_bOpenInNotepad, 0);
    EXPECT_EQ(state.m_bMakePatch, 1);
    EXPECT_EQ(state.m_nDelay, 7);
    EXPECT_STREQ(state.m_szBackupExt, ".old");
}

// 特殊指令 opens a menu with the whole-file walk; like every option, only the confirm stores it,
// and the next opening shows it as stored.
TEST_F(OptionWindows, TheWholeFileWalkIsChosenFromTheSpecialMenu) {
    const auto chooseWholeFile = [](CSettingsDlg& dlg) {
        Get<QPushButton>(dlg, settings::kSpecial)->click();
        auto* menu = dlg.findChild<QMenu*>();
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 1);
        QAction* wholeFile = menu->actions().front();
        EXPECT_TRUE(wholeFile->isCheckable());
        EXPECT_EQ(wholeFile->isChecked(), dlg.WholeFileWalkChosen());
        wholeFile->trigger();
        menu->close();
    };
    {
        CSettingsDlg dlg(state, engine, nullptr);
        EXPECT_TRUE(Get<QWidget>(dlg, settings::kSpecial)->isEnabled());
        chooseWholeFile(dlg);
        dlg.reject();
        EXPECT_EQ(state.m_bWholeFileWalk, 0);
    }
    {
        CSettingsDlg dlg(state, engine, nullptr);
        chooseWholeFile(dlg);
        Get<QPushButton>(dlg, settings::kConfirm)->click();
        EXPECT_EQ(state.m_bWholeFileWalk, 1);
    }
    CSettingsDlg dlg(state, engine, nullptr);
    EXPECT_TRUE(dlg.WholeFileWalkChosen());
    chooseWholeFile(dlg);  // and back
    Get<QPushButton>(dlg, settings::kConfirm)->click();
    EXPECT_EQ(state.m_bWholeFileWalk, 0);
}

TEST_F(OptionWindows, WithoutItsViewTheWindowSaysSoAndKeepsTheTranslationOptions) {
    CSettingsDlg dlg(state, engine, nullptr);
    EXPECT_EQ(dlg.windowTitle(), "  設定介面  [無法測試 Direct3D 介面] ");
    for (int id :
         {settings::kTest, settings::kDither, settings::kPerspective, settings::kAmbientLight,
          settings::kDirectionalLight, settings::kPointLight, settings::kParallelPointLight,
          settings::kSpotLight, settings::kShading, settings::kTextureFilter}) {
        EXPECT_FALSE(Get<QWidget>(dlg, id)->isEnabled()) << id;
    }
    EXPECT_FALSE(Get<QCheckBox>(dlg, settings::kAmbientLight)->isChecked());
    for (int id : {settings::kWholeSentence, settings::kSingleSentence, settings::kNotepad,
                   settings::kPatch, settings::kPlugInDict, settings::kDelay, settings::kBackupExt,
                   settings::kLanguage, settings::kAbout, settings::kConfirm}) {
        EXPECT_TRUE(Get<QWidget>(dlg, id)->isEnabled()) << id;
    }
    // "進 階" follows "字典檔" at once, before anything is stored.
    EXPECT_FALSE(Get<QWidget>(dlg, settings::kAdvanced)->isEnabled());
    Get<QCheckBox>(dlg, settings::kPlugInDict)->click();
    EXPECT_TRUE(Get<QWidget>(dlg, settings::kAdvanced)->isEnabled());
    EXPECT_EQ(state.m_bPlugInDict, 0);
}

AppState* g_pState = nullptr;
CTranslationEngine* g_pEngine = nullptr;
bool g_bSettingsSeen = false;
std::vector<bool> g_steeringEnabled;
int OpenSettingsOnce() {
    if (!g_bSettingsSeen && g_pState->m_bStopped == 0) {
        g_bSettingsSeen = true;
        CSettingsDlg dlg(*g_pState, *g_pEngine, nullptr);
        for (int id :
             {settings::kWholeSentence, settings::kSingleSentence, settings::kPlugInDict,
              settings::kPatch, settings::kAdvanced, settings::kDelay, settings::kBackupExt,
              settings::kNotepad, settings::kLanguage, settings::kAbout}) {
            g_steeringEnabled.push_back(Get<QWidget>(dlg, id)->isEnabled());
        }
        Get<QSlider>(dlg, settings::kDelay)->setValue(3);
        Get<QPushButton>(dlg, settings::kConfirm)->click();
    }
    return 1;
}

TEST_F(OptionWindows, OpenedDuringAPassTheSteeringOptionsAreLockedAndTheNewDelayApplies) {
    std::string image;
    for (int i = 0; i < 12; ++i) {
        image += Units("Word") + std::string(2, '\0');
    }
    WriteFileBytes(dir / "a.exe", image);
    state.m_astrFiles[0] = dir / "a.exe";
    state.m_nFileCount = 1;
    g_pState = &state;
    g_pEngine = &engine;
    SetMessagePump(OpenSettingsOnce, 1, 0);
    CSilentDisplay display;
    const auto start = std::chrono::steady_clock::now();
    RunBatch(state, engine, display);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    SetMessagePump(nullptr);

    // 整句, 單句, 字典檔, Patch 檔, 進 階 locked; delay, extension, 記事本, 繁簡體, 關 於 not.
    EXPECT_EQ(g_steeringEnabled,
              (std::vector<bool>{false, false, false, false, false, true, true, true, true, true}));
    EXPECT_EQ(state.m_nDelay, 3);
    // The twelve runs after the change wait 9 ms each.
    EXPECT_GE(elapsed, std::chrono::milliseconds(12 * 9));
}

TEST_F(OptionWindows, MissingUserDictionaryEndsTheConfirmWithTheWindowOpen) {
    engine.m_strPlugInDict = PreparedDictionary({"[OLD=" + kOpenZh});
    state.m_pPlugInDictBuf = {1, 2, 3};
    CSettingsDlg dlg(state, engine, nullptr);
    dlg.show();
    Get<QCheckBox>(dlg, settings::kPlugInDict)->setChecked(true);
    Get<QCheckBox>(dlg, settings::kNotepad)->setChecked(false);
    Get<QSlider>(dlg, settings::kDelay)->setValue(4);
    Get<QPushButton>(dlg, settings::kConfirm)->click();
    QCoreApplication::processEvents();

    EXPECT_EQ(boxes, QStringList{"沒有找到 user.txt ."});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(state.m_bPlugInDict, 1);
    EXPECT_EQ(state.m_bOpenInNotepad, 0);
    EXPECT_EQ(state.m_nDelay, 4);
    EXPECT_TRUE(state.m_pPlugInDictBuf.empty());
    EXPECT_TRUE(state.m_pPlugInDictUpperBuf.empty());
    EXPECT_EQ(engine.m_strPlugInDict.Text(), PreparedDictionary({"[OLD=" + kOpenZh}));
}

TEST_F(OptionWindows, BackupExtensionKeepsWhatWasTypedAndRefusesAFolder) {
    auto confirm = [&](const QString& extension) {
        CSettingsDlg dlg(state, engine, nullptr);
        dlg.show();
        Get<QLineEdit>(dlg, settings::kBackupExt)->setText(extension);
        Get<QPushButton>(dlg, settings::kConfirm)->click();
        QCoreApplication::processEvents();
        return dlg.isVisible();
    };
    EXPECT_FALSE(confirm(".backup1"));
    EXPECT_STREQ(state.m_szBackupExt, ".backup1");
    EXPECT_FALSE(confirm(""));
    EXPECT_STREQ(state.m_szBackupExt, "");
    EXPECT_FALSE(confirm(".orig"));  // an empty extension does not lock the option
    EXPECT_STREQ(state.m_szBackupExt, ".orig");
    EXPECT_TRUE(confirm("x/../y"));
    EXPECT_STREQ(state.m_szBackupExt, ".orig");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(".orig"));
}

TEST_F(OptionWindows, PlugInKeysInMixedCaseFollowTheCaseOption) {
    WriteFileBytes(dir / "user.txt", "[Open Sesame=" + kOpenZh + "\r\n");
    {
        CSettingsDlg dlg(state, engine, nullptr);
        Get<QCheckBox>(dlg, settings::kPlugInDict)->setChecked(true);
        Get<QPushButton>(dlg, settings::kConfirm)->click();
    }
    EXPECT_EQ(PlugIn("open sesame"), kOpenZh);  // "不分" on: any case
    {
        CAdvancedDlg dlg(state, engine, nullptr);
        Get<QCheckBox>(dlg, advanced::kIgnoreCase)->setChecked(false);
        Get<QPushButton>(dlg, advanced::kConfirm)->click();
    }
    EXPECT_EQ(PlugIn("open sesame"), "");
    EXPECT_EQ(PlugIn("Open Sesame"), kOpenZh);
    // A later settings confirm reloads "user.txt" and keeps to the case option.
    {
        CSettingsDlg dlg(state, engine, nullptr);
        Get<QPushButton>(dlg, settings::kConfirm)->click();
    }
    EXPECT_EQ(PlugIn("open sesame"), "");
    EXPECT_EQ(PlugIn("Open Sesame"), kOpenZh);
}

TEST_F(OptionWindows, ClearAllThenConfirmLeavesOnlyHashAndAmpersand) {
    CAdvancedDlg dlg(state, engine, nullptr);
    Get<QPushButton>(dlg, advanced::kClearAll)->click();
    Get<QPushButton>(dlg, advanced::kConfirm)->click();
    for (unsigned char filter : state.m_abCharFilter) {
        EXPECT_EQ(filter, 0);
    }
    const std::string image = Units("#&a") + std::string(2, '\0');
    Candidate candidate;
    const auto end = CTranslationEngine::ScanFilteredRun(
        reinterpret_cast<const unsigned char*>(image.data()),
        static_cast<std::int64_t>(image.size()), 0, candidate.sz, state.m_abCharFilter);
    EXPECT_EQ(end, 4);
    EXPECT_STREQ(candidate.sz, "#&");
    // Confirming before any "user.txt" was loaded leaves an empty plug-in text.
    EXPECT_TRUE(engine.m_strPlugInDict.Empty());
}

TEST_F(OptionWindows, CharacterBoxesStoreOnEveryClickButTheButtonsOnlyTick) {
    state.m_abCharFilter[20] = 1;  // "=": its box is never ticked
    {
        CAdvancedDlg dlg(state, engine, nullptr);
        EXPECT_FALSE(Get<QCheckBox>(dlg, advanced::kEqualsChar)->isChecked());
        EXPECT_FALSE(Get<QCheckBox>(dlg, advanced::kEqualsChar)->isEnabled());
        Get<QCheckBox>(dlg, advanced::kExclamationChar)->click();  // "! 字元" off
        Get<QPushButton>(dlg, advanced::kCancel)->click();
    }
    EXPECT_EQ(state.m_abCharFilter[4], 0);
    EXPECT_EQ(state.m_abCharFilter[20], 0);
    {
        CAdvancedDlg dlg(state, engine, nullptr);
        Get<QPushButton>(dlg, advanced::kDefaults)->click();  // 預設值, then 取  消
        Get<QCheckBox>(dlg, advanced::kAlsoDefaultDict)->setChecked(false);
        Get<QPushButton>(dlg, advanced::kCancel)->click();
    }
    EXPECT_EQ(state.m_abCharFilter[4], 0);
    EXPECT_EQ(state.m_bAlsoDefaultDict, 1);
}

TEST_F(OptionWindows, LanguageConfirmLoadsTheDirectionsDictionaryEveryTime) {
    WriteFileBytes(dir / "message.txt", "[OPEN=" + kOpenZh + "\r\n");
    WriteFileBytes(dir / "message1.txt", "[OPEN=" + kFileZh + "\r\n");
    auto confirm = [&](int radio) {
        CLanguageDlg dlg(state, engine, nullptr);
        dlg.show();
        Get<QRadioButton>(dlg, radio)->setChecked(true);
        Get<QPushButton>(dlg, language::kConfirm)->click();
        QCoreApplication::processEvents();
        return dlg.isVisible();
    };
    EXPECT_FALSE(confirm(language::kToSimplified));
    EXPECT_EQ(state.m_bToSimplified, 1);
    EXPECT_EQ(state.m_bToTraditional, 0);
    EXPECT_EQ(engine.m_strMainDict.Text(), "[OPEN=" + kFileZh + "]}");

    // Confirming again reloads the file from disk.
    WriteFileBytes(dir / "message1.txt", "[OPEN=" + kSaveZh + "\r\n");
    EXPECT_FALSE(confirm(language::kToSimplified));
    EXPECT_EQ(engine.m_strMainDict.Text(), "[OPEN=" + kSaveZh + "]}");

    // A missing file: the choice is taken, the dictionary kept, the window stays.
    std::filesystem::remove(dir / "message.txt");
    EXPECT_TRUE(confirm(language::kToTraditional));
    EXPECT_EQ(boxes, QStringList{"沒有找到 message.txt ."});
    EXPECT_EQ(state.m_bToTraditional, 1);
    EXPECT_EQ(engine.m_strMainDict.Text(), "[OPEN=" + kSaveZh + "]}");
    EXPECT_TRUE(state.m_pMainDictBuf.empty());
}

TEST_F(OptionWindows, LanguageWindowOffersOnlyTheTwoEnglishDirections) {
    state.m_bToTraditional = 1;  // as the start-up leaves it
    CLanguageDlg dlg(state, engine, nullptr);
    EXPECT_EQ(dlg.windowTitle(), " 繁簡體介面 ");
    EXPECT_TRUE(Get<QRadioButton>(dlg, language::kToTraditional)->isChecked());
    EXPECT_FALSE(Get<QWidget>(dlg, language::kTraditionalToSimplified)->isEnabled());
    EXPECT_FALSE(Get<QWidget>(dlg, language::kSimplifiedToTraditional)->isEnabled());
    Get<QRadioButton>(dlg, language::kToSimplified)->setChecked(true);
    Get<QPushButton>(dlg, language::kCancel)->click();  // 取 消
    EXPECT_EQ(state.m_bToTraditional, 1);
    EXPECT_EQ(state.m_bToSimplified, 0);
}

// A 3D view that only notes what its window asks of it.
struct CFakeView : ISettingsView {
    bool bStarts = true;
    bool bTestRunning = false;
    bool bDepthChanged = false;
    QStringList calls;

    bool Start() override {
        calls << "Start";
        return bStarts;
    }
    void EndSpeedTest() override {
        calls << "EndSpeedTest";
        bTestRunning = false;
    }
    bool OnClose() override {
        calls << "OnClose";
        return !bTestRunning;
    }
    void Release() override { calls << "Release"; }
    bool OnActivate(bool) override {
        calls << "OnActivate";
        return bDepthChanged;
    }
    void Paint(QPainter&, const QRegion&) override { calls << "Paint"; }
};

class SettingsWithView : public OptionWindows {
  protected:
    // A settings window over a fake view, which the window owns; `view` stays valid while it is
    // open.
    std::unique_ptr<CSettingsDlg> Open(bool bStarts = true) {
        auto fake = std::make_unique<CFakeView>();
        fake->bStarts = bStarts;
        view = fake.get();
        return std::make_unique<CSettingsDlg>(
            state, engine, nullptr, [&fake](ISettingsViewHost&) -> std::unique_ptr<ISettingsView> {
                return std::move(fake);
            });
    }
    CFakeView* view = nullptr;
};

TEST_F(SettingsWithView, AStartedViewMakesTheSettingsTheActiveWindowAFailedOneDoesNot) {
    {
        auto dlg = Open();
        EXPECT_EQ(view->calls, QStringList{"Start"});
        EXPECT_EQ(state.m_nActiveDialog, 1);
        EXPECT_TRUE(Get<QWidget>(*dlg, settings::kTest)->isEnabled());
        EXPECT_TRUE(Get<QCheckBox>(*dlg, settings::kPointLight)->isChecked());
    }
    state.m_nActiveDialog = 0;
    auto dlg = Open(false);
    EXPECT_EQ(state.m_nActiveDialog, 0);
    EXPECT_EQ(dlg->windowTitle(), "  設定介面  [無法測試 Direct3D 介面] ");
    EXPECT_FALSE(Get<QWidget>(*dlg, settings::kTest)->isEnabled());
    // A view that did not start still lets go of what it made when the window closes.
    dlg->show();
    dlg->close();
    EXPECT_TRUE(view->calls.contains("Release"));
}

TEST_F(SettingsWithView, TheCloseBoxWaitsForTheSpeedTestTheConfirmDoesNot) {
    auto dlg = Open();
    dlg->show();
    view->bTestRunning = true;
    dlg->close();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(view->calls.contains("Release"));

    Get<QSlider>(*dlg, settings::kDelay)->setValue(8);
    view->calls.clear();
    Get<QPushButton>(*dlg, settings::kConfirm)->click();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(state.m_nDelay, 8);
    ASSERT_GE(view->calls.size(), 2);
    EXPECT_EQ(view->calls[0], "EndSpeedTest");
    EXPECT_EQ(view->calls[1], "OnClose");
}

TEST_F(SettingsWithView, EnterAndEscapeLetTheViewGo) {
    for (auto leave : {&QDialog::reject, &QDialog::accept}) {
        auto dlg = Open();
        dlg->show();
        (dlg.get()->*leave)();
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_TRUE(view->calls.contains("Release"));
    }
}

TEST_F(SettingsWithView, AViewThatSeesTheDisplayDepthChangeHasTheWindowConfirm) {
    auto dlg = Open();
    dlg->show();
    Get<QSlider>(*dlg, settings::kDelay)->setValue(9);
    QEvent activation(QEvent::ActivationChange);
    QCoreApplication::sendEvent(dlg.get(), &activation);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(state.m_nDelay, 0);

    view->bDepthChanged = true;
    QCoreApplication::sendEvent(dlg.get(), &activation);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(state.m_nDelay, 9);
}

}  // namespace
