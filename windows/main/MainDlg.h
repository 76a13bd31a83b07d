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
#include "PassView.h"
#include "StatusBar.h"
#include "TranslationEngine.h"

class CMainDlg : public QDialog {
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
    // From the context menu: every file of the last Load back as its backup holds it.
    void OnRestore();

    // The file choice of Load: the file dialog, or whatever a test puts in its place.
    std::function<QStringList(QWidget*)> m_fnChooseFiles;

    const CDialogControls& Controls() const { return *m_pControls; }
    const CStatusBar& StatusBar() const { return *m_statusBar; }
    // What the batch run shows in this window.
    const CPassView& View() const { return *m_pView; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape

  private:
    void InitWindow();
    void ConnectButtons();
    void EnableButton(int id, bool bEnabled);
    void ShowRunning(bool bRunning);

    AppState& m_state;
    CTranslationEngine& m_engine;
    Openers m_openers;
    QAction* m_pRestore = nullptr;

    std::unique_ptr<CDialogControls> m_pControls;
    CStatusBar* m_statusBar = nullptr;
    std::array<int, CStatusBar::kPanes> m_anStatusParts{};
    int m_nStatusInnerHeight = 0;
    QPixmap m_bmpLogo;
    QProgressBar* m_pProgress = nullptr;
    QRect m_rcFileName, m_rcFoundCount, m_rcTranslatedCount, m_rcSource, m_rcTranslated;
    std::unique_ptr<CPassView> m_pView;
};
