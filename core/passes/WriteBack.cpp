#include "WriteBack.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "Texts.h"

void LoadEditedDictionary(CTranslationEngine& engine, std::string fileBytes) {
    CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(fileBytes.data()),
                                              fileBytes.size());
    engine.m_strEditedDict = std::string_view(fileBytes);
}

void CWriteBackRunHandler::OnRun(std::int64_t pos) {
    const int runBytes = m_state.m_nRunBytes;
    // A single character is neither counted nor shown.
    if (runBytes <= 2) {
        return;
    }
    const char* candidate = m_state.m_szCandidate;
    m_state.m_nFoundCount += 1;
    m_display.DrawFoundCount(m_state.m_nFoundCount);
    m_display.DrawSourceLine(0,
                             std::string_view(candidate, static_cast<std::size_t>(runBytes / 2)));

    // The count covers the whole key "[" TEXT "=": the letter test sees every letter of it.
    m_engine.LookupEditedTranslation(candidate, runBytes + 2);
    if (!m_engine.LayInByChars(m_pImage, pos, runBytes)) {
        return;
    }
    m_state.m_nTranslatedCount += 1;
    m_display.DrawTranslatedCount(m_state.m_nTranslatedCount);
    // Counted after this run's own translation, unlike the batch run.
    const unsigned translated = static_cast<unsigned>(std::max(m_state.m_nTranslatedCount, 1));
    m_display.ShowRatio(translated * 100 / m_state.m_nFoundCount);
    m_display.DrawTranslationLine(
        0, std::string_view(m_engine.m_szResult, static_cast<std::size_t>(m_engine.m_nResultLen)));
}

bool WriteBackImage(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                    unsigned char* image, std::int64_t size) {
    state.m_nFoundCount = 0;
    state.m_nTranslatedCount = 0;
    display.SetStatusText(4, texts::kPaneStateWrite);
    display.StartMarker(EMarker::Write);
    CWriteBackRunHandler handler(state, engine, display, image);
    return WalkImage(state, image, size, EMainScanner::AlwaysSentence, display, handler);
}
