#include "AdvancedDlg.h"

#include <QCheckBox>
#include <QPushButton>

#include "DictionaryFiles.h"

const int CharFilterIds[kCharFilterCount] = {1111, 1112, 1113, 1114, 1115, 1116, 1117, 1118, 1059,
                                             1060, 1061, 1062, 1063, 1064, 1065, 1066, 1067, 1068,
                                             1069, 1070, 1071, 1072, 1073, 1074, 1075, 1076, 1077,
                                             1078, 1079, 1080, 1081, 1082, 1083};

namespace {

constexpr int kIdAlsoDefault = 1084;
constexpr int kIdIgnoreCase = 1085;
constexpr int kIdConfirm = 1107;
constexpr int kIdCancel = 1108;
constexpr int kIdDefaults = 1119;
constexpr int kIdClearAll = 1120;

// "=", "[" and "]" delimit dictionary entries: their boxes are never ticked.
bool IsDelimiterFilter(int index) {
    return index == 20 || index == 24 || index == 25;
}

}  // namespace

CAdvancedDlg::CAdvancedDlg(AppState& state, CTranslationEngine& engine, QWidget* parent)
    : QDialog(parent), m_state(state), m_engine(engine) {
    OnInitDialog();
}

void CAdvancedDlg::OnInitDialog() {
    m_pControls = std::make_unique<CDialogControls>(*this, FindDialogTemplate(136));
    setWindowIcon(QIcon(":/vokra/icon128.xpm"));
    TickFilters(m_state.m_abCharFilter);
    m_pControls->Get<QCheckBox>(kIdAlsoDefault)->setChecked(m_state.m_bAlsoDefaultDict == 1);
    m_pControls->Get<QCheckBox>(kIdIgnoreCase)->setChecked(m_state.m_bIgnoreCase == 1);

    for (int id : CharFilterIds) {
        connect(m_pControls->Get<QCheckBox>(id), &QCheckBox::clicked, this,
                [this] { OnFilterCheck(); });
    }
    connect(m_pControls->Get<QPushButton>(kIdDefaults), &QPushButton::clicked, this,
            [this] { OnDefaults(); });
    connect(m_pControls->Get<QPushButton>(kIdClearAll), &QPushButton::clicked, this,
            [this] { OnClearAll(); });
    connect(m_pControls->Get<QPushButton>(kIdConfirm), &QPushButton::clicked, this,
            [this] { OnAdvancedConfirm(); });
    connect(m_pControls->Get<QPushButton>(kIdCancel), &QPushButton::clicked, this,
            &QDialog::reject);
}

void CAdvancedDlg::TickFilters(const unsigned char* filters) {
    for (int i = 0; i < kCharFilterCount; ++i) {
        m_pControls->Get<QCheckBox>(CharFilterIds[i])
            ->setChecked(filters[i] == 1 && !IsDelimiterFilter(i));
    }
}

void CAdvancedDlg::OnFilterCheck() {
    // Every click stores all 33 states at once: leaving by "取  消" keeps what was clicked.
    for (int i = 0; i < kCharFilterCount; ++i) {
        m_state.m_abCharFilter[i] =
            m_pControls->Get<QCheckBox>(CharFilterIds[i])->isChecked() ? 1 : 0;
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
    m_state.m_bAlsoDefaultDict = m_pControls->Get<QCheckBox>(kIdAlsoDefault)->isChecked() ? 1 : 0;
    m_state.m_bIgnoreCase = m_pControls->Get<QCheckBox>(kIdIgnoreCase)->isChecked() ? 1 : 0;
    // The folded copy when case is ignored, the text as written otherwise; empty when no
    // "user.txt" was loaded.
    SelectPlugInText(m_state, m_engine);
    close();
}
