// The main window: the file choice, the batch run with its live counters, progress and last
// translated texts, and the ways to the settings and the manual windows.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QProgressBar>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "AppState.h"
#include "DialogBuilder.h"
#include "PassDisplay.h"
#include "StatusBar.h"
#include "TranslationEngine.h"

class CMainDlg : public QDialog, public IPassDisplay {
  public:
    // The windows the main window opens but that belong to other parts of the program.
    struct Openers {
        std::function<void(QWidget*)> askTranslator;  // a first start: the translator identity
        std::function<void(QWidget*)> openSettings;
        std::function<void(QWidget*)> openManual;
    };

    CMainDlg(AppState& state, CTranslationEngine& engine, Openers openers);
    ~CMainDlg() override;

    // The start-up, then the modal loop; returns when the window has closed.
    int DoModal();
    void OnInitDialog();

    void OnLoad();
    void OnStart();
    void OnStop();
    void OnExit();
    void OnSettings();
    void OnManual();

    // The file choice of Load: the file dialog, or whatever a test puts in its place.
    std::function<QStringList(QWidget*)> m_fnChooseFiles;

    const CDialogControls& Controls() const { return *m_pControls; }
    const CStatusBar& StatusBar() const { return *m_statusBar; }
    // What the file-name box, the counters and line k of the two panes show.
    QString ShownFileName() const { return m_shown.fileName; }
    QString ShownCounter(int id) const;
    QString ShownPaneLine(int id, int line) const;

    // The window's message pump, installed while it exists: shows what the pass noted, then
    // handles the window's pending events.
    static int PumpWindowEvents();

    // Puts what a pass has shown since the last time on the screen. The pass itself only notes
    // it, so that the window costs the engine nothing; the message pump calls this.
    void FlushDisplay();

    // --- What a pass shows ---
    void SetTitle(const std::string& title) override;
    void DrawFileName(const std::string& path) override;
    void ShowRunning(bool bRunning) override;
    void EraseCounters() override;
    void DrawFoundCount(unsigned count) override;
    void DrawTranslatedCount(int count) override;
    void BlankPaneLines() override;
    void DrawSourceLine(int line, std::string_view source) override;
    void DrawTranslationLine(int line, std::string_view translation) override;
    void SetProgress(int percent) override;
    void ShowRunOffset(std::int64_t pos) override;
    void ShowRatio(unsigned percent) override;
    void SetStatusText(int pane, const char* text) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape

  private:
    void InitWindow();
    void ConnectButtons();
    void EnableButton(int id, bool bEnabled);

    AppState& m_state;
    CTranslationEngine& m_engine;
    Openers m_openers;

    std::unique_ptr<CDialogControls> m_pControls;
    CStatusBar* m_statusBar = nullptr;
    std::array<int, CStatusBar::kPanes> m_anStatusParts{};
    int m_nStatusInnerHeight = 0;
    QPixmap m_bmpLogo;
    QProgressBar* m_pProgress = nullptr;
    QRect m_rcFileName, m_rcFoundCount, m_rcTranslatedCount, m_rcSource, m_rcTranslated;

    // What the window shows, as the pass and the handlers left it; painted again on every
    // repaint, so that covering the window loses nothing.
    struct Shown {
        QString fileName;
        bool bFound = false;
        unsigned found = 0;
        bool bTranslated = false;
        int translated = 0;
        std::array<std::string, 4> source;
        std::array<std::string, 4> translation;
        int progress = 0;
        bool bOffset = false;
        std::int64_t offset = 0;
        bool bRatio = false;
        unsigned ratio = 0;
        const char* state = nullptr;
        bool bDirty = false;
    } m_shown;
};
