#include "ManualCommands.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <optional>

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
std::string DerivedName(const AppState& state, const PassFile& file, const char* extension) {
    std::string name = std::string(state.m_szFname) + extension;
    if (name.size() >= sizeof state.m_szPath) {
        ThrowFileError(ENAMETOOLONG, file.Beside(name).strShown);
    }
    return name;
}

// The translation text file beside the program file: never the program file itself (a program
// named like its listing), never a link, a folder or a special file.
FileRef ListingOf(const PassFile& file, const std::string& name) {
    const FileRef listing = file.Beside(name);
    if (name == file.program.strName || SameFile(file.program.folder, name, file.program.strName)) {
        throw CFileError(EFileErrorCause::SameAsProgram, listing.strShown);
    }
    return listing;
}

// The name of the patch folder and of the listing's copy in it: the program file's name without
// its extension, or with it where that would leave a name that leads elsewhere ("" "." "..").
std::string PatchName(const AppState& state) {
    const std::string name = state.m_szFname;
    return name.empty() || name == "." || name == ".." ? name + state.m_szExt : name;
}

// The patch folder: the start-up folder's NAME/NAME.txt, a copy of the translation text file,
// and NAME/Mender.exe, a copy of the companion patcher.
void MakePatchFolder(const AppState& state, const std::string& listing) {
    const std::string programDir = state.m_szProgramDir;
    const std::string name = PatchName(state);
    const std::string folder = programDir + "/" + name;
    MakeFolder(folder);
    CopyWholeFile(listing, folder + "/" + name + ".txt");
    CopyWholeFile(programDir + "/Mender.exe", folder + "/Mender.exe");
}

// Keeps an earlier translation text file, which may hold the user's edits, under its name plus
// ".1", ".2", ... (the first free one): never taken for a listing, whose extensions are fixed.
std::string KeepEarlierListing(const FileRef& listing) {
    for (int n = 1; n < 100; ++n) {
        const std::string name = listing.strName + "." + std::to_string(n);
        const std::string shown = listing.strShown + "." + std::to_string(n);
        if (LookAt({listing.folder, name, shown}).kind == EEntry::None &&
            KeepAs(listing, {listing.folder, name, shown})) {
            return shown;
        }
    }
    throw CFileError(EFileErrorCause::NoBackupName, listing.strShown);
}

// Translate: lists each translated run as an entry of the translation text file named in
// m_szPath, beside the program file, in file order, under its header; then the editor and the
// patch folder. An earlier translation text file is replaced only when the window agrees, and
// is kept under another name.
class CTranslatePass : public IFilePass {
  public:
    CTranslatePass(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                   IManualWindow& window)
        : m_state(state), m_engine(engine), m_display(display), m_window(window) {}

    const PassSteps& Steps() const override { return kTranslateSteps; }
    ImageBuffer& ImageSlot() override { return m_state.m_pImage; }

    bool Prepare(const PassFile& file) override {
        const std::string name =
            DerivedName(m_state, file, TranslationExtensions[m_window.TranslationExtIndex()]);
        m_listing.emplace(ListingOf(file, name));
        const FileEntry earlier = LookAt(*m_listing);
        if (earlier.kind == EEntry::Link) {
            throw CFileError(EFileErrorCause::IsLink, m_listing->strShown);
        }
        m_bKeepEarlier = earlier.kind != EEntry::None;
        if (m_bKeepEarlier && !m_window.ConfirmReplaceListing(m_listing->strShown)) {
            return false;
        }
        CopyText(m_state.m_szPath, name);
        return true;
    }

    void ShowRunning() override {
        m_window.SetGroupCaptions(texts::kTranslateProgressCaption, texts::kTranslateCountCaption);
    }

