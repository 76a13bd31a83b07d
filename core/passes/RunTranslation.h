// What every pass does alike with a run's text: the translators the options choose, what the
// translation becomes where it is laid in (a run of the whole-file walk, or a field of the
// program's structure), and the translation ratio it shows.
#pragma once

#include <cstdint>
#include <string>

#include "AppState.h"
#include "FieldText.h"
#include "ImageWalk.h"
#include "TranslationEngine.h"

// The translators for one run, in the order the options give: the plug-in dictionary, then
// (without it, or when the main dictionary is also wanted) the main dictionary: for the batch run
// whole sentences (laid in by 16-bit units) or single phrases as the option says, for the manual
// passes whole sentences. The result is in engine.m_szResult / m_nResultLen, which the caller has
// cleared.
void TranslateCandidate(const PassState& state, CTranslationEngine& engine, const char* candidate,
                        int runBytes, EMainScanner mode = EMainScanner::FollowMode);

// Where a pass lays its translations: the image itself, or the program file's replacement as it
// is written.
class ILayInTarget {
  public:
    // The `bytes` bytes at `pos`, holding what the file holds there, for the pass to write a
    // translation over before its OnRun returns.
    virtual unsigned char* Run(std::int64_t pos, int bytes) = 0;

  protected:
    ~ILayInTarget() = default;
};

// How the translation in engine.m_szResult becomes 16-bit units: each two bytes one unit (the
// batch run), or each character one unit (the write-back of a translation text file).
enum class ELayIn { ByUnits, ByChars };

// A translation made ready for its place: what became of the run and, when it is Translated,
// the units that replace the `nBytes` bytes at `nPos` (the run, or the whole field).
struct PreparedTranslation {
    RunOutcome outcome;
    std::int64_t nPos = 0;
    int nBytes = 0;
    std::u16string units;
    ComposeNotes notes;  // what a field's composition gave up (an access key, an ellipsis)
};

// What the translation in engine.m_szResult means for the current run at `pos` (state's
// candidate, m_nRunBytes and, in the structure-aware walk, m_pField): none (NoEntry); one that
// loses a placeholder of the English (Kept: such a text is never translated); one too long for
// its place (DoesNotFit); or the units that replace the run or the field (Translated). A run of
// the whole-file walk is blanked and the translation laid in from its start; a field keeps its
// lead and trail punctuation, tab text and access key, with the blank fill at its very end.
PreparedTranslation PrepareTranslation(const PassState& state, const CTranslationEngine& engine,
                                       std::int64_t pos, ELayIn how);
// Writes the prepared units into the target.
void LayIn(const PreparedTranslation& prepared, ILayInTarget& target);

// The translation ratio in percent: the runs translated (at least 1) of the runs found. The batch
// run takes it before a run's own translation counts, the manual passes after.
unsigned TranslationRatio(std::int64_t translated, std::uint64_t found);
