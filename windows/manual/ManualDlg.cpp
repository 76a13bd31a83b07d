#include "ManualDlg.h"

#include <unistd.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <cstdio>

#include "DrawingResources.h"
#include "FailureReport.h"
#include "FileChoice.h"
#include "FileError.h"
#include "ManualDlgIds.h"
#include "RestoreCommand.h"
#include "Texts.h"

using namespace ids::manual;

CManualDlg::CManualDlg(AppState& state, CTranslationEngine& engine, QWidget* parent)
    : QDialog(parent), m_state(state), m_engine(engine) {
    OnInitDialog();
}

CManualDlg::~CManualDlg() = default;

void CManualDlg::OnInitDialog() {
    m_pControls =
        std::make_unique<CDialogControls>(*this, FindDialogTemplate(ids::manual::kTemplate));
    const CDialogControls& c = *m_pControls;
    setWindowIcon(QIcon(":/vokra/icon128.xpm"));
    setWindowTitle(QString::fromUtf8(texts::kManualTitle));

    const CDrawingResources& drawing = SharedDrawing();
    m_statusBar = new CStatusBar(this);
    const int barHeight = drawing.m_nFontHeight + 10;
    m_statusBar->setGeometry(0, height() - barHeight, width(), barHeight);
    const int w = width() / 4;
    m_statusBar->SetParts({1, 1 + w, 1 + 2 * w, 1 + 3 * w, 1 + 4 * w});
    m_statusBar->SetText(1, QString::fromUtf8(texts::kManualPaneMarker));
    m_statusBar->SetText(2, QString::fromUtf8(texts::kPaneOffsetInitial));
    m_statusBar->SetText(3, QString::fromUtf8(texts::kPaneRatioInitial));
    m_statusBar->SetText(4, QString::fromUtf8(texts::kPaneStateIdle));

    // The file name and the counters are drawn 16 pixels right of and 28 below their boxes'
    // corners, the pane lines 19 below, before the drawing's own offsets.
    auto box = [&c](int id) { return c.Control(id)->geometry(); };
    m_rcFileName = box(kFileNameBox).translated(16, 28);
    m_rcFoundCount = box(kFoundCountBox).translated(16, 28);
    m_rcTranslatedCount = box(kCountBox).translated(16, 28);
    m_rcSource = box(kSourceBox).translated(0, 19);
    m_rcTranslated = box(kTranslationBox).translated(0, 19);

    m_pProgress = c.Get<QProgressBar>(kProgress);
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
    m_pBackupExtCombo = c.Get<QComboBox>(kBackupExtList);
    m_pTranslationExtCombo = c.Get<QComboBox>(kTranslationExtList);
    for (int i = 0; i < kExtensionChoices; ++i) {
        m_pBackupExtCombo->addItem(QString::fromLatin1(BackupExtensions[i]));
        m_pTranslationExtCombo->addItem(QString::fromLatin1(TranslationExtensions[i]));
    }
    m_pBackupExtCombo->setCurrentIndex(0);
    m_pTranslationExtCombo->setCurrentIndex(0);
    for (int id : {kTranslate, kWrite, kStop}) {
        c.Control(id)->setEnabled(false);
    }

    for (std::string& file : m_state.m_astrManualFiles) {
        file.clear();
    }
    m_state.m_nManualFileCount = 0;
    m_state.m_nFileIndex = 0;
    m_state.m_nActiveDialog = 2;

    m_pView =
        std::make_unique<CPassView>(*this, *m_statusBar, *m_pProgress,
                                    CPassLayout{m_rcFileName, m_rcFoundCount, m_rcTranslatedCount,
                                                m_rcSource, m_rcTranslated, 1},
                                    [this](bool bRunning) { ShowRunning(bRunning); });

    auto connectButton = [this, &c](int id, void (CManualDlg::*handler)()) {
        connect(c.Get<QPushButton>(id), &QPushButton::clicked, this,
                [this, handler] { RunUserAction(this, [this, handler] { (this->*handler)(); }); });
    };
    connectButton(kLoad, &CManualDlg::OnLoad);
    connectButton(kTranslate, &CManualDlg::OnTranslate);
    connectButton(kWrite, &CManualDlg::OnWrite);
    connectButton(kStop, &CManualDlg::OnStop);
    connectButton(kEnd, &CManualDlg::OnEnd);
    m_pRestore = AddRestoreCommand(*this, [this] { OnRestore(); });
}

