#include "SettingsDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "AdvancedDlg.h"
#include "DictionaryFiles.h"
#include "FailureReport.h"
#include "LanguageDlg.h"
#include "ProgramDir.h"
#include "SettingsDlgIds.h"
#include "Texts.h"

using namespace ids::settings;

namespace {

// The check boxes of the 3D view: dithering first, then perspective and the five lights.
constexpr int kViewChecks[] = {kDither,     kPerspective,        kAmbientLight, kDirectionalLight,
                               kPointLight, kParallelPointLight, kSpotLight};
constexpr int kViewGroups[] = {kViewOptionsBox, kTextureFilterBox, kLightsBox, kShadingBox};

}  // namespace

CSettingsDlg::CSettingsDlg(AppState& state, CTranslationEngine& engine, QWidget* parent,
                           ViewFactory makeView)
    : QDialog(parent), m_state(state), m_engine(engine), m_fnMakeView(std::move(makeView)) {
    OnInitDialog();
}

CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::OnInitDialog() {
    m_pControls =
        std::make_unique<CDialogControls>(*this, FindDialogTemplate(ids::settings::kTemplate));
    const CDialogControls& c = *m_pControls;
    setWindowIcon(QIcon(":/vokra/icon128.xpm"));
    setWindowTitle(QString::fromUtf8(texts::kSettingsLoadingTitle));

    c.Get<QRadioButton>(m_state.m_bWholeSentence == 1 ? kWholeSentence : kSingleSentence)
        ->setChecked(true);
    // A running pass must not have its scanner, dictionary or patch option changed under it.
    const bool bIdle = m_state.m_bBusy != 1;
    for (int id : {kWholeSentence, kSingleSentence, kPlugInDict, kPatch}) {
        c.Control(id)->setEnabled(bIdle);
    }
    c.Control(kAdvanced)->setEnabled(bIdle && m_state.m_bPlugInDict == 1);
    c.Get<QCheckBox>(kPlugInDict)->setChecked(m_state.m_bPlugInDict == 1);
    c.Get<QCheckBox>(kNotepad)->setChecked(m_state.m_bOpenInNotepad == 1);
    c.Get<QCheckBox>(kPatch)->setChecked(m_state.m_bMakePatch == 1);
    c.Get<QLineEdit>(kBackupExt)->setMaxLength(sizeof m_state.m_szBackupExt - 1);
    c.Get<QLineEdit>(kBackupExt)->setText(QString::fromUtf8(m_state.m_szBackupExt));
    auto* delay = c.Get<QSlider>(kDelay);
    delay->setRange(0, 10);
    delay->setValue(m_state.m_nDelay);

    auto* shading = c.Get<QComboBox>(kShading);
    for (const char* mode : texts::kShadingModes) {
        shading->addItem(QString::fromUtf8(mode));
    }
    shading->setCurrentIndex(3);
    auto* texture = c.Get<QComboBox>(kTextureFilter);
    for (const char* filter : texts::kTextureFilters) {
        texture->addItem(QString::fromUtf8(filter));
    }
    texture->setCurrentIndex(0);

    m_rcView = c.Control(kViewArea)->geometry().adjusted(5, 5, -5, -5);
    m_bWholeFileWalk = m_state.m_bWholeFileWalk == 1;
    c.Control(kSpecial)->setEnabled(bIdle);
    c.Control(kSpecial)->setToolTip(QString::fromUtf8(texts::kSpecialTip));
    for (int id : {kPerspective, kAmbientLight, kDirectionalLight, kPointLight, kParallelPointLight,
                   kSpotLight}) {
        c.Get<QCheckBox>(id)->setChecked(true);
    }

    {
        // The scene files lie in the start-up folder.
        const CInProgramDir inProgramDir(m_state);
        if (m_fnMakeView) {
            m_pView = m_fnMakeView(*this);
        }
        if (m_pView != nullptr && m_pView->Start()) {
            m_state.m_nActiveDialog = 1;
        } else {
            DisableTestView();
        }
    }

    connect(c.Get<QPushButton>(kConfirm), &QPushButton::clicked, this,
            [this] { RunUserAction(this, [this] { OnConfirm(); }); });
    connect(c.Get<QPushButton>(kAbout), &QPushButton::clicked, this, [this] { OnAbout(); });
    connect(c.Get<QPushButton>(kAdvanced), &QPushButton::clicked, this,
            [this] { RunUserAction(this, [this] { OnAdvanced(); }); });
    connect(c.Get<QPushButton>(kLanguage), &QPushButton::clicked, this,
            [this] { RunUserAction(this, [this] { OnLanguage(); }); });
    connect(c.Get<QCheckBox>(kPlugInDict), &QCheckBox::clicked, this,
            [this] { OnPlugInDictCheck(); });
    connect(c.Get<QPushButton>(kSpecial), &QPushButton::clicked, this, [this] { OnSpecial(); });
}

