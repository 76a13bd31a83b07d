// The walk every pass makes over a file image: each even offset in turn, the message pump and the
// Stop test, the progress bar, the scanner choice, and the optional delay after each run found.
// A pass supplies only what it does with a run.
#pragma once

#include <cstdint>
#include <string_view>

#include "AppState.h"
#include "PassDisplay.h"

// What became of a run.
enum class ERunStatus {
    Short,       // one character: looked at, never counted
    NoEntry,     // no translation
    DoesNotFit,  // a translation longer than the run: left as it is
    Kept,        // left as it is for safety: its translation would lose a placeholder
    Translated,  // laid in (or listed)
};
struct RunOutcome {
    ERunStatus status = ERunStatus::Short;
    std::string_view translation;  // in the dictionary code; empty without one
};

class IRunHandler {
  public:
    virtual ~IRunHandler() = default;
    // A run was found at `pos`: m_szCandidate holds its text and m_nRunBytes its length.
    virtual RunOutcome OnRun(std::int64_t pos) = 0;
};

// Which main scanner (and main-dictionary translator) a pass uses: the batch run follows the
// whole-sentence option, the manual passes always take whole sentences.
enum class EMainScanner { FollowMode, AlwaysSentence };

// The run that starts at `pos`, found by the scanner the options choose (the plug-in dictionary's
// filtered scanner first when it is on): its text in the candidate (which the caller has
// zero-filled), and the offset just after it; `pos` when no run starts there. No run reaches past
// `size`.
std::int64_t ScanRun(PassState& state, const unsigned char* image, std::int64_t size,
                     std::int64_t pos, EMainScanner mainScanner);

// Walks the image from offset 0. Returns true when it reached the end, false when Stop ended it
// (m_bStopped found 1 after a pump); after a Stop the image is not touched again.
bool WalkImage(PassState& state, const unsigned char* image, std::int64_t size,
               EMainScanner mainScanner, IPassDisplay& display, IRunHandler& handler);

// How a pass finds the runs of an image: the whole-file walk above, or another way with the same
// contract.
using RunFinder = bool (*)(PassState& state, const unsigned char* image, std::int64_t size,
                           EMainScanner mainScanner, IPassDisplay& display, IRunHandler& handler);
