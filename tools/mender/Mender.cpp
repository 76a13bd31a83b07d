#include "Mender.h"

#include <algorithm>
#include <cstdarg>
#include <memory>

#include "AppState.h"
#include "CompanionTexts.h"
#include "FileError.h"
#include "MenderConsole.h"
#include "PassDisplay.h"
#include "TranslationEngine.h"
#include "WriteBack.h"

namespace mender {
namespace {

constexpr const char* kBackupExtensions[] = {".BAK", ".B01", ".B02", ".B03", ".B04",
                                             ".B05", ".B06", ".B07", ".B08", ".B09"};

// Line `index` (from 0) of the bytes, without its line end (LF, or CR LF).
std::string_view Line(std::string_view bytes, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            return {};
        }
        start = end + 1;
    }
    std::string_view line = bytes.substr(start, bytes.find('\n', start) - start);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

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
    const std::string folder = ProgramFolder();
    std::vector<TranslationChoice> found;
    std::vector<std::string> names = ListFiles(folder);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (!EndsWithTxt(name)) {
            continue;
        }
        const bool root = !folder.empty() && IsFolderSeparator(folder.back());
        std::string path = root ? folder + name : folder + kFolderSeparator + name;
        std::string bytes = ReadWholeFile(path);
        if (HasProgramLine(bytes)) {
            found.push_back({std::move(path), std::move(bytes)});
        }
    }
    if (found.empty()) {
        throw CRefusal{Format(texts::kMenderNoTranslationFile, DisplayName(folder).c_str())};
    }
    if (found.size() > 1) {
        std::string text =
            Format(texts::kMenderSeveralTranslationFiles, DisplayName(folder).c_str());
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

struct BackupChoice {
    std::string strPath;
    bool bWrite = true;  // false: the file of that name already holds exactly the program file
};

// The first backup name that is free or already holds the program file as it is now. A backup
// holding anything else (the untranslated program, after an earlier run) is never replaced.
BackupChoice ChooseBackup(const std::string& programPath, const std::string& image) {
    for (const std::string& name : BackupNames(programPath)) {
        if (SameFile(name, programPath)) {
            continue;
        }
        if (!FileExists(name)) {
            return {name, true};
        }
        if (ReadWholeFile(name) == image) {
            return {name, false};
        }
    }
    throw CRefusal{Format(texts::kMenderNoBackupName, DisplayName(programPath).c_str())};
}

// The file error's text, with its file name as it can be shown.
std::string ShownFailure(const std::exception& failure) {
    if (const auto* fileError = dynamic_cast<const CFileError*>(&failure)) {
        return CFileError(fileError->Cause(), DisplayName(fileError->FileName())).Text();
    }
    return FailureText(failure);
}

}  // namespace

bool HasProgramLine(std::string_view translationBytes) {
    return Line(translationBytes, kProgramLineIndex).starts_with(kProgramLinePrefix);
}

std::string HeaderProgramName(std::string_view translationBytes) {
    const std::string_view line = Line(translationBytes, kProgramLineIndex);
    if (!line.starts_with(kProgramLinePrefix)) {
        return {};
    }
    return std::string(line.substr(sizeof kProgramLinePrefix - 1));
}

bool IsBareFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    // Both systems' separators, whichever Mender runs on: a patch may come from either.
    return name.find_first_of("/\\:") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::vector<std::string> BackupNames(const std::string& programPath) {
    std::size_t nameStart = programPath.size();
    while (nameStart > 0 && !IsFolderSeparator(programPath[nameStart - 1])) {
        --nameStart;
    }
    const std::size_t dot = programPath.rfind('.');
    const std::string base =
        dot == std::string::npos || dot < nameStart ? programPath : programPath.substr(0, dot);
    std::vector<std::string> names;
    for (const char* ext : kBackupExtensions) {
        names.push_back(base + ext);
    }
    return names;
}

int RunMender(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
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
            translation.strBytes = ReadWholeFile(args[0]);
        }
        const std::string programPath = args.size() == 2 ? args[1] : ProgramFromHeader(translation);
        std::string image = ReadWholeFile(programPath);
        const BackupChoice backup = ChooseBackup(programPath, image);

        WriteText(out, Format(texts::kMenderFiles, DisplayName(programPath).c_str(),
                              DisplayName(translation.strPath).c_str(),
                              DisplayName(backup.strPath).c_str()));
        if (backup.bWrite) {
            ReplaceWholeFile(backup.strPath, image);
        }

        auto state = std::make_unique<AppState>();
        auto engine = std::make_unique<CTranslationEngine>();
        LoadEditedDictionary(*engine, std::move(translation.strBytes));
        state->m_bStopped = 0;
        state->m_bPlugInDict = 0;
        state->m_nDelay = 0;
        CSilentDisplay display;
        auto* bytes = reinterpret_cast<unsigned char*>(image.data());
        if (!WriteBackImage(*state, *engine, display, bytes,
                            static_cast<std::int64_t>(image.size()))) {
            return 1;  // nothing stops Mender's walk, but a stopped walk is never written
        }
        WriteOver(programPath, image);

        WriteText(out,
                  Format(texts::kMenderSummary, state->m_nFoundCount, state->m_nTranslatedCount));
        return 0;
    } catch (const CRefusal& refusal) {
        WriteText(err, refusal.strText);
    } catch (const std::exception& failure) {
        WriteText(err, Format(texts::kMenderFailure, ShownFailure(failure).c_str()));
    }
    return 1;
}

}  // namespace mender
