// The per-file driver every pass over a program file runs (the batch run, the manual Translate and
// Write, Mender). It owns the order of the steps, what a failure leaves behind and the run-control
// flags; a pass supplies only what it does differently.
//
// For each file:
//  1. the file is opened and locked against other VOKRA passes (a link, a folder or a special file
//     is refused), its image read whole; the pass names its backup, which takes the first free
//     name or one that already holds the file (see Backups.h), and reads what else it needs. A
//     failure here leaves the file untouched and everything idle: the flags, the buttons, no
//     image held.
//  2. the window shows a running pass: buttons, counters, panes; m_bBusy 1, m_bStopped 0.
//  3. the counters start from 0 and the runs are found (a Windows program's by its structure,
//     any other file's by the whole-file walk; see StructureWalk.h) and handed to the
//     pass one by one, the status pane showing the pass at work.
//  4. a completed pass that changes the file replaces it as a whole (never a mix of old and new,
//     whatever happens meanwhile) when it is still the file that was read, shows that it is done
//     and finishes; a stopped pass writes nothing. A failure in 2 to 4 leaves the running state,
//     the image held, until Stop.
//  5. the window shows the idle buttons again, the image and the lock are let go.
// Every file a pass makes from the program file lies beside it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "AppState.h"
#include "Backups.h"
#include "FileOps.h"
#include "ImageBuffer.h"
#include "ImageWalk.h"
#include "PassDisplay.h"
#include "ProgressMarker.h"
#include "RunTranslation.h"
#include "StructureWalk.h"

// How a pass shows itself and what it does with the program file.
struct PassSteps {
    const char* szTitle;    // window title while a file runs: number, count, name, extension
    const char* szRunning;  // status pane 4 while the runs are handled
    const char* szDone;     // status pane 4 once a file is done
    EMarker marker;         // the marker of status pane 1 (None: no marker)
    EMainScanner scanner;   // which main scanner and translator the pass uses
    bool bWritesImage;      // the image is written back over the program file at the end
};

// The program file a pass works on, and the folder the files made from it go to.
struct PassFile {
    FileRef program;
    // A file of that name beside the program file, named in messages with the program's folder.
    FileRef Beside(const std::string& name) const;
};

// What a pass does differently. The run handler (OnRun) is its work on each run.
class IFilePass : public IRunHandler {
  public:
    virtual const PassSteps& Steps() const = 0;
    // The buffer that holds the program file's image while the pass runs.
    virtual ImageBuffer& ImageSlot() = 0;
    // Lets go of the image and of whatever else the pass holds for the file.
    virtual void ReleaseBuffers() { ImageSlot().reset(); }
    // With the image read: the names the backup may take, the first one first (none: no
    // backup). Nothing is written yet.
    virtual std::vector<std::string> BackupNames(const PassFile&) { return {}; }
    // The backup is in place, under the name given.
    virtual void BackupPlaced(const PassFile&, const BackupPlace&) {}
    // After the backup: reads what else the pass needs. False leaves the file as it is and goes
    // on with the next one (the user declined).
    virtual bool Prepare(const PassFile&) { return true; }
    // What the window shows of a running pass besides its buttons.
    virtual void ShowRunning() {}
    // Before the first run, with where its translations go, and after the last (or after Stop).
    virtual void BeginWalk(ILayInTarget& /*target*/) {}
    virtual void EndWalk() {}
    // After a completed pass was written and shown done.
    virtual void Finish() {}
};

// A record of a run found: where it is, its text, its translation and what became of it.
struct RunRecord {
    std::int64_t nPos;
    std::string_view english;      // as the candidate holds it
    std::string_view translation;  // in the dictionary code; empty without one
    ERunStatus status;
};

// Receives a record of every run a pass found (one character runs aside).
class IRunSink {
  public:
    virtual ~IRunSink() = default;
    virtual void Record(const RunRecord& record) = 0;
};

struct FileDriverOptions {
    RunFinder pfnFindRuns = FindRuns;
    IRunSink* pSink = nullptr;
    ELockWait wait = ELockWait::No;  // another pass holds the file: wait for it, or stop at once
    // A run over many files puts their replacements in place together, when the caller commits
    // the group; without one, each file is replaced at the end of its pass.
    CCommitGroup* pGroup = nullptr;
    // A run over many files looks through each folder once for what killed runs left there.
    CStaleTemporaries* pStale = nullptr;
};

// Steps 1 to 5 for the file `path`. Returns true when the file was done, false when Stop
// abandoned it or the pass left it. A file error ends it by throwing.
bool RunPassOnFile(PassState& state, IFilePass& pass, IPassDisplay& display,
                   const std::string& path, const FileDriverOptions& options = {});

// Steps 3 and 4 for an image already held: `pProgram` is the file to replace with it (only for a
// pass that changes its file).
bool RunPassOnImage(PassState& state, IFilePass& pass, IPassDisplay& display, unsigned char* image,
                    std::int64_t size, const CHeldFile* pProgram = nullptr,
                    const FileDriverOptions& options = {});

// Step 3 alone: the counters from 0, the status and marker of the running pass, the runs handed
// to the pass. Returns false when Stop ended it (the image must then not be written).
bool WalkPassImage(PassState& state, IFilePass& pass, IPassDisplay& display, unsigned char* image,
                   std::int64_t size, const FileDriverOptions& options = {});

// Tells the user when the backup could not take the name the user chose (its name without
// extension plus `chosenExt`) and which name it took instead.
void TellOtherBackupName(const PassFile& file, const BackupPlace& backup,
                         const std::string& chosenExt, IPassDisplay& display);

// Every file of a list in turn, each shown by its number and name in the window's title; after
// the last one the flags are idle again. A file error ends the whole list by throwing.
void RunFiles(AppState& state, const std::array<std::string, kMaxFiles>& files, int count,
              IFilePass& pass, IPassDisplay& display, const FileDriverOptions& options = {});
