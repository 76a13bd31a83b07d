// Shows a batch pass on a terminal: a progress bar while it runs (only when the output is a
// terminal), and the figures the summary line needs.
#pragma once

#include <cstdio>
#include <string>

#include "PassDisplay.h"

class CTerminalDisplay : public CSilentDisplay {
  public:
    CTerminalDisplay(std::FILE* out, bool bProgressBar)
        : m_out(out), m_bProgressBar(bProgressBar) {}

    void DrawFileName(const std::string& path) override;
    void SetProgress(int percent) override;
    void ShowRatio(unsigned percent) override { m_nRatio = percent; }
    // On the error stream, so that the lines of the files stay as they are.
    void ShowNotice(const std::string& text) override;

    // Clears the progress bar's line, so that the next line starts clean.
    void EndProgress();
    // The ratio the window's status bar showed last (0 before any run was found).
    unsigned Ratio() const { return m_nRatio; }

  private:
    std::FILE* m_out;
    bool m_bProgressBar;
    bool m_bBarShown = false;
    std::string m_strName;
    unsigned m_nRatio = 0;
};
