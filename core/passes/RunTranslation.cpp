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

unsigned TranslationRatio(std::int64_t translated, std::uint64_t found) {
    auto part = static_cast<std::uint64_t>(std::max<std::int64_t>(translated, 1));
    // Both halved until a hundred times the part fits: the percentage stays as exact as it shows.
    while (part > UINT64_MAX / 100) {
        part /= 2;
        found /= 2;
    }
    return static_cast<unsigned>(part * 100 / std::max<std::uint64_t>(found, 1));
}
