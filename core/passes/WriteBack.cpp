#include "WriteBack.h"

#include <string_view>

#include "FileError.h"
#include "RunTranslation.h"
#include "Texts.h"

namespace {

constexpr PassSteps kWriteBackSteps{texts::kManualTitleRunning,   texts::kPaneStateWrite,
                                    texts::kPaneStateWriteDone,   EMarker::Write,
                                    EMainScanner::AlwaysSentence, true};

}  // namespace

const PassSteps& CWriteBackPass::Steps() const {
    return kWriteBackSteps;
}

RunOutcome CWriteBackPass::OnRun(std::int64_t pos) {
    const int runBytes = m_state.m_nRunBytes;
    // A single character is neither counted nor shown.
    if (runBytes <= 2) {
        return {};
    }
    const char* candidate = m_state.m_szCandidate;
    m_state.m_nFoundCount += 1;
    m_display.DrawFoundCount(m_state.m_nFoundCount);
    m_display.DrawSourceLine(0,
                             std::string_view(candidate, static_cast<std::size_t>(runBytes / 2)));

    // The count covers the whole key "[" TEXT "=": the letter test sees every letter of it.
    m_engine.LookupEditedTranslation(candidate, runBytes + 2);
    const PreparedTranslation prepared =
        PrepareTranslation(m_state, m_engine, pos, ELayIn::ByChars);
    const std::string_view translation = prepared.outcome.translation;
    if (prepared.outcome.status == ERunStatus::Kept) {
        // The user's own text is never rewritten: such an entry is left out, and the user told.
        m_display.ShowNotice(
            FillIn(texts::kNoticePlaceholderLost,
                   std::string_view(candidate, static_cast<std::size_t>(runBytes / 2))));
    }
    if (prepared.outcome.status != ERunStatus::Translated) {
        return prepared.outcome;
    }
    LayIn(prepared, *m_pTarget);
    m_state.m_nTranslatedCount += 1;
    m_display.DrawTranslatedCount(m_state.m_nTranslatedCount);
    // Counted after this run's own translation, unlike the batch run.
    m_display.ShowRatio(TranslationRatio(m_state.m_nTranslatedCount, m_state.m_nFoundCount));
    m_display.DrawTranslationLine(0, translation);
    return {ERunStatus::Translated, translation};
}

bool WriteBackImage(PassState& state, CTranslationEngine& engine, IPassDisplay& display,
                    unsigned char* image, std::int64_t size) {
    CWriteBackPass pass(state, engine, display);
    return RunPassOnImage(state, pass, display, image, size);
}
