// The one record of shared state through which the windows and the passes talk.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ImageBuffer.h"
#include "TranslationEngine.h"

inline constexpr int kMaxFiles = 128;
// A slot of the translator record holds at most 128 bytes; the field keeps one more for the
// terminating zero, so a slot filled to its end is still a proper text.
inline constexpr int kTranslatorSlotSize = 128;

// Copies `text` into a fixed buffer, cut to fit, always zero-terminated.
template <std::size_t N>
void CopyText(char (&buffer)[N], std::string_view text) {
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    if (n != 0) {  // an empty view may hold no pointer at all
        std::memcpy(buffer, text.data(), n);
    }
    buffer[n] = 0;
}

// A text field of a Windows program's structure, as the structure-aware walk hands it to a pass.
struct FieldRun;

// What a pass over a file image runs on: run control, the current file, the candidate and the
// counters, and the options that choose the scanner, the translators and the delay. The window's
// AppState is one; a tool without a window (Mender) makes one of its own.
struct PassState {
    // --- Run control ---
    int m_bStopped = 0;  // 1 when no pass runs or Stop was pressed
    int m_bBusy = 0;     // 1 while a batch, translate or write-back pass runs

    // --- The current file ---
    char m_szDrive[3] = {};  // always empty here: paths have no drive
    char m_szDir[256] = {};  // ends with "/"
    char m_szFname[256] = {};
    char m_szExt[256] = {};  // with its dot
    ImageBuffer m_pImage;    // the file held by a pass, null otherwise
    std::int64_t m_nImageSize = 0;

    // --- Scanning and counting ---
    char m_szCandidate[kCandidateBufferSize] = {};
    int m_nRunBytes = 0;
    std::uint64_t m_nFoundCount = 0;  // 64-bit: a file can hold more runs than 32 bits count
    std::int64_t m_nTranslatedCount = 0;

    // --- Options of the scanners and translators ---
    int m_bWholeSentence = 0;
    int m_bPlugInDict = 0;
    int m_bAlsoDefaultDict = 0;
    int m_bIgnoreCase = 0;
    unsigned char m_abCharFilter[kCharFilterCount] = {};
    int m_nDelay = 0;  // 0 to 10: a pass waits m_nDelay * m_nDelay ms after each run found
    // 1: every file goes through the whole-file walk, Windows programs too; 0: a Windows program
    // is translated by its structure (only the texts of its interface).
    int m_bWholeFileWalk = 0;
    // The field of the program's structure the current run fills, while the structure-aware
    // walk hands a run to a pass; null in the whole-file walk.
    const FieldRun* m_pField = nullptr;
};

// The one record of shared state through which the windows and the passes talk.
struct AppState : PassState {
    int m_nActiveDialog = 0;  // 0 main, 1 settings (with its 3D view), 2 manual

    // --- Chosen files ---
    std::array<std::string, kMaxFiles> m_astrFiles;
    std::array<std::string, kMaxFiles> m_astrManualFiles;
    int m_nFileCount = 0;        // files of the main window's list
    int m_nManualFileCount = 0;  // files of the manual window's list
    int m_nFileIndex = 0;
    char m_szFileDir[2048] = {};     // folder of the last file choice
    char m_szProgramDir[2048] = {};  // start-up folder: dictionaries, record, companions
    char m_szPath[2048] = {};        // scratch for derived file names

    // --- Drawing the counters ---
    char m_szCountText[2048] = {};
    char m_szBlanks[128] = {};

    // --- Options of the manual window and the settings ---
    int m_bOpenInNotepad = 0;
    int m_bMakePatch = 0;
    char m_szBackupExt[2048] = {};
    int m_bToTraditional = 0;
    int m_bToSimplified = 0;
    int m_bTraditionalToSimplified = 0;
    int m_bSimplifiedToTraditional = 0;

    // --- Dictionary file buffers, prepared in place ---
    std::vector<unsigned char> m_pMainDictBuf;
    std::vector<unsigned char> m_pPlugInDictBuf;
    std::vector<unsigned char> m_pPlugInDictUpperBuf;

    // --- Translator identity (record "VOKRA.DAT") ---
    char m_szTranslatorName[kTranslatorSlotSize + 1] = {};
    char m_szTranslatorUrl[kTranslatorSlotSize + 1] = {};
    char m_szTranslatorEmail[kTranslatorSlotSize + 1] = {};
};

// Splits a path into m_szDrive (always empty), m_szDir (up to and with the last "/"), m_szFname
// and m_szExt (from the last "." of the name on, with its dot), each cut to its buffer.
void SplitPath(const std::string& path, PassState& state);
