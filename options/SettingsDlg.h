// The settings window: the translation options on its right, and the area and options of the 3D
// test view on its left.
#pragma once

#include <QDialog>
#include <QRect>
#include <functional>
#include <memory>

#include "AppState.h"
#include "DialogBuilder.h"
#include "TranslationEngine.h"

class CSettingsDlg : public QDialog {
  public:
    // Starts the 3D view in the dialog's view rectangle; false when it cannot (the translation
    // options stay usable). Without one the view reports that it cannot be tested.
    using ViewStarter = std::function<bool(CSettingsDlg&)>;

    CSettingsDlg(AppState& state, CTranslationEngine& engine, QWidget* parent,
                 ViewStarter startView = {});

    void OnInitDialog();
    void OnConfirm();
    void OnAbout();
    void OnAdvanced();
    void OnLanguage();
    void OnPlugInDictCheck();

    const CDialogControls& Controls() const { return *m_pControls; }
    // Where the 3D view draws, in client coordinates.
    const QRect& ViewRect() const { return m_rcView; }

  private:
    void DisableTestView();

    AppState& m_state;
    CTranslationEngine& m_engine;
    ViewStarter m_fnStartView;
    std::unique_ptr<CDialogControls> m_pControls;
    QRect m_rcView;
};