void CSettingsDlg::OnSpecial() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* wholeFile = menu->addAction(QString::fromUtf8(texts::kSpecialWholeFile));
    wholeFile->setCheckable(true);
    wholeFile->setChecked(m_bWholeFileWalk);
    connect(wholeFile, &QAction::toggled, this, [this](bool on) { m_bWholeFileWalk = on; });
    const QWidget* button = m_pControls->Control(kSpecial);
    menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void CSettingsDlg::DisableTestView() {
    const CDialogControls& c = *m_pControls;
    c.Control(kTest)->setEnabled(false);
    for (int id : kViewChecks) {
        c.Get<QCheckBox>(id)->setChecked(false);
        c.Control(id)->setEnabled(false);
    }
    for (int id : {kShading, kTextureFilter}) {
        c.Control(id)->setEnabled(false);
    }
    for (int id : kViewGroups) {
        c.Control(id)->setEnabled(false);
    }
    setWindowTitle(QString::fromUtf8(texts::kSettingsNoViewTitle));
}

void CSettingsDlg::OnPlugInDictCheck() {
    m_pControls->Control(kAdvanced)->setEnabled(
        m_pControls->Get<QCheckBox>(kPlugInDict)->isChecked());
}

void CSettingsDlg::OnConfirm() {
    // The close at the end is never refused, even while the speed test runs.
    if (m_pView != nullptr) {
        m_pView->EndSpeedTest();
    }
    const CDialogControls& c = *m_pControls;
    m_state.m_bWholeSentence = c.Get<QRadioButton>(kWholeSentence)->isChecked() ? 1 : 0;
    m_state.m_bPlugInDict = c.Get<QCheckBox>(kPlugInDict)->isChecked() ? 1 : 0;
    m_state.m_bOpenInNotepad = c.Get<QCheckBox>(kNotepad)->isChecked() ? 1 : 0;
    m_state.m_bMakePatch = c.Get<QCheckBox>(kPatch)->isChecked() ? 1 : 0;
    m_state.m_bWholeFileWalk = m_bWholeFileWalk ? 1 : 0;

    // The extension as typed, up to its buffer. A "/" would put the backup into another folder:
    // refused, and the window stays open with the previous extension kept.
    const std::string extension = c.Get<QLineEdit>(kBackupExt)->text().toStdString();
    if (extension.find('/') != std::string::npos) {
        ShowFailureBox(this, QString::fromUtf8(texts::kBackupExtWithSlash)
                                 .arg(QString::fromUtf8(m_state.m_szBackupExt)));
        return;
    }
    CopyText(m_state.m_szBackupExt, extension);
    m_state.m_nDelay = c.Get<QSlider>(kDelay)->value();

    m_state.m_pPlugInDictBuf = {};
    m_state.m_pPlugInDictUpperBuf = {};
    if (m_state.m_bPlugInDict == 1) {
        // A missing "user.txt" ends the confirm here, the window open, the buffers empty and the
        // engine's plug-in text as it was.
        const CInProgramDir inProgramDir(m_state);
        LoadPlugInDictionary(m_state, m_engine);
    }
    close();
}

void CSettingsDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (m_pView != nullptr) {
        QPainter painter(this);
        m_pView->Paint(painter, event->region());
    }
}

void CSettingsDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // A view tuned to one colour depth does not go on running on another: the dialog stores
    // the options and closes.
    if (event->type() == QEvent::ActivationChange && m_pView != nullptr &&
        m_pView->OnActivate(isActiveWindow())) {
        RunUserAction(this, [this] { OnConfirm(); });
    }
}

void CSettingsDlg::closeEvent(QCloseEvent* event) {
    if (m_pView != nullptr && !m_pView->OnClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CSettingsDlg::done(int result) {
    if (m_pView != nullptr) {
        m_pView->Release();
    }
    QDialog::done(result);
}

void CSettingsDlg::OnAbout() {
    QMessageBox::about(this, QString::fromUtf8(texts::kAboutCaption),
                       QString::fromUtf8(texts::kAboutText));
}

void CSettingsDlg::OnAdvanced() {
    CAdvancedDlg dialog(m_state, m_engine, this);
    dialog.exec();
    m_state.m_nActiveDialog = 0;
}

void CSettingsDlg::OnLanguage() {
    CLanguageDlg dialog(m_state, m_engine, this);
    dialog.exec();
    m_state.m_nActiveDialog = 0;
}