void CManualDlg::ShowRunning(bool bRunning) {
    for (int id : {kLoad, kTranslate, kWrite, kEnd, kBackupExtList, kTranslationExtList}) {
        m_pControls->Control(id)->setEnabled(!bRunning);
    }
    m_pControls->Control(kStop)->setEnabled(bRunning);
    m_pRestore->setEnabled(!bRunning);
}

void CManualDlg::OnRestore() {
    RestoreChosenFiles(*this, m_state.m_astrManualFiles, m_state.m_nManualFileCount,
                       BackupExtensions[BackupExtIndex()]);
}

void CManualDlg::OnLoad() {
    const QStringList chosen = m_fnChooseFiles ? m_fnChooseFiles(this) : ChooseProgramFiles(this);
    // A cancelled choice keeps the earlier list.
    if (chosen.isEmpty()) {
        return;
    }
    for (std::string& file : m_state.m_astrManualFiles) {
        file.clear();
    }
    m_state.m_nManualFileCount = static_cast<int>(std::min<qsizetype>(chosen.size(), kMaxFiles));
    for (int i = 0; i < m_state.m_nManualFileCount; ++i) {
        m_state.m_astrManualFiles[static_cast<std::size_t>(i)] = chosen[i].toStdString();
    }
    m_state.m_nFileIndex = 0;
    const std::string folder = QFileInfo(chosen[0]).absolutePath().toStdString();
    if (chdir(folder.c_str()) == 0) {
        CopyText(m_state.m_szFileDir, folder);
    }

    const std::string& first = m_state.m_astrManualFiles[0];
    SplitPath(first, m_state);
    char title[1024];
    std::snprintf(title, sizeof title, texts::kManualTitleLoaded, m_state.m_nManualFileCount,
                  m_state.m_szFname, m_state.m_szExt);
    setWindowTitle(QString::fromUtf8(title));
    std::fill(std::begin(m_state.m_szBlanks), std::end(m_state.m_szBlanks), ' ');
    m_pView->DrawFileName(first);
    m_pView->EraseCounters();
    m_pView->BlankPaneLines();
    m_pView->SetProgress(0);
    m_pView->Flush();
    m_pControls->Control(kTranslate)->setEnabled(true);
    m_pControls->Control(kWrite)->setEnabled(true);
}

void CManualDlg::OnTranslate() {
    const CPassCommand command(*m_pView, *this);
    RunTranslateCommand(m_state, m_engine, *m_pView, *this);
}

void CManualDlg::OnWrite() {
    const CPassCommand command(*m_pView, *this);
    RunWriteCommand(m_state, m_engine, *m_pView, *this, m_buffers);
}

void CManualDlg::OnStop() {
    StopManualPass(m_state, *m_pView, m_buffers);
    m_pView->Flush();
}

void CManualDlg::OnEnd() {
    close();
}

void CManualDlg::closeEvent(QCloseEvent* event) {
    if (m_state.m_bStopped == 0) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CManualDlg::reject() {
    if (m_state.m_bStopped != 0) {
        QDialog::reject();
    }
}

void CManualDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (m_pView) {
        QPainter painter(this);
        m_pView->Paint(painter);
    }
}

int CManualDlg::BackupExtIndex() const {
    return std::max(0, m_pBackupExtCombo->currentIndex());
}

int CManualDlg::TranslationExtIndex() const {
    return std::max(0, m_pTranslationExtCombo->currentIndex());
}

void CManualDlg::SetGroupCaptions(const char* progress, const char* count) {
    m_pControls->Get<QGroupBox>(kProgressBox)->setTitle(QString::fromUtf8(progress));
    m_pControls->Get<QGroupBox>(kCountBox)->setTitle(QString::fromUtf8(count));
}

void CManualDlg::OpenEditor(const std::string& fileName) {
    if (m_fnOpenEditor) {
        m_fnOpenEditor(fileName);
        return;
    }
    // The editor lies beside the program; it opens the file by its bare name in the current
    // directory. An editor that cannot be started is not reported.
    const QString editor = QCoreApplication::applicationDirPath() + "/vokra-edit";
    QProcess::startDetached(editor, {QString::fromStdString(fileName)}, QDir::currentPath());
}

bool CManualDlg::ConfirmReplaceListing(const std::string& fileName) {
    if (m_fnConfirmReplace) {
        return m_fnConfirmReplace(fileName);
    }
    const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QMessageBox::question(
               this, caption, QString::fromStdString(FillIn(texts::kAskReplaceListing, fileName)),
               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
