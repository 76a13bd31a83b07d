// What a pass shows while it runs. The window implements it on screen, the command-line tool on
// a terminal, and tests by recording.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ProgressMarker.h"

class IPassDisplay {
  public:
    virtual ~IPassDisplay() = default;

    virtual void SetTitle(const std::string& title) = 0;
    // The full path of the current file, in the file-name box.
    virtual void DrawFileName(const std::string& path) = 0;
    // The buttons of a running pass (only Stop and Settings usable) or of the idle window.
    virtual void ShowRunning(bool bRunning) = 0;
    virtual void EraseCounters() = 0;
    virtual void DrawFoundCount(std::uint64_t count) = 0;
    virtual void DrawTranslatedCount(std::int64_t count) = 0;
    // Blanks the four lines of both content panes.
    virtual void BlankPaneLines() = 0;
    // Line `line` (0 to 3) of the source-text pane, blanked and then showing the English text.
    virtual void DrawSourceLine(int line, std::string_view source) = 0;
    // Line `line` of the translated-text pane: a translation's bytes in the dictionary code.
    virtual void DrawTranslationLine(int line, std::string_view translation) = 0;
    virtual void SetProgress(int percent) = 0;
    // Status pane 2: the byte offset of the run just found.
    virtual void ShowRunOffset(std::int64_t pos) = 0;
    // Status pane 3: the translation ratio in percent.
    virtual void ShowRatio(unsigned percent) = 0;
    // Any status pane's text (pane 4 holds the state of the pass).
    virtual void SetStatusText(int pane, const char* text) = 0;
    // Starts the marker that moves across status pane 1 while a manual pass runs.
    virtual void StartMarker(EMarker) {}
    // Something the user should know once the pass is over (a backup under another name, other
    // names of a replaced file): UTF-8, names as the system has them.
    virtual void ShowNotice(const std::string&) {}
};

// Shows nothing: for passes run where nobody watches, and a base for displays that show little.
class CSilentDisplay : public IPassDisplay {
  public:
    void SetTitle(const std::string&) override {}
    void DrawFileName(const std::string&) override {}
    void ShowRunning(bool) override {}
    void EraseCounters() override {}
    void DrawFoundCount(std::uint64_t) override {}
    void DrawTranslatedCount(std::int64_t) override {}
    void BlankPaneLines() override {}
    void DrawSourceLine(int, std::string_view) override {}
    void DrawTranslationLine(int, std::string_view) override {}
    void SetProgress(int) override {}
    void ShowRunOffset(std::int64_t) override {}
    void ShowRatio(unsigned) override {}
    void SetStatusText(int, const char*) override {}
};
