// A display that records what a pass shows, for tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "AppState.h"
#include "PassDisplay.h"

class CRecordingDisplay : public IPassDisplay {
  public:
    explicit CRecordingDisplay(const AppState& state) : m_state(state) {}

    void SetTitle(const std::string& title) override { titles.push_back(title); }
    void DrawFileName(const std::string& path) override { fileNames.push_back(path); }
    void ShowRunning(bool bRunning) override { running.push_back(bRunning); }
    void EraseCounters() override { ++countersErased; }
    void DrawFoundCount(std::uint64_t count) override {
        found.push_back(static_cast<unsigned>(count));
    }
    void DrawTranslatedCount(std::int64_t count) override {
        translated.push_back(static_cast<int>(count));
    }
    void BlankPaneLines() override { ++panesBlanked; }
    void DrawSourceLine(int line, std::string_view source) override {
        sourceLines.emplace_back(line, source);
    }
    void DrawTranslationLine(int line, std::string_view text) override {
        translationLines.emplace_back(line, text);
    }
    void SetProgress(int percent) override { progress.push_back(percent); }
    void ShowRunOffset(std::int64_t pos) override { runs.emplace_back(pos, m_state.m_nRunBytes); }
    void ShowRatio(unsigned percent) override { ratios.push_back(percent); }
    void SetStatusText(int pane, const char* text) override { status.emplace_back(pane, text); }
    void StartMarker(EMarker kind) override { markers.push_back(kind); }
    void ShowNotice(const std::string& text) override { notices.push_back(text); }

    std::vector<std::string> titles;
    std::vector<std::string> fileNames;
    std::vector<bool> running;
    int countersErased = 0;
    int panesBlanked = 0;
    std::vector<unsigned> found;
    std::vector<int> translated;
    std::vector<std::pair<int, std::string>> sourceLines;       // line and text, as drawn
    std::vector<std::pair<int, std::string>> translationLines;  // line and bytes, as drawn
    std::vector<int> progress;
    std::vector<std::pair<std::int64_t, int>> runs;  // offset and length of every run found
    std::vector<unsigned> ratios;
    std::vector<std::pair<int, std::string>> status;
    std::vector<EMarker> markers;
    std::vector<std::string> notices;

  private:
    const AppState& m_state;
};
