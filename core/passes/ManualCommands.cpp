#include "ManualCommands.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "FileDriver.h"
#include "FileError.h"
#include "FileOps.h"
#include "RunTranslation.h"
#include "Texts.h"
#include "WriteBack.h"

namespace {

constexpr PassSteps kTranslateSteps{texts::kManualTitleRunning,     texts::kPaneStateTranslate,
                                    texts::kPaneStateTranslateDone, EMarker::Translate,
                                    EMainScanner::AlwaysSentence,   false};

// "%s%s" of the current file's name and an extension, checked against the scratch buffer that
// holds derived names.
std::string DerivedName(const AppState& state, const char* extension) {
    std::string name = std::string(state.m_szFname) + extension;
    if (name.size() >= sizeof state.m_szPath) {
        ThrowFileError(ENAMETOOLONG, name);
    }
    return name;
}

// The patch folder: the start-up folder's NAME/NAME.txt, a copy of the translation text file,
// and NAME/Mender.exe, a copy of the companion patcher.
void MakePatchFolder(const AppState& state) {
    const std::string programDir = state.m_szProgramDir;
    const std::string folder = programDir + "/" + state.m_szFname;
    MakeFolder(folder);
    CopyWholeFile(state.m_szPath, folder + "/" + state.m_szFname + ".txt");
    CopyWholeFile(programDir + "/Mender.exe", folder + "/Mender.exe");
}

// Translate: lists each translated run as an entry of the translation text file named in
// m_szPath, in file order, under its header; then the editor and the patch folder.
class CTranslatePass : public IFilePass {
  public:
    CTranslatePass(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                   IManualWindow& window)
        : m_state(state), m_engine(engine), m_display(display), m_window(window) {}

    const PassSteps& Steps() const override { return kTranslateSteps; }
    ImageBuffer& ImageSlot() override { return m_state.m_pImage; }

    void Prepare(const PassFile&) override {
        CopyText(m_state.m_szPath,
                 DerivedName(m_state, TranslationExtensions[m_window.TranslationExtIndex()]));
    }

    void ShowRunning() override {
        m_window.SetGroupCaptions(texts::kTranslateProgressCaption, texts::kTranslateCountCaption);
    }

    void BeginWalk(unsigned char*) override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        // An existing file of the name is emptied: it holds only what this pass writes.
        m_pListing = std::make_unique<CListingFile>(m_state.m_szPath);
        m_pListing->Write(TranslationFileHeader(
            m_state, m_window.BackupExtIndex(), m_window.TranslationExtIndex(),
            local.tm_year + 1900, local.tm_mon + 1, local.tm_mday));
    }

    RunOutcome OnRun(std::int64_t) override {
        const char* candidate = m_state.m_szCandidate;
        const int runBytes = m_state.m_nRunBytes;
        if (runBytes <= 2) {
            return {};
        }
        m_state.m_nFoundCount += 1;
        m_display.DrawFoundCount(m_state.m_nFoundCount);
        m_display.DrawSourceLine(
            0, std::string_view(candidate, static_cast<std::size_t>(runBytes / 2)));

        m_engine.m_nResultLen = 0;
        TranslateCandidate(m_state, m_engine, candidate, runBytes, EMainScanner::AlwaysSentence);
        const RunOutcome outcome = ResultOutcome(m_engine, runBytes);
        if (outcome.status != ERunStatus::Translated) {
            return outcome;
        }
        m_state.m_nTranslatedCount += 1;
        m_display.DrawTranslatedCount(m_state.m_nTranslatedCount);
        m_display.ShowRatio(TranslationRatio(m_state.m_nTranslatedCount, m_state.m_nFoundCount));
        m_display.DrawTranslationLine(0, outcome.translation);

        m_entry.clear();
        AppendTranslationEntry(m_entry, candidate, outcome.translation);
        m_pListing->Write(m_entry);
        return outcome;
    }

    // A stopped pass leaves a valid beginning: the header and the entries written so far.
    void EndWalk() override {
        std::unique_ptr<CListingFile> listing = std::move(m_pListing);
        listing->Close();
    }

    void Finish() override {
        if (m_state.m_bOpenInNotepad == 1) {
            m_window.OpenEditor(m_state.m_szPath);
        }
        if (m_state.m_bMakePatch == 1) {
            MakePatchFolder(m_state);
        }
    }

