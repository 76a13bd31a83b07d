#include "MainDlg.h"

#include <unistd.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <cstdio>

#include "BatchPass.h"
#include "DrawingResources.h"
#include "FailureReport.h"
#include "FileChoice.h"
#include "MainDlgIds.h"
#include "RestoreCommand.h"
#include "Startup.h"
#include "Texts.h"
#include "Timing.h"
#include "WindowDrawing.h"
#include "WindowText.h"

using namespace ids::main;

namespace {

// The hand-drawn texts are placed against rectangles measured from the window's outer corner
// (a frame and a caption bar above the client area) but drawn in client coordinates; the
// offsets of the drawing then put them inside their boxes.
constexpr int kNonClientLeft = 3;
constexpr int kNonClientTop = 22;

}  // namespace

CMainDlg::CMainDlg(AppState& state, CTranslationEngine& engine, Openers openers)
    : m_state(state), m_engine(engine), m_openers(std::move(openers)) {}

CMainDlg::~CMainDlg() = default;

int CMainDlg::DoModal() {
    OnInitDialog();
    return exec();
}

void CMainDlg::OnInitDialog() {
    // The steps without a window: translator record, defaults, main dictionary, direction and
    // start-up folder. A missing record asks for the identity before the window is built.
    const StartupResult startup = StartUp(m_state, m_engine);
    if (startup.bAskTranslator && m_openers.askTranslator) {
        m_openers.askTranslator(this);
    }
    InitWindow();
    ConnectButtons();
    for (const std::exception_ptr& failure : startup.failures) {
        ReportFailureLater(this, failure);
    }
}

void CMainDlg::InitWindow() {
    m_pControls =
        std::make_unique<CDialogControls>(*this, FindDialogTemplate(ids::main::kTemplate));
    const QIcon icon(":/vokra/icon128.xpm");
    setWindowIcon(icon);
    setWindowTitle(QString::fromUtf8(texts::kMainTitle));
    m_bmpLogo = QPixmap(":/vokra/logo135.xpm");

    CDrawingResources& drawing = SharedDrawing();
    drawing.Take(m_pControls->Control(kFileNameBox)->font(), palette().color(QPalette::Window));

    // The status bar along the bottom edge; its panes end at quarters of the window's width.
    m_statusBar = new CStatusBar(this);
    const int barHeight = drawing.m_nFontHeight + 10;
    m_statusBar->setGeometry(0, height() - barHeight, width(), barHeight);
    const int w = width() / 4;
    m_anStatusParts = {1, 1 + w, 1 + 2 * w, 1 + 3 * w, 1 + 4 * w};
    m_statusBar->SetParts(m_anStatusParts);
    m_statusBar->SetText(1, QString::fromUtf8(texts::kPaneLogo), true);
    m_statusBar->SetText(2, QString::fromUtf8(texts::kPaneOffsetInitial));
    m_statusBar->SetText(3, QString::fromUtf8(texts::kPaneRatioInitial));
    m_statusBar->SetText(4, QString::fromUtf8(texts::kPaneStateIdle));
    m_statusBar->SetLogo(m_bmpLogo);
    m_nStatusInnerHeight = m_statusBar->InnerHeight();

    m_pProgress = m_pControls->Get<QProgressBar>(kProgress);
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);

    auto outer = [this](int id) {
        return m_pControls->Control(id)->geometry().translated(kNonClientLeft, kNonClientTop);
    };
    m_rcFileName = outer(kFileNameBox);
    m_rcFoundCount = outer(kFoundCountBox);
    m_rcTranslatedCount = outer(kTranslatedCountBox);
    m_rcSource = outer(kSourceBox);
    m_rcTranslated = outer(kTranslationBox);

    m_pView =
        std::make_unique<CPassView>(*this, *m_statusBar, *m_pProgress,
                                    CPassLayout{m_rcFileName, m_rcFoundCount, m_rcTranslatedCount,
                                                m_rcSource, m_rcTranslated, 4},
                                    [this](bool bRunning) { ShowRunning(bRunning); });

    EnableButton(kStart, false);
    EnableButton(kStop, false);
}

