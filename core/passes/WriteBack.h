// The write-back of a translation text file into its program file: every run the scanner meets
// is looked up in the (possibly hand-edited) translation text file, and each translation that
// fits is laid in over its English text. Used by Mender and by the manual window's Write; the
// file handling (reading, the backup, the final write) belongs to each of them.
#pragma once

#include <cstdint>
#include <string>

#include "AppState.h"
#include "ImageWalk.h"
#include "PassDisplay.h"
#include "TranslationEngine.h"

// Makes the bytes of a translation text file the edited dictionary of the engine: every CR LF
// becomes "]}" (the entry's close), then the text is held up to its first NUL byte.
void LoadEditedDictionary(CTranslationEngine& engine, std::string fileBytes);

// What the write-back does with one run: a run of two or more characters is found (counted and
// shown in the source pane), looked up in m_strEditedDict, and laid in character by character
// when its translation fits; a written run is counted, shown in the translation pane, and the
// ratio is shown as it stands after it.
class CWriteBackRunHandler : public IRunHandler {
  public:
    CWriteBackRunHandler(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                         unsigned char* image)
        : m_state(state), m_engine(engine), m_display(display), m_pImage(image) {}

    void OnRun(std::int64_t pos) override;

  private:
    AppState& m_state;
    CTranslationEngine& m_engine;
    IPassDisplay& m_display;
    unsigned char* m_pImage;
};

// One file's write-back pass over its image, held in memory: the counters start from 0, status
// pane 4 shows the running write-back, the write-back marker starts in pane 1, and the walk (whole
// sentences; the plug-in scanner when the options say so) hands every run to CWriteBackRunHandler.
// Returns true when the walk reached the end: the caller then writes the whole image over the
// program file and shows texts::kPaneStateWriteDone. Returns false when Stop ended it: the image
// may then hold part of the translations and must not be written.
bool WriteBackImage(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                    unsigned char* image, std::int64_t size);
