#include "FileDriver.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "FileError.h"
#include "Texts.h"

namespace {

// Hands every run to the pass, its record to the sink, and notes where the image changed.
class CRecordingHandler : public IRunHandler {
  public:
    CRecordingHandler(const PassState& state, IRunHandler& pass, IRunSink* pSink,
                      std::vector<ByteRange>* pChanged)
        : m_state(state), m_pass(pass), m_pSink(pSink), m_pChanged(pChanged) {}

    RunOutcome OnRun(std::int64_t pos) override {
        const RunOutcome outcome = m_pass.OnRun(pos);
        if (outcome.status == ERunStatus::Translated && m_pChanged != nullptr) {
            Note(pos, m_state.m_nRunBytes);
        }
        if (outcome.status != ERunStatus::Short && m_pSink != nullptr) {
            m_pSink->Record({pos,
                             std::string_view(m_state.m_szCandidate,
                                              static_cast<std::size_t>(m_state.m_nRunBytes / 2)),
                             outcome.translation, outcome.status});
        }
        return outcome;
    }

  private:
    // Changes a page or less apart are one: they are written together, and the list stays short.
    void Note(std::int64_t pos, std::int64_t length) {
        static constexpr std::int64_t kPage = 4096;
        if (!m_pChanged->empty()) {
            ByteRange& last = m_pChanged->back();
            if (pos <= last.nStart + last.nLength + kPage) {
                last.nLength = std::max(last.nLength, pos + length - last.nStart);
                return;
            }
        }
        m_pChanged->push_back({pos, length});
    }

    const PassState& m_state;
    IRunHandler& m_pass;
    IRunSink* m_pSink;
    std::vector<ByteRange>* m_pChanged;
};

// Step 3 with the changed ranges noted in `pChanged` when given.
bool WalkAndNote(PassState& state, IFilePass& pass, IPassDisplay& display, unsigned char* image,
                 std::int64_t size, const FileDriverOptions& options,
                 std::vector<ByteRange>* pChanged) {
    const PassSteps& steps = pass.Steps();
    state.m_nFoundCount = 0;
    state.m_nTranslatedCount = 0;
    pass.BeginWalk(image);
    display.SetStatusText(4, steps.szRunning);
    if (steps.marker != EMarker::None) {
        display.StartMarker(steps.marker);
    }
    std::optional<CRecordingHandler> recording;
    IRunHandler* handler = &pass;
    if (options.pSink != nullptr || pChanged != nullptr) {
        handler = &recording.emplace(state, pass, options.pSink, pChanged);
    }
    const bool bCompleted =
        options.pfnFindRuns(state, image, size, steps.scanner, display, *handler);
    // A stopped pass ends as cleanly as a completed one: Translate's listing keeps what it got.
    pass.EndWalk();
    return bCompleted;
}

std::string Title(const char* format, int number, int count, const char* name, const char* ext) {
    char title[2048];
    std::snprintf(title, sizeof title, format, number, count, name, ext);
    return title;
}

}  // namespace

bool WalkPassImage(PassState& state, IFilePass& pass, IPassDisplay& display, unsigned char* image,
                   std::int64_t size, const FileDriverOptions& options) {
    return WalkAndNote(state, pass, display, image, size, options, nullptr);
}

FileRef PassFile::Beside(const std::string& name) const {
    const std::string& shown = program.strShown;
    return {program.folder, name, shown.substr(0, shown.size() - program.strName.size()) + name};
}

namespace {

// Steps 3 and 4 up to the point where the file's replacement is written: nullptr when Stop ended
// the walk (nothing to write), an empty replacement for a pass that does not change its file.
struct WalkedImage {
    bool bCompleted = false;
    std::unique_ptr<CReplacement> replacement;
};

WalkedImage WalkIntoReplacement(PassState& state, IFilePass& pass, IPassDisplay& display,
                                unsigned char* image, std::int64_t size, const CHeldFile* pProgram,
                                const FileDriverOptions& options) {
    const PassSteps& steps = pass.Steps();
    const bool bReplaces = steps.bWritesImage && pProgram != nullptr;
    std::vector<ByteRange> changed;
    WalkedImage walked;
    walked.bCompleted =
        WalkAndNote(state, pass, display, image, size, options, bReplaces ? &changed : nullptr);
    if (steps.marker != EMarker::None) {
        display.StartMarker(EMarker::None);
    }
    // The whole file anew, even when nothing was translated.
    if (walked.bCompleted && bReplaces) {
        walked.replacement = std::make_unique<CReplacement>(*pProgram);
        walked.replacement->Write(image, size, changed);
    }
    return walked;
}

// The end of a completed pass: what the user is told, the status, the pass's own last steps.
void FinishPass(IFilePass& pass, IPassDisplay& display, const CHeldFile* pReplaced) {
    if (pReplaced != nullptr && pReplaced->Links() > 1) {
        display.ShowNotice(FillIn(texts::kNoticeOtherLinks, pReplaced->Ref().strShown,
                                  std::to_string(pReplaced->Links() - 1)));
    }
    display.SetStatusText(4, pass.Steps().szDone);
    pass.Finish();
}

}  // namespace

