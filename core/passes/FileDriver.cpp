#include "FileDriver.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "FileError.h"
#include "PeImage.h"
#include "ReplacementStream.h"
#include "Texts.h"

namespace {

// Lays translations straight into an image held in memory.
class CImageLayIn final : public ILayInTarget {
  public:
    explicit CImageLayIn(unsigned char* image) : m_pImage(image) {}
    unsigned char* Run(std::int64_t pos, int) override { return m_pImage + pos; }

  private:
    unsigned char* m_pImage;
};

// Hands every run to the pass and its record to the sink; a replacement written as the walk goes
// learns how far the walk got.
class CRecordingHandler : public IRunHandler {
  public:
    CRecordingHandler(const PassState& state, IRunHandler& pass, IRunSink* pSink,
                      CReplacementStream* pStream)
        : m_state(state), m_pass(pass), m_pSink(pSink), m_pStream(pStream) {}

    RunOutcome OnRun(std::int64_t pos) override {
        if (m_pStream != nullptr) {
            m_pStream->Reach(pos);
        }
        const RunOutcome outcome = m_pass.OnRun(pos);
        if (outcome.status != ERunStatus::Short && m_pSink != nullptr) {
            m_pSink->Record({pos,
                             std::string_view(m_state.m_szCandidate,
                                              static_cast<std::size_t>(m_state.m_nRunBytes / 2)),
                             outcome.translation, outcome.status});
        }
        return outcome;
    }

