#include "TranslatorApp.h"

#include <fcntl.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <QStyle>
#include <QStyleFactory>

#include "AppState.h"
#include "D3DView.h"
#include "FileOps.h"
#include "MainDlg.h"
#include "ManualDlg.h"
#include "SettingsDlg.h"
#include "TranslationEngine.h"
#include "TranslatorInfoDlg.h"

namespace {
// The shared state and the engine live for the whole run.
AppState theState;
CTranslationEngine theEngine;
}  // namespace

CTranslatorApp::CTranslatorApp(int& argc, char** argv) : QApplication(argc, argv) {
    // The dialogs were laid out for the classic Windows look: group titles on the frame line,
    // plain push buttons. Qt draws that style on every platform.
    if (QStyle* style = QStyleFactory::create("Windows")) {
        setStyle(style);
    }
}

// SIGINT and SIGTERM: the handler has removed the temporaries being written and wakes the window
// through a pipe; the pass in progress stops (writing nothing) and every window closes.
void CTranslatorApp::EndOnSignals() {
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    RemoveTemporariesOnSignals(wake[1]);
    auto* notifier = new QSocketNotifier(wake[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [wakeFd = wake[0]] {
        char signal = 0;
        while (::read(wakeFd, &signal, 1) > 0) {
        }
        theState.m_bStopped = 1;
        theState.m_bBusy = 0;
        closeAllWindows();
        exit(128 + signal);
    });
}

int CTranslatorApp::InitInstance() {
    EndOnSignals();
    CMainDlg::Openers openers;
    openers.askTranslator = [](QWidget* parent) {
        CTranslatorInfoDlg dialog(theState, parent);
        dialog.exec();
    };
    openers.openSettings = [](QWidget* parent) {
        CSettingsDlg dialog(theState, theEngine, parent, MakeD3DView);
        dialog.exec();
    };
    openers.openManual = [](QWidget* parent) {
        CManualDlg dialog(theState, theEngine, parent);
        dialog.exec();
    };
    CMainDlg dialog(theState, theEngine, std::move(openers));
    dialog.DoModal();
    return 0;
}

int main(int argc, char** argv) {
    CTranslatorApp app(argc, argv);
    return app.InitInstance();
}
