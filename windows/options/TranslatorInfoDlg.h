// The translator identity: name, web address and e-mail address, asked for at a first start and
// written to "VOKRA.DAT" for the headers of translation text files.
#pragma once

#include <QDialog>
#include <memory>

#include "AppState.h"
#include "DialogBuilder.h"

class CTranslatorInfoDlg : public QDialog {
  public:
    CTranslatorInfoDlg(AppState& state, QWidget* parent);

    void OnInitDialog();
    void OnTranslatorConfirm();

    const CDialogControls& Controls() const { return *m_pControls; }

  protected:
    // Enter while no button has the focus does nothing here; only "確 定" confirms.
    void accept() override {}

  private:
    AppState& m_state;
    std::unique_ptr<CDialogControls> m_pControls;
};
