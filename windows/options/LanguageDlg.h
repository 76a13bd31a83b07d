// The translation direction: English to Traditional Chinese ("message.txt") or to Simplified
// Chinese ("message1.txt"); the two Chinese-to-Chinese directions are shown but not offered.
#pragma once

#include <QDialog>
#include <memory>

#include "AppState.h"
#include "DialogBuilder.h"
#include "TranslationEngine.h"

class CLanguageDlg : public QDialog {
  public:
    CLanguageDlg(AppState& state, CTranslationEngine& engine, QWidget* parent);

    void OnInitDialog();
    void OnLanguageConfirm();

    const CDialogControls& Controls() const { return *m_pControls; }

  private:
    AppState& m_state;
    CTranslationEngine& m_engine;
    std::unique_ptr<CDialogControls> m_pControls;
};
