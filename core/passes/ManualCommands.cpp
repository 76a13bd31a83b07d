#include "ManualCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "DictionaryCode.h"
#include "FileError.h"
#include "FileOps.h"
#include "ImageWalk.h"
#include "Texts.h"
#include "WriteBack.h"

namespace {

// A fixed UTF-8 text in the dictionary code (its ASCII, such as format directives, unchanged).
std::string InDictionaryCode(const char* utf8) {
    std::u32string text;
    for (const auto* p = reinterpret_cast<const unsigned char*>(utf8); *p != 0;) {
        char32_t ch = *p;
        int more = 0;
        if (ch >= 0xF0) {
            ch &= 0x07;
            more = 3;
        } else if (ch >= 0xE0) {
            ch &= 0x0F;
            more = 2;
        } else if (ch >= 0xC0) {
            ch &= 0x1F;
            more = 1;
        }
        ++p;
        for (; more > 0 && *p != 0; --more, ++p) {
            ch = (ch << 6) | (*p & 0x3F);
        }
        text += ch;
    }
    std::string out;
    EncodeDictionaryCode(text, out, nullptr);
    return out;
}

std::string Line(const std::string& format, const char* a, const char* b = "") {
    char line[2048];
    std::snprintf(line, sizeof line, format.c_str(), a, b);
    return std::string(line) + "\r\n";
}

// Lists each translated run as an entry "[" TEXT "=" TRANSLATION CR LF, in file order.
class CTranslateRunHandler : public IRunHandler {
  public:
    CTranslateRunHandler(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                         CListingFile& listing)
        : m_state(state), m_engine(engine), m_display(display), m_listing(listing) {}

    void OnRun(std::int64_t) override {
        const char* candidate = m_state.m_szCandidate;
        const int runBytes = m_state.m_nRunBytes;
        if (runBytes <= 2) {
            return;
        }
        m_state.m_nFoundCount += 1;
        m_display.DrawFoundCount(m_state.m_nFoundCount);
        m_display.DrawSourceLine(
            0, std::string_view(candidate, static_cast<std::size_t>(runBytes / 2)));

        m_engine.m_nResultLen = 0;
        if (m_state.m_bPlugInDict == 1) {
            m_engine.TranslatePlugIn(candidate, runBytes, m_state.m_bIgnoreCase == 1);
        }
        if (m_engine.m_nResultLen == 0 &&
            (m_state.m_bPlugInDict == 0 || m_state.m_bAlsoDefaultDict == 1)) {
            m_engine.TranslateSentence(candidate, runBytes, false);
        }
        const int resultLen = m_engine.m_nResultLen;
        if (resultLen <= 0 || resultLen > runBytes) {
            return;
        }
        m_state.m_nTranslatedCount += 1;
        m_display.DrawTranslatedCount(m_state.m_nTranslatedCount);
        const unsigned translated = static_cast<unsigned>(std::max(m_state.m_nTranslatedCount, 1));
        m_display.ShowRatio(translated * 100 / m_state.m_nFoundCount);
        const std::string_view translation(m_engine.m_szResult,
                                           static_cast<std::size_t>(resultLen));
        m_display.DrawTranslationLine(0, translation);

        m_entry.clear();
        m_entry.push_back('[');
        m_entry.append(candidate);
        m_entry.push_back('=');
        m_entry.append(translation);
        m_entry.append("\r\n", 2);
        m_listing.Write(m_entry);
    }

  private:
    AppState& m_state;
    CTranslationEngine& m_engine;
    IPassDisplay& m_display;
    CListingFile& m_listing;
    std::string m_entry;
};

// The patch folder: the start-up folder's NAME/NAME.txt, a copy of the translation text file,
// and NAME/Mender.exe, a copy of the companion patcher.
void MakePatchFolder(const AppState& state) {
    const std::string programDir = state.m_szProgramDir;
    const std::string folder = programDir + "/" + state.m_szFname;
    MakeFolder(folder);
    CopyWholeFile(state.m_szPath, folder + "/" + state.m_szFname + ".txt");
    CopyWholeFile(programDir + "/Mender.exe", folder + "/Mender.exe");
}

std::string Title(const char* format, int number, int count, const char* name, const char* ext) {
    char title[2048];
    std::snprintf(title, sizeof title, format, number, count, name, ext);
    return title;
}

// The current file of the manual list: its name parts in the state, the running title and the
// file name shown.
std::string BeginFile(AppState& state, IPassDisplay& display) {
    const std::string path = state.m_astrManualFiles[static_cast<std::size_t>(state.m_nFileIndex)];
    SplitPath(path, state);
    display.SetTitle(Title(texts::kManualTitleRunning, state.m_nFileIndex + 1,
                           state.m_nManualFileCount, state.m_szFname, state.m_szExt));
    display.DrawFileName(path);
    return path;
}

}  // namespace

