#include "BatchPass.h"

#include <cerrno>
#include <string_view>

#include "FileError.h"
#include "RunTranslation.h"
#include "Texts.h"

namespace {

constexpr PassSteps kBatchSteps{texts::kMainTitleRunning, texts::kPaneStateTranslating,
                                texts::kPaneStateDone,    EMarker::None,
                                EMainScanner::FollowMode, true};

// Translates each run with the translators the options choose and lays in what fits; the file is
// backed up as its name without extension plus the backup extension.
class CBatchPass : public IFilePass {
  public:
    CBatchPass(AppState& state, CTranslationEngine& engine, IPassDisplay& display)
        : m_state(state), m_engine(engine), m_display(display) {}

    const PassSteps& Steps() const override { return kBatchSteps; }
    ImageBuffer& ImageSlot() override { return m_state.m_pImage; }

    std::vector<std::string> BackupNames(const PassFile& file) override {
        const std::string name = std::string(m_state.m_szFname) + m_state.m_szBackupExt;
        if (name.size() >= sizeof m_state.m_szPath) {
            ThrowFileError(ENAMETOOLONG, file.Beside(name).strShown);
        }
        return ::BackupNames(file.program.strName, m_state.m_szBackupExt);
    }

    void BackupPlaced(const PassFile& file, const BackupPlace& backup) override {
        CopyText(m_state.m_szPath, backup.strName);
        TellOtherBackupName(file, backup, m_state.m_szBackupExt, m_display);
    }

    void BeginWalk(ILayInTarget& target) override {
        m_pTarget = &target;
        m_nLine = 0;
    }

    RunOutcome OnRun(std::int64_t pos) override {
        const char* candidate = m_state.m_szCandidate;
        const int runBytes = m_state.m_nRunBytes;
        m_engine.m_nResultLen = 0;
        // A run of one character goes no further, and no translator could translate it (each
        // needs two letter changes after the "["): skip the lookup, which would only clear the
        // result. Data tables are full of such runs.
        if (runBytes <= 2) {
            return {};
        }
        TranslateCandidate(m_state, m_engine, candidate, runBytes);

        m_state.m_nFoundCount += 1;
        m_display.DrawFoundCount(m_state.m_nFoundCount);
        // The ratio leaves out the current run's own translation: a file with nothing
        // translated yet shows 100 divided by the runs found.
        m_display.ShowRatio(TranslationRatio(m_state.m_nTranslatedCount, m_state.m_nFoundCount));

        const PreparedTranslation prepared =
            PrepareTranslation(m_state, m_engine, pos, ELayIn::ByUnits);
        const RunOutcome outcome = prepared.outcome;
        if (outcome.status != ERunStatus::Translated) {
            return outcome;
        }
        m_state.m_nTranslatedCount += 1;
        m_display.DrawTranslatedCount(m_state.m_nTranslatedCount);
        m_display.DrawSourceLine(
            m_nLine, std::string_view(candidate, static_cast<std::size_t>(runBytes / 2)));
        m_display.DrawTranslationLine(m_nLine, outcome.translation);
        m_nLine = (m_nLine + 1) % 4;
        LayIn(prepared, *m_pTarget);
        return outcome;
    }

  private:
    AppState& m_state;
    CTranslationEngine& m_engine;
    IPassDisplay& m_display;
    ILayInTarget* m_pTarget = nullptr;
    int m_nLine = 0;  // the pane line that receives the next translated run
};

}  // namespace

void RunBatch(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
              const FileDriverOptions& options) {
    CBatchPass pass(state, engine, display);
    RunFiles(state, state.m_astrFiles, state.m_nFileCount, pass, display, options);
}

bool TranslateImage(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                    unsigned char* image, std::int64_t size, const FileDriverOptions& options) {
    CBatchPass pass(state, engine, display);
    return RunPassOnImage(state, pass, display, image, size, nullptr, options);
}

bool RunFile(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
             const std::string& path, unsigned char* image, std::int64_t size) {
    CBatchPass pass(state, engine, display);
    const FilePlace place(path);
    const CHeldFile program(place.Ref(), ELockWait::No, true);
    return RunPassOnImage(state, pass, display, image, size, &program);
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