bool RunPassOnImage(PassState& state, IFilePass& pass, IPassDisplay& display, unsigned char* image,
                    std::int64_t size, const CHeldFile* pProgram,
                    const FileDriverOptions& options) {
    WalkedImage walked = WalkIntoReplacement(state, pass, display, image, size, pProgram, options);
    if (!walked.bCompleted) {
        return false;
    }
    if (walked.replacement != nullptr) {
        walked.replacement->Commit();
    }
    FinishPass(pass, display, walked.replacement != nullptr ? pProgram : nullptr);
    return true;
}

bool RunPassOnFile(PassState& state, IFilePass& pass, IPassDisplay& display,
                   const std::string& path, const FileDriverOptions& options) {
    ImageBuffer& image = pass.ImageSlot();
    std::unique_ptr<FilePlace> place;
    std::unique_ptr<CHeldFile> program;
    try {
        place = std::make_unique<FilePlace>(path);
        const PassFile file{place->Ref()};
        program =
            std::make_unique<CHeldFile>(file.program, options.wait, pass.Steps().bWritesImage);
        if (!program->Locked()) {
            display.ShowNotice(FillIn(texts::kNoticeNoLock, file.program.strShown));
        }
        // A killed run's temporaries go, now that no other pass can be writing them.
        RemoveStaleTemporaries(place->folder, place->strName);

        FileImage read = program->Read();
        // The backup comes first, before anything else of the file is read or changed: it holds
        // the file as it was just before VOKRA first changed it.
        const std::vector<std::string> backupNames = pass.BackupNames(file);
        if (!backupNames.empty()) {
            pass.BackupPlaced(file,
                              PlaceBackup(*program, read, backupNames, options.pGroup != nullptr));
            program->CheckUnchanged();
        }
        image = std::move(read.pBytes);
        state.m_nImageSize = read.nSize;
        if (!pass.Prepare(file)) {
            pass.ReleaseBuffers();
            return false;
        }
    } catch (...) {
        // Nothing has started on this file and the buttons still show the idle window: leave
        // the flags idle as well, so that the window can be closed again.
        pass.ReleaseBuffers();
        state.m_bBusy = 0;
        state.m_bStopped = 1;
        throw;
    }

    display.ShowRunning(true);
    pass.ShowRunning();
    display.EraseCounters();
    display.BlankPaneLines();
    state.m_bBusy = 1;
    state.m_bStopped = 0;
    WalkedImage walked = WalkIntoReplacement(state, pass, display, image.get(), state.m_nImageSize,
                                             program.get(), options);
    if (walked.bCompleted) {
        const CHeldFile* replaced = walked.replacement != nullptr ? program.get() : nullptr;
        FinishPass(pass, display, replaced);
        if (walked.replacement != nullptr && options.pGroup != nullptr) {
            // Put in place with the others of the run (see CCommitGroup).
            options.pGroup->Add(std::move(place), std::move(program),
                                std::move(walked.replacement));
        } else if (walked.replacement != nullptr) {
            walked.replacement->Commit();
        }
    }
    display.ShowRunning(false);
    pass.ReleaseBuffers();
    return walked.bCompleted;
}

void TellOtherBackupName(const PassFile& file, const BackupPlace& backup,
                         const std::string& chosenExt, IPassDisplay& display) {
    const std::string chosen = BackupNames(file.program.strName, chosenExt).front();
    if (backup.strName != chosen) {
        display.ShowNotice(
            FillIn(texts::kNoticeBackupName, file.Beside(chosen).strShown, backup.strShown));
    }
}

void RunFiles(AppState& state, const std::array<std::string, kMaxFiles>& files, int count,
              IFilePass& pass, IPassDisplay& display, const FileDriverOptions& options) {
    for (state.m_nFileIndex = 0; state.m_nFileIndex < count; ++state.m_nFileIndex) {
        const std::string path = files[static_cast<std::size_t>(state.m_nFileIndex)];
        SplitPath(path, state);
        display.SetTitle(Title(pass.Steps().szTitle, state.m_nFileIndex + 1, count, state.m_szFname,
                               state.m_szExt));
        display.DrawFileName(path);
        RunPassOnFile(state, pass, display, path, options);
    }
    state.m_bBusy = 0;
    state.m_bStopped = 1;
}
