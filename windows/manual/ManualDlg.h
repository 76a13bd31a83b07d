// The manual interface: Load chooses program files, Translate lists their strings in editable
// translation text files, Write lays the edited translations into the program files.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QProgressBar>
#include <QStringList>
#include <functional>
#include <memory>

#include "AppState.h"
#include "DialogBuilder.h"
#include "ManualCommands.h"
#include "PassView.h"
#include "StatusBar.h"
#include "TranslationEngine.h"

class CManualDlg : public QDialog, public IManualWindow {
  public:
    CManualDlg(AppState& state, CTranslationEngine& engine, QWidget* parent);
    ~CManualDlg() override;

    void OnInitDialog();
    void OnLoad();
    void OnTranslate();
    void OnWrite();
    void OnStop();
    void OnEnd();
    // From the context menu: every file of the last Load back as its backup holds it.
    void OnRestore();

    // The file choice of Load: the file dialog, or whatever a test puts in its place.
    std::function<QStringList(QWidget*)> m_fnChooseFiles;
    // Starts the editor on a translation text file; the default starts vokra-edit beside the
    // program, and tests put their own in place.
    std::function<void(const std::string&)> m_fnOpenEditor;
    // Asks whether Translate may replace an earlier translation text file; the default asks in a
    // message box, and tests answer themselves.
    std::function<bool(const std::string&)> m_fnConfirmReplace;

    const CDialogControls& Controls() const { return *m_pControls; }
    const CStatusBar& StatusBar() const { return *m_statusBar; }
    const CPassView& View() const { return *m_pView; }

    int BackupExtIndex() const override;
    int TranslationExtIndex() const override;
    void SetGroupCaptions(const char* progress, const char* count) override;
    void OpenEditor(const std::string& fileName) override;
    bool ConfirmReplaceListing(const std::string& fileName) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape

  private:
    void ShowRunning(bool bRunning);

    AppState& m_state;
    CTranslationEngine& m_engine;
    std::unique_ptr<CDialogControls> m_pControls;
    CStatusBar* m_statusBar = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QComboBox* m_pBackupExtCombo = nullptr;
    QComboBox* m_pTranslationExtCombo = nullptr;
    QRect m_rcFileName, m_rcFoundCount, m_rcTranslatedCount, m_rcSource, m_rcTranslated;
    std::unique_ptr<CPassView> m_pView;
    CWriteBuffers m_buffers;  // m_pEditedText and m_pWriteImage of a Write command
    QAction* m_pRestore = nullptr;
};
