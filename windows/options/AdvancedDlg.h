// The advanced options of the plug-in dictionary: which characters its scanner takes into a run,
// whether the main dictionary is searched as well, whether lookups ignore letter case.
#pragma once

#include <QDialog>
#include <memory>

#include "AppState.h"
#include "DialogBuilder.h"
#include "TranslationEngine.h"

class CAdvancedDlg : public QDialog {
  public:
    CAdvancedDlg(AppState& state, CTranslationEngine& engine, QWidget* parent);

    void OnInitDialog();
    void OnFilterCheck();
    void OnDefaults();
    void OnClearAll();
    void OnAdvancedConfirm();

    const CDialogControls& Controls() const { return *m_pControls; }

  private:
    void TickFilters(const unsigned char* filters);

    AppState& m_state;
    CTranslationEngine& m_engine;
    std::unique_ptr<CDialogControls> m_pControls;
};
