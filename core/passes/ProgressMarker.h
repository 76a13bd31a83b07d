// The marker that moves back and forth across status pane 1 while a manual pass runs: ">>>"
// (and "<<<" on the way back) for Translate, ")+++>" (and "<+++(") for Write.
#pragma once

#include <string>

enum class EMarker { None, Translate, Write };

class CProgressMarker {
  public:
    static constexpr int kFieldWidth = 36;

    explicit CProgressMarker(EMarker kind = EMarker::None) : m_kind(kind) {}

    EMarker Kind() const { return m_kind; }
    // Milliseconds between two steps: 120 for Translate, 60 for Write.
    unsigned IntervalMs() const { return m_kind == EMarker::Write ? 60 : 120; }
    // Moves the marker one place (turning at the ends of its track, 0 to 32) and returns the
    // 36-character field that shows it.
    std::string Step();

  private:
    EMarker m_kind;
    int m_nPos = 1;
    int m_nDir = 1;
};
