// The automatic batch run: every chosen file in turn is backed up, scanned, translated in place
// and written back, with its progress shown through the window's display operations.
#pragma once

#include <cstdint>
#include <string>

#include "AppState.h"
#include "FileDriver.h"
#include "FileOps.h"
#include "PassDisplay.h"
#include "TranslationEngine.h"

// Start: runs every file of m_astrFiles (m_nFileCount of them) through the per-file driver. A
// file error ends the whole run by throwing; what it leaves behind depends on where it struck
// (see FileDriver.h).
void RunBatch(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
              const FileDriverOptions& options = {});

// The pass over one image held in memory: scans, translates and lays in, and a Windows program's
// header checksum anew. Returns false when Stop ended it (the image may then hold part of the
// translations and must not be written). A file that claims to be a Windows program but does not
// read is refused untouched (the BrokenProgram file error) unless the whole-file walk is chosen.
bool TranslateImage(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                    unsigned char* image, std::int64_t size, const FileDriverOptions& options = {});

// The pass over one file's image, then its write-back: returns false when Stop abandoned it (the
// file is not written), true when the image replaced the file at `path` as a whole.
bool RunFile(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
             const std::string& path, unsigned char* image, std::int64_t size);

// Stop, from the window while a pass runs inside the message pump: abandons the current file.
void StopBatch(AppState& state, IPassDisplay& display);