std::string TranslationFileHeader(const AppState& state, int backupExt, int translationExt,
                                  int year, int month, int day) {
    std::string header;
    header += InDictionaryCode(texts::kHeaderRuleTop) + "\r\n";
    header += InDictionaryCode(texts::kHeaderTitle) + "\r\n";
    header += Line(InDictionaryCode(texts::kHeaderPath), state.m_szDrive, state.m_szDir);
    header += Line(InDictionaryCode(texts::kHeaderFile), state.m_szFname, state.m_szExt);
    header +=
        Line(InDictionaryCode(texts::kHeaderBackup), state.m_szFname, BackupExtensions[backupExt]);
    header += Line(InDictionaryCode(texts::kHeaderListing), state.m_szFname,
                   TranslationExtensions[translationExt]);
    const char* type = state.m_bToTraditional == 1  ? texts::kHeaderTypeBig5
                       : state.m_bToSimplified == 1 ? texts::kHeaderTypeGb
                                                    : texts::kHeaderTypeNone;
    header += InDictionaryCode(type) + "\r\n";
    header += Line(InDictionaryCode(texts::kHeaderTranslator), state.m_szTranslatorName);
    header += Line(InDictionaryCode(texts::kHeaderUrl), state.m_szTranslatorUrl);
    header += Line(InDictionaryCode(texts::kHeaderEmail), state.m_szTranslatorEmail);
    char date[128];
    std::snprintf(date, sizeof date, InDictionaryCode(texts::kHeaderDate).c_str(), year, month,
                  day);
    header += std::string(date) + "\r\n";
    header += InDictionaryCode(texts::kHeaderRuleBottom) + "\r\n";
    return header;
}

bool TranslatePass(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                   IManualWindow& window, const unsigned char* image, std::int64_t size) {
    state.m_nFoundCount = 0;
    state.m_nTranslatedCount = 0;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    // An existing file of the name is emptied: it holds only what this pass writes.
    CListingFile listing(state.m_szPath);
    listing.Write(TranslationFileHeader(state, window.BackupExtIndex(),
                                        window.TranslationExtIndex(), local.tm_year + 1900,
                                        local.tm_mon + 1, local.tm_mday));
    display.SetStatusText(4, texts::kPaneStateTranslate);
    display.StartMarker(EMarker::Translate);

    CTranslateRunHandler handler(state, engine, display, listing);
    const bool bCompleted =
        WalkImage(state, image, size, EMainScanner::AlwaysSentence, display, handler);
    // A stopped pass leaves a valid beginning: the header and the entries written so far.
    listing.Close();
    display.StartMarker(EMarker::None);
    if (!bCompleted) {
        return false;
    }
    display.SetStatusText(4, texts::kPaneStateTranslateDone);
    if (state.m_bOpenInNotepad == 1) {
        window.OpenEditor(state.m_szPath);
    }
    if (state.m_bMakePatch == 1) {
        MakePatchFolder(state);
    }
    return true;
}

