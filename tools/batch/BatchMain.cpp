// vokra-batch: translates program files in place exactly as the main window's Start does.
#include <getopt.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "AppState.h"
#include "Backups.h"
#include "BatchPass.h"
#include "DictionaryFiles.h"
#include "FileError.h"
#include "FileOps.h"
#include "Startup.h"
#include "TerminalDisplay.h"
#include "TerminalText.h"

namespace {

constexpr char kUsage[] =
    "Usage: vokra-batch [OPTION]... FILE...\n"
    "Translates the English texts of Windows program files into Chinese, in place.\n"
    "Each file is first backed up beside itself as its name without extension plus the\n"
    "backup extension (or, where that name holds something else, .B01 to .B09); a backup\n"
    "that differs from the file is never replaced. The translated file replaces the file as\n"
    "a whole: a run that is killed or fails leaves it as it was.\n"
    "\n"
    "  -d, --dir DIR         start-up folder holding message.txt, message1.txt and user.txt\n"
    "                        (default: the shipped share/vokra beside vokra-batch)\n"
    "  -s, --single-phrase   translate single words instead of whole sentences\n"
    "  -S, --simplified      English to Simplified Chinese (message1.txt)\n"
    "  -u, --plug-in         look texts up in user.txt first\n"
    "      --plug-in-only    with --plug-in, do not fall back to the main dictionary\n"
    "      --case-sensitive  with --plug-in, keys must match in letter case\n"
    "      --whole-file      look for English texts anywhere in each file; by default a\n"
    "                        Windows program is translated by its structure: the texts of\n"
    "                        its menus, dialogs, string tables and version information, and\n"
    "                        interface sentences of its data, in English resources only\n"
    "  -b, --backup-ext EXT  backup extension (default: .bak)\n"
    "      --restore         put each FILE back as its backup holds it, translating nothing\n"
    "      --wait            wait for another VOKRA that works on a file (default: stop)\n"
    "      --include-backups with several files, translate files named like backups too\n"
    "                        (EXT, .BAK, .B01 to .B09; default: leave them out)\n"
    "  -q, --quiet           no progress bar\n"
    "  -h, --help            show this help\n"
    "\n"
    "For each file it prints the runs found, the runs translated and the translation ratio\n"
    "as the main window shows it. On a file error it prints the error and stops with exit\n"
    "status 1; files after it are not processed.\n";

struct Options {
    std::string dir;
    bool bSinglePhrase = false;
    bool bSimplified = false;
    bool bPlugIn = false;
    bool bPlugInOnly = false;
    bool bCaseSensitive = false;
    bool bWholeFile = false;
    std::string backupExt = ".bak";
    bool bRestore = false;
    bool bWait = false;
    bool bIncludeBackups = false;
    bool bQuiet = false;
    std::vector<std::string> files;
};

// The shipped data as installed with the program (share/vokra beside its bin/ folder).
std::string ShippedDataFolder() {
    return ProgramFolder() + "/" VOKRA_DATA_FROM_BIN;
}

// Returns 0 to go on, or the exit status.
int ParseOptions(int argc, char** argv, Options& options) {
    enum { kPlugInOnly = 1000, kCaseSensitive, kRestore, kWait, kIncludeBackups, kWholeFile };
    static const option kLong[] = {
        {"dir", required_argument, nullptr, 'd'},
        {"single-phrase", no_argument, nullptr, 's'},
        {"simplified", no_argument, nullptr, 'S'},
        {"plug-in", no_argument, nullptr, 'u'},
        {"plug-in-only", no_argument, nullptr, kPlugInOnly},
        {"case-sensitive", no_argument, nullptr, kCaseSensitive},
        {"whole-file", no_argument, nullptr, kWholeFile},
        {"backup-ext", required_argument, nullptr, 'b'},
        {"restore", no_argument, nullptr, kRestore},
        {"wait", no_argument, nullptr, kWait},
        {"include-backups", no_argument, nullptr, kIncludeBackups},
        {"quiet", no_argument, nullptr, 'q'},
        {"help", no_argument, nullptr, 'h'},
        {nullptr, 0, nullptr, 0},
    };
    int c = 0;
    while ((c = getopt_long(argc, argv, "d:sSub:qh", kLong, nullptr)) != -1) {
        switch (c) {
            case 'd':
                options.dir = optarg;
                break;
            case 's':
                options.bSinglePhrase = true;
                break;
            case 'S':
                options.bSimplified = true;
                break;
            case 'u':
                options.bPlugIn = true;
                break;
            case kPlugInOnly:
                options.bPlugInOnly = true;
                break;
            case kCaseSensitive:
                options.bCaseSensitive = true;
                break;
            case kWholeFile:
                options.bWholeFile = true;
                break;
            case 'b':
                options.backupExt = optarg;
                break;
            case kRestore:
                options.bRestore = true;
                break;
            case kWait:
                options.bWait = true;
                break;
            case kIncludeBackups:
                options.bIncludeBackups = true;
                break;
            case 'q':
                options.bQuiet = true;
                break;
            case 'h':
                std::fputs(kUsage, stdout);
                return -1;
            default:
                std::fputs(kUsage, stderr);
                return 2;
        }
    }
    for (int i = optind; i < argc; ++i) {
        options.files.emplace_back(argv[i]);
    }
    if (options.files.empty()) {
        std::fputs("vokra-batch: no file given\n", stderr);
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.backupExt.find('/') != std::string::npos) {
        std::fputs("vokra-batch: the backup extension must not contain \"/\"\n", stderr);
        return 2;
    }
    if (options.dir.empty()) {
        options.dir = ShippedDataFolder();
    }
    return 0;
}

// Start-up as the window does it, from the start-up folder.
void StartUp(const Options& options, AppState& state, CTranslationEngine& engine) {
    ApplyStartupDefaults(state);
    LoadStartupDictionary(state, engine, options.dir);
    const CFolder programFolder = CFolder::Open(options.dir);
    if (options.bSimplified) {
        LoadMainDictionary(state, engine, kSimplifiedDictFile, programFolder);
        state.m_bToTraditional = 0;
        state.m_bToSimplified = 1;
    }
    state.m_bWholeSentence = options.bSinglePhrase ? 0 : 1;
    state.m_bIgnoreCase = options.bCaseSensitive ? 0 : 1;
    state.m_bWholeFileWalk = options.bWholeFile ? 1 : 0;
    if (options.bPlugIn) {
        LoadPlugInDictionary(state, engine, programFolder);
        state.m_bPlugInDict = 1;
        state.m_bAlsoDefaultDict = options.bPlugInOnly ? 0 : 1;
    }
    CopyText(state.m_szBackupExt, options.backupExt);
}

// One file, as a Load of it followed by Start; its backup goes beside it. The name is shown as
// it was given.
void TranslateFile(const std::string& path, const Options& options, AppState& state,
                   CTranslationEngine& engine, CTerminalDisplay& display, CCommitGroup& group,
                   CStaleTemporaries& stale) {
    CopyText(state.m_szFileDir, path.substr(0, path.rfind('/') + 1));
    state.m_astrFiles[0] = path;
    state.m_nFileCount = 1;
    FileDriverOptions driver;
    driver.wait = options.bWait ? ELockWait::Yes : ELockWait::No;
    driver.pGroup = &group;
    driver.pStale = &stale;
    RunBatch(state, engine, display, driver);
    display.EndProgress();
    std::printf("%s: found %llu, translated %lld, ratio %u%%\n", TerminalText(path).c_str(),
                static_cast<unsigned long long>(state.m_nFoundCount),
                static_cast<long long>(state.m_nTranslatedCount), display.Ratio());
    std::fflush(stdout);
}

void RestoreFile(const std::string& path, const Options& options) {
    const RestoreResult result =
        RestoreFromBackup(path, options.backupExt, options.bWait ? ELockWait::Yes : ELockWait::No);
    std::printf(result.bChanged ? "%s: restored from %s\n" : "%s: already as %s holds it\n",
                TerminalText(path).c_str(), TerminalText(result.strBackup).c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (int status = ParseOptions(argc, argv, options); status != 0) {
        return status < 0 ? 0 : status;
    }
    RemoveTemporariesOnSignals();
    auto state = std::make_unique<AppState>();
    auto engine = std::make_unique<CTranslationEngine>();
    CTerminalDisplay display(stdout, !options.bQuiet && isatty(STDOUT_FILENO) == 1);

    // The translated files are put in place a few dozen at a time, with one sync for them all,
    // while the next ones are translated; a failure puts in place those done before it.
    constexpr std::size_t kGroupSize = 32;
    CCommitGroup group;
    CStaleTemporaries stale;
    try {
        if (options.bRestore) {
            for (const std::string& file : options.files) {
                RestoreFile(file, options);
            }
            return 0;
        }
        StartUp(options, *state, *engine);
        const bool bSkipBackups = options.files.size() > 1 && !options.bIncludeBackups;
        for (const std::string& file : options.files) {
            // A batch over a whole folder would otherwise translate the backups of an earlier run.
            if (bSkipBackups && IsBackupName(file.substr(file.rfind('/') + 1), options.backupExt)) {
                std::printf("%s: left out, named like a backup (--include-backups takes it)\n",
                            TerminalText(file).c_str());
                continue;
            }
            TranslateFile(file, options, *state, *engine, display, group, stale);
            if (group.Size() >= kGroupSize) {
                group.CommitBeside();
            }
        }
        group.Commit();
    } catch (const std::exception& failure) {
        display.EndProgress();
        std::fprintf(stderr, "vokra-batch: %s\n", TerminalText(FailureText(failure)).c_str());
        try {
            group.Commit();
        } catch (const std::exception& another) {
            std::fprintf(stderr, "vokra-batch: %s\n", TerminalText(FailureText(another)).c_str());
        }
        return 1;
    }
    return 0;
}
