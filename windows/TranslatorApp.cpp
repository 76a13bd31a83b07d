#include "TranslatorApp.h"

#include <QStyle>
#include <QStyleFactory>

#include "AppState.h"
#include "D3DView.h"
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

int CTranslatorApp::InitInstance() {
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