  private:
    AppState& m_state;
    CTranslationEngine& m_engine;
    IPassDisplay& m_display;
    IManualWindow& m_window;
    std::unique_ptr<CListingFile> m_pListing;
    std::string m_entry;
};

// Write: backs the file up under the chosen backup extension, then lays in the translations of
// its translation text file.
class CManualWritePass : public CWriteBackPass {
  public:
    CManualWritePass(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                     IManualWindow& window, CWriteBuffers& buffers)
        : CWriteBackPass(state, engine, display, &buffers.m_pWriteImage),
          m_appState(state),
          m_window(window),
          m_buffers(buffers) {}

    void ReleaseBuffers() override {
        m_buffers.m_pEditedText.reset();
        m_buffers.m_pWriteImage.reset();
    }

    BackupChoice ChooseBackup(const PassFile&) override {
        const char* backupExt = BackupExtensions[m_window.BackupExtIndex()];
        const char* listingExt = TranslationExtensions[m_window.TranslationExtIndex()];
        const std::string backup = std::string(m_appState.m_szFname) + backupExt;
        const std::string listing = std::string(m_appState.m_szFname) + listingExt;
        if (std::max(backup.size(), listing.size()) >= sizeof m_appState.m_szPath) {
            ThrowFileError(ENAMETOOLONG, backup);
        }
        CopyText(m_appState.m_szPath, backup);
        m_strListing = listing;
        return {backup, backup};
    }

    // The translation text file becomes the engine's edited dictionary.
    void Prepare(const PassFile& file) override {
        CopyText(m_appState.m_szPath, m_strListing);
        FileImage edited = ReadWholeFile({file.derived, m_strListing, m_strListing});
        m_buffers.m_pEditedText = std::move(edited.pBytes);
        LoadEditedDictionary(
            m_engine, std::string(reinterpret_cast<const char*>(m_buffers.m_pEditedText.get()),
                                  static_cast<std::size_t>(edited.nSize)));
    }

    void ShowRunning() override {
        m_window.SetGroupCaptions(texts::kWriteProgressCaption, texts::kWriteCountCaption);
    }

  private:
    AppState& m_appState;
    IManualWindow& m_window;
    CWriteBuffers& m_buffers;
    std::string m_strListing;
};

}  // namespace

std::string TranslationFileHeader(const AppState& state, int backupExt, int translationExt,
                                  int year, int month, int day) {
    using EType = TranslationFileFacts::EType;
    TranslationFileFacts facts;
    facts.strDrive = state.m_szDrive;
    facts.strDir = state.m_szDir;
    facts.strFname = state.m_szFname;
    facts.strExt = state.m_szExt;
    facts.nBackupExt = backupExt;
    facts.nTranslationExt = translationExt;
    facts.type = state.m_bToTraditional == 1  ? EType::Big5
                 : state.m_bToSimplified == 1 ? EType::Gb
                                              : EType::None;
    facts.strTranslatorName = state.m_szTranslatorName;
    facts.strTranslatorUrl = state.m_szTranslatorUrl;
    facts.strTranslatorEmail = state.m_szTranslatorEmail;
    facts.nYear = year;
    facts.nMonth = month;
    facts.nDay = day;
    return TranslationFileHeader(facts);
}

bool TranslatePass(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                   IManualWindow& window, unsigned char* image, std::int64_t size) {
    CTranslatePass pass(state, engine, display, window);
    return RunPassOnImage(state, pass, display, image, size);
}

void RunTranslateCommand(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                         IManualWindow& window) {
    CTranslatePass pass(state, engine, display, window);
    RunFiles(state, state.m_astrManualFiles, state.m_nManualFileCount, pass, display);
}

void RunWriteCommand(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                     IManualWindow& window, CWriteBuffers& buffers) {
    CManualWritePass pass(state, engine, display, window, buffers);
    RunFiles(state, state.m_astrManualFiles, state.m_nManualFileCount, pass, display);
}

void StopManualPass(AppState& state, IPassDisplay& display, CWriteBuffers& buffers) {
    display.ShowRunning(false);
    buffers.m_pEditedText.reset();
    buffers.m_pWriteImage.reset();
    state.m_bBusy = 0;
    state.m_bStopped = 1;
}