  private:
    const PassState& m_state;
    IRunHandler& m_pass;
    IRunSink* m_pSink;
    CReplacementStream* m_pStream;
};

// Step 3, the translations laid into `target`; `pStream` is the replacement written behind the
// walk, when there is one.
bool WalkInto(PassState& state, IFilePass& pass, IPassDisplay& display, const unsigned char* image,
              std::int64_t size, const FileDriverOptions& options, ILayInTarget& target,
              CReplacementStream* pStream) {
    const PassSteps& steps = pass.Steps();
    state.m_nFoundCount = 0;
    state.m_nTranslatedCount = 0;
    pass.BeginWalk(target);
    display.SetStatusText(4, steps.szRunning);
    if (steps.marker != EMarker::None) {
        display.StartMarker(steps.marker);
    }
    std::optional<CRecordingHandler> recording;
    IRunHandler* handler = &pass;
    if (options.pSink != nullptr || pStream != nullptr) {
        handler = &recording.emplace(state, pass, options.pSink, pStream);
    }
    const bool bCompleted =
        options.pfnFindRuns(state, image, size, steps.scanner, display, *handler);
    // A stopped pass ends as cleanly as a completed one: Translate's listing keeps what it got.
    pass.EndWalk();
    return bCompleted;
}

// The marker of a walking pass stops with the walk of a file.
void StopMarker(IFilePass& pass, IPassDisplay& display) {
    if (pass.Steps().marker != EMarker::None) {
        display.StartMarker(EMarker::None);
    }
}

// What the structure of the file means before a pass starts on it: a file that claims to be a
// Windows program but does not read is refused (unless the user asked for the whole-file walk or
// the pass finds its runs its own way); a signed one is about to lose its signature.
ProgramFacts CheckProgram(const PassState& state, const unsigned char* image, std::int64_t size,
                          const FileDriverOptions& options, bool bReplaces,
                          const std::string& shown, IPassDisplay& display) {
    ProgramFacts facts = LookAtProgram(image, size);
    if (facts.kind == EFileKind::BrokenProgram && state.m_bWholeFileWalk == 0 &&
        options.pfnFindRuns == FindRuns) {
        throw CFileError(EFileErrorCause::BrokenProgram, shown);
    }
    if (facts.bSigned && bReplaces) {
        display.ShowNotice(FillIn(texts::kNoticeSigned, shown));
    }
    return facts;
}

void PutChecksum(unsigned char* field, std::uint32_t checksum) {
    for (int i = 0; i < 4; ++i) {
        field[i] = static_cast<unsigned char>(checksum >> (8 * i));
    }
}

std::string Title(const char* format, int number, int count, const char* name, const char* ext) {
    char title[2048];
    std::snprintf(title, sizeof title, format, number, count, name, ext);
    return title;
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

bool WalkPassImage(PassState& state, IFilePass& pass, IPassDisplay& display, unsigned char* image,
                   std::int64_t size, const FileDriverOptions& options) {
    CImageLayIn target(image);
    return WalkInto(state, pass, display, image, size, options, target, nullptr);
}

FileRef PassFile::Beside(const std::string& name) const {
    const std::string& shown = program.strShown;
    return {program.folder, name, shown.substr(0, shown.size() - program.strName.size()) + name};
}

bool RunPassOnImage(PassState& state, IFilePass& pass, IPassDisplay& display, unsigned char* image,
                    std::int64_t size, const CHeldFile* pProgram,
                    const FileDriverOptions& options) {
    const bool bReplaces = pass.Steps().bWritesImage && pProgram != nullptr;
    const ProgramFacts facts =
        CheckProgram(state, image, size, options, bReplaces,
                     pProgram != nullptr ? pProgram->Ref().strShown : "", display);
    const bool bCompleted = WalkPassImage(state, pass, display, image, size, options);
    StopMarker(pass, display);
    if (!bCompleted) {
        return false;
    }
    if (facts.nChecksumOffset >= 0 && pass.Steps().bWritesImage) {
        PutChecksum(image + facts.nChecksumOffset,
                    ComputePeChecksum(image, size, facts.nChecksumOffset));
    }
    if (bReplaces) {
        // The whole file anew, even when nothing was translated.
        CReplacement replacement(*pProgram);
        const ByteSpan whole{image, static_cast<std::size_t>(size)};
        replacement.WriteAt(0, {&whole, 1});
        replacement.Commit();
    }
    FinishPass(pass, display, bReplaces ? pProgram : nullptr);
    return true;
}

bool RunPassOnFile(PassState& state, IFilePass& pass, IPassDisplay& display,
                   const std::string& path, const FileDriverOptions& options) {
    ImageBuffer& image = pass.ImageSlot();
    std::unique_ptr<FilePlace> place;
    std::unique_ptr<CHeldFile> program;
    const bool bReplaces = pass.Steps().bWritesImage;
    ProgramFacts facts;
    try {
        place = std::make_unique<FilePlace>(path);
        const PassFile file{place->Ref()};
        // The same file twice in one run: the first pass's replacement goes in place first.
        if (options.pGroup != nullptr && options.pGroup->Holds(file.program)) {
            options.pGroup->Commit();
        }
        program = std::make_unique<CHeldFile>(file.program, options.wait, bReplaces);
        if (!program->Locked()) {
            display.ShowNotice(FillIn(texts::kNoticeNoLock, file.program.strShown));
        }
        // A killed run's temporaries go, now that no other pass can be writing them.
        if (options.pStale != nullptr) {
            options.pStale->Remove(place->folder, place->strName);
        } else {
            RemoveStaleTemporaries(place->folder, place->strName);
        }

        FileImage read = program->Read();
        facts = CheckProgram(state, read.pBytes.get(), read.nSize, options, bReplaces,
                             file.program.strShown, display);
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
    // A pass that changes its file writes the replacement behind its walk, and never changes the
    // image; the others lay nothing anywhere.
    std::unique_ptr<CReplacement> replacement;
    std::optional<CReplacementStream> stream;
    std::optional<CImageLayIn> inImage;
    ILayInTarget* target = nullptr;
    std::optional<CChecksumChange> checksum;
    if (bReplaces) {
        replacement = std::make_unique<CReplacement>(*program);
        target = &stream.emplace(*replacement, image.get(), state.m_nImageSize);
        if (facts.nChecksumOffset >= 0) {
            stream->TrackChecksum(checksum.emplace(facts.nChecksumOffset));
        }
    } else {
        target = &inImage.emplace(image.get());
    }
    bool bCompleted = false;
    {
        const CImageWarmUp warmUp(image, static_cast<std::size_t>(state.m_nImageSize));
        bCompleted = WalkInto(state, pass, display, image.get(), state.m_nImageSize, options,
                              *target, stream ? &*stream : nullptr);
    }
    StopMarker(pass, display);
    if (bCompleted) {
        if (stream) {
            stream->Finish();
        }
        if (checksum) {
            // The header's checksum, of the new contents: Windows checks it for drivers and some
            // system libraries.
            unsigned char field[4];
            PutChecksum(field, checksum->Adjusted(ComputePeChecksum(image.get(), state.m_nImageSize,
                                                                    facts.nChecksumOffset),
                                                  state.m_nImageSize));
            const ByteSpan piece{field, sizeof field};
            replacement->WriteAt(facts.nChecksumOffset, {&piece, 1});
        }
        FinishPass(pass, display, bReplaces ? program.get() : nullptr);
        if (bReplaces && options.pGroup != nullptr) {
            // Put in place with the others of the run (see CCommitGroup).
            options.pGroup->Add(std::move(place), std::move(program), std::move(replacement));
        } else if (bReplaces) {
            replacement->Commit();
        }
    }
    display.ShowRunning(false);
    pass.ReleaseBuffers();
    return bCompleted;
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
