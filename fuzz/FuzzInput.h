// Cutting a fuzzer's input into the pieces a target needs, and the invariant of every pass that
// changes an image: bytes change only inside the runs the scanner reported.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "AppState.h"
#include "BatchPass.h"
#include "FileError.h"
#include "PassDisplay.h"
#include "StructureWalk.h"

class CFuzzInput {
  public:
    CFuzzInput(const std::uint8_t* data, std::size_t size) : m_p(data), m_nLeft(size) {}

    std::uint8_t Byte() {
        if (m_nLeft == 0) {
            return 0;
        }
        --m_nLeft;
        return *m_p++;
    }
    // A piece whose length (up to 65535) comes first, in two bytes.
    std::string Piece() {
        const std::size_t length = std::min<std::size_t>(Byte() | (Byte() << 8), m_nLeft);
        std::string piece(reinterpret_cast<const char*>(m_p), length);
        m_p += length;
        m_nLeft -= length;
        return piece;
    }
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(m_p), m_nLeft);
        m_p += m_nLeft;
        m_nLeft = 0;
        return rest;
    }

  private:
    const std::uint8_t* m_p;
    std::size_t m_nLeft;
};

// Records every run a walk reports: its offset and length.
class CRunRecorder : public CSilentDisplay {
  public:
    explicit CRunRecorder(const AppState& state) : m_state(state) {}
    // A field of the structure-aware walk may change as a whole (its punctuation and fill move).
    void ShowRunOffset(std::int64_t pos) override {
        runs.emplace_back(
            pos, m_state.m_pField != nullptr ? 2 * m_state.m_pField->nUnits : m_state.m_nRunBytes);
    }
    std::vector<std::pair<std::int64_t, int>> runs;

  private:
    const AppState& m_state;
};

// A Windows program's header checksum is written anew after a pass changes it.
inline void AllowChecksum(const std::string& image,
                          std::vector<std::pair<std::int64_t, int>>& runs) {
    const ProgramFacts facts = LookAtProgram(reinterpret_cast<const unsigned char*>(image.data()),
                                             static_cast<std::int64_t>(image.size()));
    if (facts.nChecksumOffset >= 0) {
        runs.emplace_back(facts.nChecksumOffset, 4);
    }
}

// Aborts, which the fuzzer reports, when a byte changed outside every reported run.
inline void RequireChangesInsideRuns(const std::string& before, const std::string& after,
                                     const std::vector<std::pair<std::int64_t, int>>& runs) {
    if (before.size() != after.size()) {
        std::abort();
    }
    std::vector<bool> inRun(before.size(), false);
    for (const auto& [pos, bytes] : runs) {
        if (pos < 0 || bytes < 0 ||
            static_cast<std::size_t>(pos) + static_cast<std::size_t>(bytes) > before.size()) {
            std::abort();
        }
        for (int i = 0; i < bytes; ++i) {
            inRun[static_cast<std::size_t>(pos + i)] = true;
        }
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i] && !inRun[i]) {
            std::abort();
        }
    }
}

// A dictionary file's bytes as the loaders prepare them.
inline std::string Prepared(std::string bytes) {
    CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(bytes.data()),
                                              bytes.size());
    return bytes;
}

// The batch pass over a copy of `before`: bytes change only inside the runs it reported (and a
// Windows program's checksum); a file that claims to be a program but does not read is refused
// untouched. Returns the translated image, or `before` itself after a refusal.
inline std::string TranslateWithinRuns(AppState& state, CTranslationEngine& engine,
                                       const std::string& before) {
    std::string image = before;
    state.m_bStopped = 0;
    CRunRecorder recorder(state);
    try {
        TranslateImage(state, engine, recorder, reinterpret_cast<unsigned char*>(image.data()),
                       static_cast<std::int64_t>(image.size()));
    } catch (const CFileError& refusal) {
        if (refusal.Cause() != EFileErrorCause::BrokenProgram || image != before) {
            std::abort();
        }
        return image;
    }
    AllowChecksum(before, recorder.runs);
    RequireChangesInsideRuns(before, image, recorder.runs);
    return image;
}
