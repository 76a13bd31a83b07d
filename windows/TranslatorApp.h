// The application: runs the main window modally and ends when it closes.
#pragma once

#include <QApplication>

class CTranslatorApp : public QApplication {
  public:
    CTranslatorApp(int& argc, char** argv);
    // Runs the main window; returns the program's exit status once it has closed.
    int InitInstance();

  private:
    void EndOnSignals();
};
