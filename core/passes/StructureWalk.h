// How a pass finds the runs of a file: a Windows program by its structure, anything else by the
// whole-file walk.
//
// A Windows program (a PE image whose headers and resource directory read) is walked field by
// field: the entries of its string tables, its menu items, its dialogs' captions and control
// texts and a few values of its version information, in English and language-neutral resources
// only; and the 16-bit texts of its data sections that read as interface sentences. Each field is
// handed to the pass as one run whose text is the field's core (no access-key "&", no lead or
// trail punctuation, no tab text), with PassState::m_pField saying where the field lies, so that
// the pass can lay the translation in with the field's access key, punctuation, tab text and
// blank fill in their places and never cross the field's bounds. A field whose whole core has no
// translation is then walked run by run inside its bounds, as the whole-file walk would.
// Nothing else is touched: not the code, not class or font names, not other languages' texts, not
// the data appended after the last section.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "AppState.h"
#include "FieldText.h"
#include "ImageWalk.h"
#include "PassDisplay.h"
#include "ProgramFields.h"

// A text field of the program's structure, as it is handed to a pass.
struct FieldRun {
    std::int64_t nOffset = 0;  // file offset of the field's first unit
    int nUnits = 0;            // how many units the field's text fills; it keeps that length
    FieldParts parts;          // the text taken apart; parts.core is the run's text
    std::string strWhere;      // resource type, id, language and field, or the section
};

// What a file is to the structure-aware walk.
enum class EFileKind {
    NotAProgram,    // not a PE image: the whole-file walk
    Program,        // a PE image whose structure reads
    BrokenProgram,  // claims to be a PE image, but its structure does not read
};
struct ProgramFacts {
    EFileKind kind = EFileKind::NotAProgram;
    bool bSigned = false;               // it carries a signature, which no change survives
    std::int64_t nChecksumOffset = -1;  // where its non-zero header checksum lies; -1: none
    std::string strProblem;             // for a broken one, what did not read
};
ProgramFacts LookAtProgram(const unsigned char* image, std::int64_t size);

// The run finder every pass uses by default: the whole-file walk when state.m_bWholeFileWalk is 1
// or the file is not a Windows program, the structure-aware walk for a Windows program. A file
// that claims to be one but does not read ends the pass with the BrokenProgram file error (no
// name: the driver names the file before it gets here).
bool FindRuns(PassState& state, const unsigned char* image, std::int64_t size,
              EMainScanner mainScanner, IPassDisplay& display, IRunHandler& handler);

// The structure-aware walk alone over the fields of a readable Windows program (see
// ProgramFields.h), `size` the image's.
bool WalkFields(PassState& state, const unsigned char* image,
                const std::vector<ProgramField>& fields, std::int64_t size,
                EMainScanner mainScanner, IPassDisplay& display, IRunHandler& handler);
