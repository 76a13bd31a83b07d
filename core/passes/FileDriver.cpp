#include "FileDriver.h"

#include <cstdio>
#include <optional>
#include <utility>

namespace {

// Hands every run to the pass, and its record to the sink.
class CRecordingHandler : public IRunHandler {
  public:
    CRecordingHandler(const PassState& state, IRunHandler& pass, IRunSink& sink)
        : m_state(state), m_pass(pass), m_sink(sink) {}

    RunOutcome OnRun(std::int64_t pos) override {
        const RunOutcome outcome = m_pass.OnRun(pos);
        if (outcome.status != ERunStatus::Short) {
            m_sink.Record({pos,
                           std::string_view(m_state.m_szCandidate,
                                            static_cast<std::size_t>(m_state.m_nRunBytes / 2)),
                           outcome.translation, outcome.status});
        }
        return outcome;
    }

  private:
    const PassState& m_state;
    IRunHandler& m_pass;
    IRunSink& m_sink;
};

std::string Title(const char* format, int number, int count, const char* name, const char* ext) {
    char title[2048];
    std::snprintf(title, sizeof title, format, number, count, name, ext);
    return title;
}

}  // namespace

bool WalkPassImage(PassState& state, IFilePass& pass, IPassDisplay& display, unsigned char* image,
                   std::int64_t size, const FileDriverOptions& options) {
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
    if (options.pSink != nullptr) {
        handler = &recording.emplace(state, pass, *options.pSink);
    }
    const bool bCompleted =
        options.pfnFindRuns(state, image, size, steps.scanner, display, *handler);
    // A stopped pass ends as cleanly as a completed one: Translate's listing keeps what it got.
    pass.EndWalk();
    return bCompleted;
}

bool RunPassOnImage(PassState& state, IFilePass& pass, IPassDisplay& display, unsigned char* image,
                    std::int64_t size, const FileRef* pProgram, const FileIdentity* pIdentity,
                    const FileDriverOptions& options) {
    const PassSteps& steps = pass.Steps();
    const bool bCompleted = WalkPassImage(state, pass, display, image, size, options);
    if (steps.marker != EMarker::None) {
        display.StartMarker(EMarker::None);
    }
    if (!bCompleted) {
        return false;
    }
    // One write of the whole image, even when nothing was translated.
    if (steps.bWritesImage && pProgram != nullptr) {
        WriteInPlace(*pProgram, image, size, pIdentity);
    }
    display.SetStatusText(4, steps.szDone);
    pass.Finish();
    return true;
}

bool RunPassOnFile(PassState& state, IFilePass& pass, IPassDisplay& display,
                   const std::string& path, const FileDriverOptions& options) {
    ImageBuffer& image = pass.ImageSlot();
    std::optional<FilePlace> place;
    std::optional<CFolder> currentFolder;
    FileIdentity identity;
    try {
        place.emplace(path);
        const CFolder& derived = options.derived == EDerivedFiles::BesideTheFile
                                     ? place->folder
                                     : currentFolder.emplace(CFolder::Current());
        const PassFile file{place->Ref(), derived};

        FileImage read = ReadWholeFile(file.program);
        image = std::move(read.pBytes);
        state.m_nImageSize = read.nSize;
        // The backup comes first, before anything else of the file is read or changed: it holds
        // the file as it was just before this pass.
        const BackupChoice backup = pass.ChooseBackup(file);
        if (!backup.strName.empty() && backup.bWrite) {
            ReplaceWholeFile({derived, backup.strName, backup.strShown}, image.get(),
                             state.m_nImageSize);
        }
        // The file the image is written back to must still be this one at the end.
        if (pass.Steps().bWritesImage) {
            identity = FileIdentityOf(file.program);
        }
        pass.Prepare(file);
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
    const FileRef program = place->Ref();
    const bool bCompleted = RunPassOnImage(state, pass, display, image.get(), state.m_nImageSize,
                                           &program, &identity, options);
    display.ShowRunning(false);
    pass.ReleaseBuffers();
    return bCompleted;
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
