// What every pass does alike with a run's text: the translators the options choose, and the
// translation ratio it shows.
#pragma once

#include "AppState.h"
#include "ImageWalk.h"
#include "TranslationEngine.h"

// The translators for one run, in the order the options give: the plug-in dictionary, then
// (without it, or when the main dictionary is also wanted) the main dictionary: for the batch run
// whole sentences (laid in by 16-bit units) or single phrases as the option says, for the manual
// passes whole sentences. The result is in engine.m_szResult / m_nResultLen, which the caller has
// cleared.
void TranslateCandidate(const PassState& state, CTranslationEngine& engine, const char* candidate,
                        int runBytes, EMainScanner mode = EMainScanner::FollowMode);

// What the translation in engine.m_szResult means for a run of `runBytes` bytes: none, too long
// to lay in, or one that fits (Translated).
RunOutcome ResultOutcome(const CTranslationEngine& engine, int runBytes);

// The translation ratio in percent: the runs translated (at least 1) of the runs found. The batch
// run takes it before a run's own translation counts, the manual passes after.
unsigned TranslationRatio(std::int64_t translated, std::uint64_t found);