void CMainDlg::ConnectButtons() {
    auto connectButton = [this](int id, void (CMainDlg::*handler)()) {
        connect(m_pControls->Get<QPushButton>(id), &QPushButton::clicked, this,
                [this, handler] { RunUserAction(this, [this, handler] { (this->*handler)(); }); });
    };
    connectButton(kLoad, &CMainDlg::OnLoad);
    connectButton(kStart, &CMainDlg::OnStart);
    connectButton(kExit, &CMainDlg::OnExit);
    connectButton(kSettings, &CMainDlg::OnSettings);
    connectButton(kStop, &CMainDlg::OnStop);
    connectButton(kManual, &CMainDlg::OnManual);
    m_pRestore = AddRestoreCommand(*this, [this] { OnRestore(); });
}

void CMainDlg::EnableButton(int id, bool bEnabled) {
    m_pControls->Control(id)->setEnabled(bEnabled);
}

void CMainDlg::OnLoad() {
    const QStringList chosen = m_fnChooseFiles ? m_fnChooseFiles(this) : ChooseProgramFiles(this);
    // A cancelled choice keeps the earlier list, so that Start still has its files.
    if (chosen.isEmpty()) {
        return;
    }
    for (std::string& file : m_state.m_astrFiles) {
        file.clear();
    }
    m_state.m_nFileCount = static_cast<int>(std::min<qsizetype>(chosen.size(), kMaxFiles));
    for (int i = 0; i < m_state.m_nFileCount; ++i) {
        m_state.m_astrFiles[static_cast<std::size_t>(i)] = chosen[i].toStdString();
    }
    m_state.m_nFileIndex = 0;

    // The current directory becomes the folder of the chosen files: backups land there.
    const std::string folder = QFileInfo(chosen[0]).absolutePath().toStdString();
    if (chdir(folder.c_str()) == 0) {
        CopyText(m_state.m_szFileDir, folder);
    }

    const std::string& first = m_state.m_astrFiles[0];
    SplitPath(first, m_state);
    char title[1024];
    std::snprintf(title, sizeof title, texts::kMainTitleLoaded, m_state.m_nFileCount,
                  m_state.m_szFname, m_state.m_szExt);
    setWindowTitle(QString::fromUtf8(title));
    m_pView->DrawFileName(first);
    m_pView->EraseCounters();
    m_pView->BlankPaneLines();
    m_pView->SetProgress(0);
    m_pView->Flush();
    EnableButton(kStart, true);
}

void CMainDlg::OnStart() {
    // The pass runs here, inside the handler; it keeps the window alive through the message
    // pump, where Stop and Settings are handled. A file error ends it (RunUserAction reports it).
    const CPassCommand command(*m_pView, *this);
    RunBatch(m_state, m_engine, *m_pView);
}

void CMainDlg::OnStop() {
    StopBatch(m_state, *m_pView);
    m_pView->Flush();
}

void CMainDlg::OnExit() {
    m_state.m_pMainDictBuf = {};
    m_state.m_pPlugInDictBuf = {};
    m_state.m_pPlugInDictUpperBuf = {};
    close();
}

void CMainDlg::OnSettings() {
    if (m_openers.openSettings) {
        m_openers.openSettings(this);
        m_state.m_nActiveDialog = 0;
    }
}

void CMainDlg::OnManual() {
    if (m_openers.openManual) {
        m_openers.openManual(this);
        m_state.m_nActiveDialog = 0;
    }
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    // While a pass runs the window stays.
    if (m_state.m_bStopped == 0) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CMainDlg::reject() {
    if (m_state.m_bStopped != 0) {
        QDialog::reject();
    }
}

void CMainDlg::ShowRunning(bool bRunning) {
    for (int id : {kLoad, kStart, kExit, kManual}) {
        EnableButton(id, !bRunning);
    }
    EnableButton(kStop, bRunning);
    m_pRestore->setEnabled(!bRunning);
}

void CMainDlg::OnRestore() {
    RestoreChosenFiles(*this, m_state.m_astrFiles, m_state.m_nFileCount, m_state.m_szBackupExt);
}

void CMainDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (m_pView) {
        QPainter painter(this);
        m_pView->Paint(painter);
    }
}
