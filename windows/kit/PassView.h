// What a pass shows in a window: the file name, the two counters, the lines of the two content
// panes, the progress bar, the status panes and the progress marker. The pass only notes them,
// so that the window costs the engine nothing; the message pump puts them on the screen a few
// times a second, and every repaint draws the hand-drawn ones again, so covering the window
// loses nothing. The main and the manual window each own one.
#pragma once

#include <QProgressBar>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "FailureReport.h"
#include "PassDisplay.h"
#include "StatusBar.h"

class QPainter;

struct CPassLayout {
    // The drawing rectangles: file name, counters and panes, drawn with the offsets of the
    // windows' drawing (file name at left + 1, top - 8; counters at left + 1, top - 9; pane
    // lines from left + font height, a line step apart).
    QRect fileName, foundCount, translatedCount, source, translated;
    int nPaneLines = 4;
};

class CPassView : public IPassDisplay {
  public:
    static constexpr int kMaxLines = 4;

    // `showRunning` switches the window's buttons between a running pass and idle.
    CPassView(QWidget& window, CStatusBar& statusBar, QProgressBar& progress, CPassLayout layout,
              std::function<void(bool)> showRunning);
    ~CPassView() override;
    CPassView(const CPassView&) = delete;
    CPassView& operator=(const CPassView&) = delete;

    // The message pump of the windows: shows the figures of the newest window's pass, then
    // handles the pending events.
    static int PumpEvents();

    // Puts what was noted since the last time on the screen, and steps the marker.
    void Flush();
    // What the passes told the user since the last time, taken.
    QStringList TakeNotices();
    // Draws the file name, counters and pane lines.
    void Paint(QPainter& painter) const;

    // What the file-name box, a counter and a pane line show now (for tests).
    QString ShownFileName() const { return m_strFileName; }
    QString ShownFoundCount() const;
    QString ShownTranslatedCount() const;
    QString ShownSourceLine(int line) const;
    QString ShownTranslationLine(int line) const;

    void SetTitle(const std::string& title) override;
    void DrawFileName(const std::string& path) override;
    void ShowRunning(bool bRunning) override;
    void EraseCounters() override;
    void DrawFoundCount(std::uint64_t count) override;
    void DrawTranslatedCount(std::int64_t count) override;
    void BlankPaneLines() override;
    void DrawSourceLine(int line, std::string_view source) override;
    void DrawTranslationLine(int line, std::string_view translation) override;
    void SetProgress(int percent) override;
    void ShowRunOffset(std::int64_t pos) override;
    void ShowRatio(unsigned percent) override;
    void SetStatusText(int pane, const char* text) override;
    void StartMarker(EMarker kind) override;
    void ShowNotice(const std::string& text) override;

  private:
    QWidget& m_window;
    CStatusBar& m_statusBar;
    QProgressBar& m_progress;
    CPassLayout m_layout;
    std::function<void(bool)> m_fnShowRunning;
    CPassView* m_pOuter;  // the view of the window below this one, which pumps again after

    QString m_strFileName;
    bool m_bFound = false;
    std::uint64_t m_nFound = 0;
    bool m_bTranslated = false;
    std::int64_t m_nTranslated = 0;
    std::array<std::string, kMaxLines> m_astrSource;
    std::array<std::string, kMaxLines> m_astrTranslation;
    int m_nProgress = 0;
    bool m_bOffset = false;
    std::int64_t m_nOffset = 0;
    bool m_bRatio = false;
    unsigned m_nRatio = 0;
    std::array<const char*, CStatusBar::kPanes> m_apszStatus{};
    CProgressMarker m_marker;
    std::uint32_t m_nLastMarkerStep = 0;
    bool m_bDirty = false;
    QStringList m_astrNotices;
};

// A command's passes run while it lives: at its end, however the command ends, the view shows
// what was noted last and the user is told what the passes said.
class CPassCommand {
  public:
    CPassCommand(CPassView& view, QWidget& window) : m_view(view), m_window(window) {}
    ~CPassCommand() {
        m_view.Flush();
        ReportNoticesLater(&m_window, m_view.TakeNotices());
    }
    CPassCommand(const CPassCommand&) = delete;
    CPassCommand& operator=(const CPassCommand&) = delete;

  private:
    CPassView& m_view;
    QWidget& m_window;
};
