// The settings window: the translation options on its right, and the area and options of the 3D
// test view on its left.
#pragma once

#include <QDialog>
#include <QRect>
#include <functional>
#include <memory>

#include "AppState.h"
#include "DialogBuilder.h"
#include "SettingsView.h"
#include "TranslationEngine.h"

class CSettingsDlg : public QDialog, public ISettingsViewHost {
  public:
    // Makes the 3D view for the dialog, which then starts it in its view rectangle. Without one,
    // or when the view cannot start, the dialog says that Direct3D cannot be tested and the
    // translation options stay usable.
    using ViewFactory = std::function<std::unique_ptr<ISettingsView>(ISettingsViewHost&)>;

    CSettingsDlg(AppState& state, CTranslationEngine& engine, QWidget* parent,
                 ViewFactory makeView = {});
    ~CSettingsDlg() override;

    void OnInitDialog();
    void OnConfirm();
    void OnAbout();
    void OnAdvanced();
    void OnLanguage();
    void OnPlugInDictCheck();
    // 特殊指令: a menu of the rarely needed options; today the whole-file walk, which OnConfirm
    // takes over like the others.
    void OnSpecial();
    bool WholeFileWalkChosen() const { return m_bWholeFileWalk; }

    // What the 3D view sees of the window.
    QWidget& Window() override { return *this; }
    const CDialogControls& Controls() const override { return *m_pControls; }
    const QRect& ViewRect() const override { return m_rcView; }
    // The 3D view, null without one.
    ISettingsView* View() const { return m_pView.get(); }

    // Enter and Esc end the dialog at once: the view lets go of its objects as on a close.
    void done(int result) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void DisableTestView();

    AppState& m_state;
    CTranslationEngine& m_engine;
    ViewFactory m_fnMakeView;
    std::unique_ptr<CDialogControls> m_pControls;
    QRect m_rcView;
    bool m_bWholeFileWalk = false;
    std::unique_ptr<ISettingsView> m_pView;  // goes before the controls it uses
};