    void BeginWalk(ILayInTarget&) override {
        if (m_bKeepEarlier) {
            m_display.ShowNotice(FillIn(texts::kNoticeListingKept, m_listing->strShown,
                                        KeepEarlierListing(*m_listing)));
        }
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        m_pListing = std::make_unique<CNewFile>(*m_listing);
        m_pListing->Write(TranslationFileHeader(
                              m_state, m_window.BackupExtIndex(), m_window.TranslationExtIndex(),
                              local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
                          ListingOptionsLine(ListingOptionsOf(m_state)));
    }
    RunOutcome OnRun(std::int64_t pos) override {
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
        const PreparedTranslation prepared =
            PrepareTranslation(m_state, m_engine, pos, ELayIn::ByChars);
        const RunOutcome outcome = prepared.outcome;
        if (outcome.status != ERunStatus::Translated) {
            return outcome;
        }
        m_state.m_nTranslatedCount += 1;
        m_display.DrawTranslatedCount(m_state.m_nTranslatedCount);
        m_display.ShowRatio(TranslationRatio(m_state.m_nTranslatedCount, m_state.m_nFoundCount));
        m_display.DrawTranslationLine(0, outcome.translation);

        m_entry.clear();
        if (prepared.notes.bKeyDropped && m_state.m_pField != nullptr) {
            // Write lays the entry in without its access key: the field has no room for it.
            m_entry = "// access key dropped, no room: " + m_state.m_pField->strWhere + "\r\n";
        }
        AppendTranslationEntry(m_entry, candidate, outcome.translation);
        m_pListing->Write(m_entry);
        return outcome;
    }

    // A stopped pass leaves a valid beginning: the header and the entries written so far.
    void EndWalk() override {
        std::unique_ptr<CNewFile> listing = std::move(m_pListing);
        listing->Commit();
    }

    void Finish() override {
        if (m_state.m_bOpenInNotepad == 1) {
            m_window.OpenEditor(m_listing->strShown);
        }
        if (m_state.m_bMakePatch == 1) {
            MakePatchFolder(m_state, m_listing->strShown);
        }
    }

  private:
    AppState& m_state;
    CTranslationEngine& m_engine;
    IPassDisplay& m_display;
    IManualWindow& m_window;
    std::optional<FileRef> m_listing;
    bool m_bKeepEarlier = false;
    std::unique_ptr<CNewFile> m_pListing;
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
        if (m_windowOptions) {
            UseListingOptions(*m_windowOptions, m_appState);
            m_windowOptions.reset();
        }
    }

    std::vector<std::string> BackupNames(const PassFile& file) override {
        m_strBackupExt = BackupExtensions[m_window.BackupExtIndex()];
        DerivedName(m_appState, file, m_strBackupExt.c_str());
        m_strListing =
            DerivedName(m_appState, file, TranslationExtensions[m_window.TranslationExtIndex()]);
        return ::BackupNames(file.program.strName, m_strBackupExt);
    }

    // When the chosen backup name holds something else, the backup takes another, and says so.
    void BackupPlaced(const PassFile& file, const BackupPlace& backup) override {
        CopyText(m_appState.m_szPath, backup.strName);
        TellOtherBackupName(file, backup, m_strBackupExt, m_display);
    }

    // The translation text file becomes the engine's edited dictionary.
    bool Prepare(const PassFile& file) override {
        CopyText(m_appState.m_szPath, m_strListing);
        FileImage edited = ReadWholeFile(ListingOf(file, m_strListing));
        m_buffers.m_pEditedText = std::move(edited.pBytes);
        std::string bytes(reinterpret_cast<const char*>(m_buffers.m_pEditedText.get()),
                          static_cast<std::size_t>(edited.nSize));
        // The runs are found as Translate found them, whatever the window says now; its own
        // options come back when the pass lets go of the file.
        m_windowOptions = ListingOptionsOf(m_appState);
        UseListingOptions(ReadListingOptions(bytes), m_appState);
        LoadEditedDictionary(m_engine, std::move(bytes));
        return true;
    }

    void ShowRunning() override {
        m_window.SetGroupCaptions(texts::kWriteProgressCaption, texts::kWriteCountCaption);
    }

  private:
    AppState& m_appState;
    IManualWindow& m_window;
    CWriteBuffers& m_buffers;
    std::string m_strBackupExt;
    std::string m_strListing;
    std::optional<ListingOptions> m_windowOptions;
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
