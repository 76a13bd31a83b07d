#include "BatchPass.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "FileError.h"
#include "FileOps.h"
#include "ImageWalk.h"
#include "Texts.h"

void TranslateCandidate(const AppState& state, CTranslationEngine& engine, const char* candidate,
                        int runBytes) {
    if (state.m_bPlugInDict == 1) {
        engine.TranslatePlugIn(candidate, runBytes, state.m_bIgnoreCase == 1);
    }
    if (engine.m_nResultLen == 0 && (state.m_bPlugInDict == 0 || state.m_bAlsoDefaultDict == 1)) {
        if (state.m_bWholeSentence == 1) {
            engine.TranslateSentence(candidate, runBytes, true);
        } else {
            engine.TranslateWord(candidate, runBytes);
        }
    }
}

namespace {

// Translates each run with the translators the options choose and lays in what fits.
class CBatchRunHandler : public IRunHandler {
  public:
    CBatchRunHandler(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                     unsigned char* image)
        : m_state(state), m_engine(engine), m_display(display), m_pImage(image) {}

    void OnRun(std::int64_t pos) override {
        const char* candidate = m_state.m_szCandidate;
        const int runBytes = m_state.m_nRunBytes;
        m_engine.m_nResultLen = 0;
        // A run of one character goes no further, and no translator could translate it (each
        // needs two letter changes after the "["): skip the lookup, which would only clear the
        // result. Data tables are full of such runs.
        if (runBytes <= 2) {
            return;
        }
        TranslateCandidate(m_state, m_engine, candidate, runBytes);

        m_state.m_nFoundCount += 1;
        m_display.DrawFoundCount(m_state.m_nFoundCount);
        // The ratio leaves out the current run's own translation: a file with nothing
        // translated yet shows 100 divided by the runs found.
        const unsigned translated = static_cast<unsigned>(std::max(m_state.m_nTranslatedCount, 1));
        m_display.ShowRatio(translated * 100 / m_state.m_nFoundCount);

        const int resultLen = m_engine.m_nResultLen;
        if (resultLen > 0 && resultLen <= runBytes) {
            m_state.m_nTranslatedCount += 1;
            m_display.DrawTranslatedCount(m_state.m_nTranslatedCount);
            m_display.DrawSourceLine(
                m_nLine, std::string_view(candidate, static_cast<std::size_t>(runBytes / 2)));
            m_display.DrawTranslationLine(
                m_nLine,
                std::string_view(m_engine.m_szResult, static_cast<std::size_t>(resultLen)));
            m_nLine = (m_nLine + 1) % 4;
            m_engine.LayInByUnits(m_pImage, pos, runBytes);
        }
    }

  private:
    AppState& m_state;
    CTranslationEngine& m_engine;
    IPassDisplay& m_display;
    unsigned char* m_pImage;
    int m_nLine = 0;  // the pane line that receives the next translated run
};

std::string Format(const char* format, int number, int count, const char* name, const char* ext) {
    char text[2048];
    std::snprintf(text, sizeof text, format, number, count, name, ext);
    return text;
}

}  // namespace

void RunBatch(AppState& state, CTranslationEngine& engine, IPassDisplay& display) {
    for (state.m_nFileIndex = 0; state.m_nFileIndex < state.m_nFileCount; ++state.m_nFileIndex) {
        const std::string path = state.m_astrFiles[static_cast<std::size_t>(state.m_nFileIndex)];
        SplitPath(path, state);
        display.SetTitle(Format(texts::kMainTitleRunning, state.m_nFileIndex + 1,
                                state.m_nFileCount, state.m_szFname, state.m_szExt));
        display.DrawFileName(path);

        FileIdentity identity;
        try {
            FileImage file = ReadWholeFile(path);
            state.m_pImage = std::move(file.pBytes);
            state.m_nImageSize = file.nSize;
            // The backup lands in the current directory, the folder of the last file choice;
            // it holds the file as it was just before this pass.
            const std::string backupName = std::string(state.m_szFname) + state.m_szBackupExt;
            if (backupName.size() >= sizeof state.m_szPath) {
                ThrowFileError(ENAMETOOLONG, backupName);
            }
            CopyText(state.m_szPath, backupName);
            ReplaceWholeFile(state.m_szPath, state.m_pImage.get(), state.m_nImageSize);
            // The file the image is written back to must still be this one at the end.
            identity = FileIdentityOf(path);
        } catch (...) {
            // Nothing has started on this file and the buttons still show the idle window:
            // leave the flags idle as well, so that the window can be closed again.
            state.m_pImage.reset();
            state.m_bBusy = 0;
            state.m_bStopped = 1;
            throw;
        }

        display.ShowRunning(true);
        display.EraseCounters();
        display.BlankPaneLines();
        state.m_bBusy = 1;
        state.m_bStopped = 0;
        // A failure of the final write leaves the running state with the image held, until Stop.
        RunFile(state, engine, display, path, state.m_pImage.get(), state.m_nImageSize, &identity);
        display.ShowRunning(false);
        state.m_pImage.reset();
    }
    state.m_bBusy = 0;
    state.m_bStopped = 1;
}

bool TranslateImage(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                    unsigned char* image, std::int64_t size) {
    state.m_nFoundCount = 0;
    state.m_nTranslatedCount = 0;
    display.SetStatusText(4, texts::kPaneStateTranslating);
    CBatchRunHandler handler(state, engine, display, image);
    return WalkImage(state, image, size, EMainScanner::FollowMode, display, handler);
}

bool RunFile(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
             const std::string& path, unsigned char* image, std::int64_t size,
             const FileIdentity* pIdentity) {
    if (!TranslateImage(state, engine, display, image, size)) {
        return false;
    }
    // One write of the whole image, even when nothing was translated.
    WriteInPlace(path, image, size, pIdentity);
    display.SetStatusText(4, texts::kPaneStateDone);
    return true;
}

void StopBatch(AppState& state, IPassDisplay& display) {
    display.EraseCounters();
    display.BlankPaneLines();
    display.SetProgress(0);
    display.ShowRunning(false);
    state.m_pImage.reset();
    state.m_bStopped = 1;
    state.m_bBusy = 0;
}
