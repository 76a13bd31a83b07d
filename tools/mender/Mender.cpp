#include "Mender.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>

#include "AppState.h"
#include "CompanionTexts.h"
#include "FileDriver.h"
#include "FileError.h"
#include "FileOps.h"
#include "MenderConsole.h"
#include "PassDisplay.h"
#include "TranslationEngine.h"
#include "TranslationFile.h"
#include "WriteBack.h"

namespace mender {
namespace {

std::string Format(const char* format, ...) {
    char text[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

bool EndsWithTxt(const std::string& name) {
    if (name.size() < 4) {
        return false;
    }
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return ext == ".txt";
}

std::string AsBytes(const FileImage& image) {
    return std::string(reinterpret_cast<const char*>(image.pBytes.get()),
                       static_cast<std::size_t>(image.nSize));
}

// A run that cannot go on: the message is already formatted for `err`.
struct CRefusal {
    std::string strText;
};

struct TranslationChoice {
    std::string strPath;
    std::string strBytes;
};

// Without arguments: the one translation text file beside Mender.
TranslationChoice FindTranslationBesideMender() {
    const std::string folderPath = ProgramFolder();
    const CFolder folder = CFolder::Open(folderPath);
    const bool root = !folderPath.empty() && IsFolderSeparator(folderPath.back());
    std::vector<TranslationChoice> found;
    std::vector<std::string> names = ListFiles(folder, folderPath);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (!EndsWithTxt(name)) {
            continue;
        }
        std::string path = root ? folderPath + name : folderPath + kFolderSeparator + name;
        std::string bytes = AsBytes(ReadWholeFile({folder, name, path}));
        if (HasProgramLine(bytes)) {
            found.push_back({std::move(path), std::move(bytes)});
        }
    }
    if (found.empty()) {
        throw CRefusal{Format(texts::kMenderNoTranslationFile, DisplayName(folderPath).c_str())};
    }
    if (found.size() > 1) {
        std::string text =
            Format(texts::kMenderSeveralTranslationFiles, DisplayName(folderPath).c_str());
        for (const TranslationChoice& choice : found) {
            text += "  " + DisplayName(choice.strPath) + "\n";
        }
        throw CRefusal{text};
    }
    return std::move(found.front());
}

// The program file named in the header, in the current folder.
std::string ProgramFromHeader(const TranslationChoice& translation) {
    const std::string name = HeaderProgramName(translation.strBytes);
    if (name.empty()) {
        throw CRefusal{
            Format(texts::kMenderNoProgramName, DisplayName(translation.strPath).c_str())};
    }
    if (!IsBareFileName(name)) {
        throw CRefusal{Format(texts::kMenderProgramNameWithPath,
                              DisplayName(translation.strPath).c_str(), DisplayName(name).c_str())};
    }
    return name;
}

// The write-back with Mender's backup: the program file's name without extension plus ".BAK",
// or where that holds something else ".B01" to ".B09". Which files it uses is told before anything
// is written.
class CMenderPass : public CWriteBackPass {
  public:
    CMenderPass(PassState& state, CTranslationEngine& engine, IPassDisplay& display,
                std::string translationPath, std::FILE* out)
        : CWriteBackPass(state, engine, display),
          m_strTranslationPath(std::move(translationPath)),
          m_out(out) {}

    std::vector<std::string> BackupNames(const PassFile& file) override {
        return ::BackupNames(file.program.strName, ".BAK");
    }

    void BackupPlaced(const PassFile& file, const BackupPlace& backup) override {
        WriteText(m_out, Format(texts::kMenderFiles, DisplayName(file.program.strShown).c_str(),
                                DisplayName(m_strTranslationPath).c_str(),
                                DisplayName(backup.strShown).c_str()));
    }

  private:
    std::string m_strTranslationPath;
    std::FILE* m_out;
};

// Tells what Mender wants the user to know about its run (on the error stream, since it is not
// the summary).
class CMenderDisplay : public CSilentDisplay {
  public:
    explicit CMenderDisplay(std::FILE* err) : m_err(err) {}
    void ShowNotice(const std::string& text) override {
        WriteText(m_err, "Mender: " + DisplayName(text) + "\n");
    }

  private:
    std::FILE* m_err;
};

// What a failure says on the console, with its file name as it can be shown.
std::string ShownFailure(const std::exception& failure) {
    if (const auto* fileError = dynamic_cast<const CFileError*>(&failure)) {
        const std::string name = DisplayName(fileError->FileName());
        // Mender's backups take ".BAK" first; it says so in its own words.
        if (fileError->Cause() == EFileErrorCause::NoBackupName) {
            return Format(texts::kMenderNoBackupName, name.c_str());
        }
        return Format(texts::kMenderFailure, CFileError(fileError->Cause(), name).Text().c_str());
    }
    return Format(texts::kMenderFailure, FailureText(failure).c_str());
}

}  // namespace

bool IsBareFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    // Both systems' separators, whichever Mender runs on: a patch may come from either.
    return name.find_first_of("/\\:") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

int RunMender(const std::vector<std::string>& given, std::FILE* out, std::FILE* err) {
    // --whole-file: every run of the file, as for a file that is not a Windows program.
    std::vector<std::string> args;
    bool bWholeFileWalk = false;
    for (const std::string& arg : given) {
        if (arg == "--whole-file") {
            bWholeFileWalk = true;
        } else {
            args.push_back(arg);
        }
    }
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help" || args[0] == "/?")) {
        WriteText(out, texts::kMenderUsage);
        return 0;
    }
    if (args.size() > 2) {
        WriteText(err, texts::kMenderTooManyArguments);
        WriteText(err, texts::kMenderUsage);
        return 2;
    }
    try {
        // Everything is read and checked before anything is written: a run that cannot be done
        // leaves every file as it was, the backups included.
        TranslationChoice translation;
        if (args.empty()) {
            translation = FindTranslationBesideMender();
        } else {
            translation.strPath = args[0];
            translation.strBytes = AsBytes(ReadWholeFile(args[0]));
        }
        const std::string programPath = args.size() == 2 ? args[1] : ProgramFromHeader(translation);

        auto state = std::make_unique<PassState>();
        auto engine = std::make_unique<CTranslationEngine>();
        // The runs are found as the Translate that made the listing found them.
        UseListingOptions(ReadListingOptions(translation.strBytes), *state);
        if (bWholeFileWalk) {
            state->m_bWholeFileWalk = 1;
        }
        LoadEditedDictionary(*engine, std::move(translation.strBytes));
        CMenderDisplay display(err);
        CMenderPass pass(*state, *engine, display, translation.strPath, out);
        if (!RunPassOnFile(*state, pass, display, programPath)) {
            return 1;  // nothing stops Mender's walk, but a stopped walk is never written
        }
        WriteText(out, Format(texts::kMenderSummary,
                              static_cast<unsigned long long>(state->m_nFoundCount),
                              static_cast<long long>(state->m_nTranslatedCount)));
        return 0;
    } catch (const CRefusal& refusal) {
        WriteText(err, refusal.strText);
    } catch (const std::exception& failure) {
        WriteText(err, ShownFailure(failure));
    }
    return 1;
}

}  // namespace mender