void RunTranslateCommand(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                         IManualWindow& window) {
    for (state.m_nFileIndex = 0; state.m_nFileIndex < state.m_nManualFileCount;
         ++state.m_nFileIndex) {
        const std::string path = BeginFile(state, display);
        try {
            FileImage file = ReadWholeFile(path);
            state.m_pImage = std::move(file.pBytes);
            state.m_nImageSize = file.nSize;
            const std::string name =
                std::string(state.m_szFname) + TranslationExtensions[window.TranslationExtIndex()];
            if (name.size() >= sizeof state.m_szPath) {
                ThrowFileError(ENAMETOOLONG, name);
            }
            CopyText(state.m_szPath, name);
        } catch (...) {
            // Nothing has started on this file: leave the window idle, flags and buttons alike.
            state.m_pImage.reset();
            state.m_bBusy = 0;
            state.m_bStopped = 1;
            throw;
        }
        display.ShowRunning(true);
        window.SetGroupCaptions(texts::kTranslateProgressCaption, texts::kTranslateCountCaption);
        display.EraseCounters();
        display.BlankPaneLines();
        state.m_bBusy = 1;
        state.m_bStopped = 0;
        // A failure inside the pass or its follow-ups leaves the running state until Stop.
        TranslatePass(state, engine, display, window, state.m_pImage.get(), state.m_nImageSize);
        display.ShowRunning(false);
        state.m_pImage.reset();
    }
    state.m_bBusy = 0;
    state.m_bStopped = 1;
}

namespace {

// Reads the file and writes its backup, then reads its translation text file into the engine.
// A failure here leaves the window idle, flags and buttons alike.
void PrepareWrite(AppState& state, CTranslationEngine& engine, IManualWindow& window,
                  CWriteBuffers& buffers, const std::string& path, std::int64_t& imageSize,
                  FileIdentity& identity) {
    try {
        FileImage image = ReadWholeFile(path);
        buffers.m_pWriteImage = std::move(image.pBytes);
        imageSize = image.nSize;
        // The backup comes first, before anything else of the file is read or changed.
        const std::string backup =
            std::string(state.m_szFname) + BackupExtensions[window.BackupExtIndex()];
        const std::string listing =
            std::string(state.m_szFname) + TranslationExtensions[window.TranslationExtIndex()];
        if (std::max(backup.size(), listing.size()) >= sizeof state.m_szPath) {
            ThrowFileError(ENAMETOOLONG, backup);
        }
        CopyText(state.m_szPath, backup);
        ReplaceWholeFile(state.m_szPath, buffers.m_pWriteImage.get(), imageSize);
        identity = FileIdentityOf(path);

        CopyText(state.m_szPath, listing);
        FileImage edited = ReadWholeFile(state.m_szPath);
        buffers.m_pEditedText = std::move(edited.pBytes);
        LoadEditedDictionary(engine,
                             std::string(reinterpret_cast<const char*>(buffers.m_pEditedText.get()),
                                         static_cast<std::size_t>(edited.nSize)));
    } catch (...) {
        buffers.m_pWriteImage.reset();
        buffers.m_pEditedText.reset();
        state.m_bBusy = 0;
        state.m_bStopped = 1;
        throw;
    }
}

}  // namespace

void RunWriteCommand(AppState& state, CTranslationEngine& engine, IPassDisplay& display,
                     IManualWindow& window, CWriteBuffers& buffers) {
    for (state.m_nFileIndex = 0; state.m_nFileIndex < state.m_nManualFileCount;
         ++state.m_nFileIndex) {
        const std::string path = BeginFile(state, display);
        std::int64_t size = 0;
        FileIdentity identity;
        PrepareWrite(state, engine, window, buffers, path, size, identity);

        display.ShowRunning(true);
        window.SetGroupCaptions(texts::kWriteProgressCaption, texts::kWriteCountCaption);
        display.EraseCounters();
        display.BlankPaneLines();
        state.m_bStopped = 0;
        state.m_bBusy = 1;
        unsigned char* image = buffers.m_pWriteImage.get();
        const bool bCompleted = WriteBackImage(state, engine, display, image, size);
        display.StartMarker(EMarker::None);
        if (bCompleted) {
            // One write of the whole image; a failure leaves the running state until Stop.
            WriteInPlace(path, image, size, &identity);
            display.SetStatusText(4, texts::kPaneStateWriteDone);
        }
        display.ShowRunning(false);
        buffers.m_pEditedText.reset();
        buffers.m_pWriteImage.reset();
    }
    state.m_bBusy = 0;
    state.m_bStopped = 1;
}

void StopManualPass(AppState& state, IPassDisplay& display, CWriteBuffers& buffers) {
    display.ShowRunning(false);
    buffers.m_pEditedText.reset();
    buffers.m_pWriteImage.reset();
    state.m_bBusy = 0;
    state.m_bStopped = 1;
}
