#include "TerminalDisplay.h"

#include "TerminalText.h"

void CTerminalDisplay::DrawFileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    m_strName = TerminalText(slash == std::string::npos ? path : path.substr(slash + 1));
    m_nRatio = 0;
}

void CTerminalDisplay::SetProgress(int percent) {
    if (!m_bProgressBar) {
        return;
    }
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::fprintf(m_out, "\r%3d%% [%.*s%*s] %s", percent, filled,
                 "########################################", kWidth - filled, "",
                 m_strName.c_str());
    std::fflush(m_out);
    m_bBarShown = true;
}

void CTerminalDisplay::EndProgress() {
    if (m_bBarShown) {
        std::fprintf(m_out, "\r\033[K");
        m_bBarShown = false;
    }
}

void CTerminalDisplay::ShowNotice(const std::string& text) {
    EndProgress();
    std::fprintf(stderr, "vokra-batch: %s\n", TerminalText(text).c_str());
}
