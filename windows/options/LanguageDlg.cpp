#include "LanguageDlg.h"

#include <QPushButton>
#include <QRadioButton>

#include "DictionaryFiles.h"
#include "FailureReport.h"
#include "LanguageDlgIds.h"
#include "ProgramDir.h"
#include "Texts.h"

using namespace ids::language;

CLanguageDlg::CLanguageDlg(AppState& state, CTranslationEngine& engine, QWidget* parent)
    : QDialog(parent), m_state(state), m_engine(engine) {
    OnInitDialog();
}

void CLanguageDlg::OnInitDialog() {
    m_pControls =
        std::make_unique<CDialogControls>(*this, FindDialogTemplate(ids::language::kTemplate));
    setWindowIcon(QIcon(":/vokra/icon128.xpm"));
    setWindowTitle(QString::fromUtf8(texts::kLanguageTitle));
    const std::pair<int, int> radios[] = {
        {kToTraditional, m_state.m_bToTraditional},
        {kToSimplified, m_state.m_bToSimplified},
        {kTraditionalToSimplified, m_state.m_bTraditionalToSimplified},
        {kSimplifiedToTraditional, m_state.m_bSimplifiedToTraditional}};
    for (const auto& [id, value] : radios) {
        m_pControls->Get<QRadioButton>(id)->setChecked(value == 1);
    }
    connect(m_pControls->Get<QPushButton>(kConfirm), &QPushButton::clicked, this,
            [this] { RunUserAction(this, [this] { OnLanguageConfirm(); }); });
    connect(m_pControls->Get<QPushButton>(kCancel), &QPushButton::clicked, this, &QDialog::reject);
}

void CLanguageDlg::OnLanguageConfirm() {
    auto selected = [this](int id) {
        return m_pControls->Get<QRadioButton>(id)->isChecked() ? 1 : 0;
    };
    m_state.m_bToTraditional = selected(kToTraditional);
    m_state.m_bToSimplified = selected(kToSimplified);
    m_state.m_bTraditionalToSimplified = selected(kTraditionalToSimplified);
    m_state.m_bSimplifiedToTraditional = selected(kSimplifiedToTraditional);

    // Reloaded on every confirm, so that edits to the file take effect. When it cannot be read,
    // the window stays open and the engine keeps the dictionary it had.
    if (m_state.m_bToTraditional == 1 || m_state.m_bToSimplified == 1) {
        m_state.m_pMainDictBuf = {};
        const CInProgramDir inProgramDir(m_state);
        LoadMainDictionary(
            m_state, m_engine,
            m_state.m_bToTraditional == 1 ? kTraditionalDictFile : kSimplifiedDictFile);
    }
    close();
}
