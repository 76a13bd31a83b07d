#include "AdvancedDlg.h"

#include <QCheckBox>
#include <QPushButton>
#include <iterator>

#include "AdvancedDlgIds.h"
#include "DictionaryFiles.h"

using namespace ids::advanced;

namespace {

static_assert(std::size(kCharFilters) == kCharFilterCount);

// "=", "[" and "]" delimit dictionary entries: their boxes are never ticked.
bool IsDelimiterBox(int id) {
    return id == kEqualsChar || id == kOpenBracketChar || id == kCloseBracketChar;
}

}  // namespace

CAdvancedDlg::CAdvancedDlg(AppState& state, CTranslationEngine& engine, QWidget* parent)
    : QDialog(parent), m_state(state), m_engine(engine) {
    OnInitDialog();
}

void CAdvancedDlg::OnInitDialog() {
    m_pControls =
        std::make_unique<CDialogControls>(*this, FindDialogTemplate(ids::advanced::kTemplate));
    setWindowIcon(QIcon(":/vokra/icon128.xpm"));
    TickFilters(m_state.m_abCharFilter);
    m_pControls->Get<QCheckBox>(kAlsoDefaultDict)->setChecked(m_state.m_bAlsoDefaultDict == 1);
    m_pControls->Get<QCheckBox>(kIgnoreCase)->setChecked(m_state.m_bIgnoreCase == 1);

    for (int id : kCharFilters) {
        connect(m_pControls->Get<QCheckBox>(id), &QCheckBox::clicked, this,
                [this] { OnFilterCheck(); });
    }
    connect(m_pControls->Get<QPushButton>(kDefaults), &QPushButton::clicked, this,
            [this] { OnDefaults(); });
    connect(m_pControls->Get<QPushButton>(kClearAll), &QPushButton::clicked, this,
            [this] { OnClearAll(); });
    connect(m_pControls->Get<QPushButton>(kConfirm), &QPushButton::clicked, this,
            [this] { OnAdvancedConfirm(); });
    connect(m_pControls->Get<QPushButton>(kCancel), &QPushButton::clicked, this, &QDialog::reject);
}

void CAdvancedDlg::TickFilters(const unsigned char* filters) {
    for (int i = 0; i < kCharFilterCount; ++i) {
        m_pControls->Get<QCheckBox>(kCharFilters[i])
            ->setChecked(filters[i] == 1 && !IsDelimiterBox(kCharFilters[i]));
    }
}

void CAdvancedDlg::OnFilterCheck() {
    // Every click stores all 33 states at once: leaving by "取  消" keeps what was clicked.
    for (int i = 0; i < kCharFilterCount; ++i) {
        m_state.m_abCharFilter[i] =
            m_pControls->Get<QCheckBox>(kCharFilters[i])->isChecked() ? 1 : 0;
    }
}

void CAdvancedDlg::OnDefaults() {
    TickFilters(DefaultCharFilter);
}

void CAdvancedDlg::OnClearAll() {
    static constexpr unsigned char kNone[kCharFilterCount] = {};
    TickFilters(kNone);
}

void CAdvancedDlg::OnAdvancedConfirm() {
    OnFilterCheck();
    m_state.m_bAlsoDefaultDict = m_pControls->Get<QCheckBox>(kAlsoDefaultDict)->isChecked() ? 1 : 0;
    m_state.m_bIgnoreCase = m_pControls->Get<QCheckBox>(kIgnoreCase)->isChecked() ? 1 : 0;
    // The folded copy when case is ignored, the text as written otherwise; empty when no
    // "user.txt" was loaded.
    SelectPlugInText(m_state, m_engine);
    close();
}
