// The walk every pass makes over a file image: each even offset in turn, the message pump and the
// Stop test, the progress bar, the scanner choice, and the optional delay after each run found.
// A pass supplies only what it does with a run.
#pragma once

#include <cstdint>

#include "AppState.h"
#include "PassDisplay.h"

class IRunHandler {
  public:
    virtual ~IRunHandler() = default;
    // A run was found at `pos`: m_szCandidate holds its text and m_nRunBytes its length.
    virtual void OnRun(std::int64_t pos) = 0;
};

// Which main scanner a pass uses: the batch run follows the whole-sentence option, the manual
// passes always take whole sentences.
enum class EMainScanner { FollowMode, AlwaysSentence };

// Walks the image from offset 0. Returns true when it reached the end, false when Stop ended it
// (m_bStopped found 1 after a pump); after a Stop the image is not touched again.
bool WalkImage(AppState& state, const unsigned char* image, std::int64_t size,
               EMainScanner mainScanner, IPassDisplay& display, IRunHandler& handler);
