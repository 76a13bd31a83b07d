// The write-back of a translation text file into its program file: every run the scanner meets
// is looked up in the (possibly hand-edited) translation text file, and each translation that
// fits is laid in over its English text. The manual window's Write and Mender run it, each with
// its own backup and its own way to the translation text file.
#pragma once

#include <cstdint>

#include "AppState.h"
#include "FileDriver.h"
#include "PassDisplay.h"
#include "TranslationEngine.h"
#include "TranslationFile.h"

// What the write-back does with one run: a run of two or more characters is found (counted and
// shown in the source pane), looked up in m_strEditedDict, and laid in character by character
// when its translation fits; a written run is counted, shown in the translation pane, and the
// ratio is shown as it stands after it. The image is held in `pImageSlot`, or in the pass itself
// without one; the passes built on it choose the backup and find the translations.
class CWriteBackPass : public IFilePass {
  public:
    CWriteBackPass(PassState& state, CTranslationEngine& engine, IPassDisplay& display,
                   ImageBuffer* pImageSlot = nullptr)
        : m_state(state), m_engine(engine), m_display(display), m_pImageSlot(pImageSlot) {}

    const PassSteps& Steps() const override;
    ImageBuffer& ImageSlot() override { return m_pImageSlot != nullptr ? *m_pImageSlot : m_image; }
    void BeginWalk(ILayInTarget& target) override { m_pTarget = &target; }
    RunOutcome OnRun(std::int64_t pos) override;

  protected:
    PassState& m_state;
    CTranslationEngine& m_engine;
    IPassDisplay& m_display;

  private:
    ImageBuffer* m_pImageSlot;
    ImageBuffer m_image;
    ILayInTarget* m_pTarget = nullptr;
};

// One file's write-back pass over its image, held in memory: the counters start from 0, status
// pane 4 shows the running write-back, the write-back marker starts in pane 1, and the walk (whole
// sentences; the plug-in scanner when the options say so) hands every run to CWriteBackPass.
// Returns true when the walk reached the end: a Windows program's header checksum is then written
// anew, status pane 4 shows texts::kPaneStateWriteDone, and the caller may write the whole image
// over the program file. Returns false when Stop ended it: the image may then hold part of the
// translations and must not be written.
bool WriteBackImage(PassState& state, CTranslationEngine& engine, IPassDisplay& display,
                    unsigned char* image, std::int64_t size);
