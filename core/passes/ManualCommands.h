// The commands of the manual window without the window: Translate lists every translatable
// string of each chosen file in an editable translation text file; Write lays the (edited)
// translations of that file into the program file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "AppState.h"
#include "ImageBuffer.h"
#include "PassDisplay.h"
#include "TranslationEngine.h"
#include "TranslationFile.h"

// What the manual window contributes besides what a pass shows: the two extension choices, the
// captions of its group boxes, and the start of the text editor.
class IManualWindow {
  public:
    virtual ~IManualWindow() = default;
    // Indexes into BackupExtensions and TranslationExtensions, read afresh for every file.
    virtual int BackupExtIndex() const = 0;
    virtual int TranslationExtIndex() const = 0;
    // The captions of the progress and the count group boxes.
    virtual void SetGroupCaptions(const char* progress, const char* count) = 0;
    // Starts the text editor on the translation text file (its path as the program file's was
    // given) and does not wait for it.
    virtual void OpenEditor(const std::string& fileName) = 0;
    // Translate is about to replace an earlier translation text file, which may hold the user's
    // edits (it is kept under another name): whether to go on with this file.
    virtual bool ConfirmReplaceListing(const std::string&) { return true; }
};

// The buffers of a Write command, released by Stop.
struct CWriteBuffers {
    ImageBuffer m_pEditedText;
    ImageBuffer m_pWriteImage;
};

// Translate: every file of m_astrManualFiles in turn. A file error ends the command by throwing.
void RunTranslateCommand(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                         IManualWindow& window);

// The twelve header lines of a translation text file, in the dictionary code, for the current
// file (m_szDrive, m_szDir, m_szFname, m_szExt) and the given local date.
std::string TranslationFileHeader(const AppState& state, int backupExt, int translationExt,
                                  int year, int month, int day);

// Write: every file of m_astrManualFiles in turn is backed up, and the translations of its
// translation text file are laid into it. A file error ends the command by throwing.
void RunWriteCommand(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                     IManualWindow& window, CWriteBuffers& buffers);

// Stop, while a manual pass runs.
void StopManualPass(AppState& state, IPassDisplay& display, CWriteBuffers& buffers);
