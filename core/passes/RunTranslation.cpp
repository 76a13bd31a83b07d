#include "RunTranslation.h"

#include <algorithm>

void TranslateCandidate(const PassState& state, CTranslationEngine& engine, const char* candidate,
                        int runBytes, EMainScanner mode) {
    if (state.m_bPlugInDict == 1) {
        engine.TranslatePlugIn(candidate, runBytes, state.m_bIgnoreCase == 1);
    }
    if (engine.m_nResultLen != 0 || (state.m_bPlugInDict == 1 && state.m_bAlsoDefaultDict == 0)) {
        return;
    }
    if (mode == EMainScanner::AlwaysSentence) {
        engine.TranslateSentence(candidate, runBytes, false);
    } else if (state.m_bWholeSentence == 1) {
        engine.TranslateSentence(candidate, runBytes, true);
    } else {
        engine.TranslateWord(candidate, runBytes);
    }
}

RunOutcome ResultOutcome(const CTranslationEngine& engine, int runBytes) {
    const int length = engine.m_nResultLen;
    if (length <= 0) {
        return {ERunStatus::NoEntry, {}};
    }
    const std::string_view translation(engine.m_szResult, static_cast<std::size_t>(length));
    return {length > runBytes ? ERunStatus::DoesNotFit : ERunStatus::Translated, translation};
}

unsigned TranslationRatio(int translated, unsigned found) {
    return static_cast<unsigned>(std::max(translated, 1)) * 100 / found;
}
