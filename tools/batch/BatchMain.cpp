// vokra-batch: translates program files in place exactly as the main window's Start does.
#include <getopt.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "AppState.h"
#include "BatchPass.h"
#include "DictionaryFiles.h"
#include "FileError.h"
#include "FileOps.h"
#include "Startup.h"
#include "TerminalDisplay.h"

namespace {

constexpr char kUsage[] =
    "Usage: vokra-batch [OPTION]... FILE...\n"
    "Translates the English texts of Windows program files into Chinese, in place.\n"
    "Each file is first backed up beside itself as its name without extension plus the\n"
    "backup extension.\n"
    "\n"
    "  -d, --dir DIR         start-up folder holding message.txt, message1.txt and user.txt\n"
    "                        (default: the shipped share/vokra beside vokra-batch)\n"
    "  -s, --single-phrase   translate single words instead of whole sentences\n"
    "  -S, --simplified      English to Simplified Chinese (message1.txt)\n"
    "  -u, --plug-in         look texts up in user.txt first\n"
    "      --plug-in-only    with --plug-in, do not fall back to the main dictionary\n"
    "      --case-sensitive  with --plug-in, keys must match in letter case\n"
    "  -b, --backup-ext EXT  backup extension (default: .bak)\n"
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
    std::string backupExt = ".bak";
    bool bQuiet = false;
    std::vector<std::string> files;
};

// The shipped data as installed with the program (share/vokra beside its bin/ folder).
std::string ShippedDataFolder() {
    return ProgramFolder() + "/" VOKRA_DATA_FROM_BIN;
}

std::string CurrentDirectory() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) != nullptr ? path : ".";
}

// Returns 0 to go on, or the exit status.
int ParseOptions(int argc, char** argv, Options& options) {
    enum { kPlugInOnly = 1000, kCaseSensitive };
    static const option kLong[] = {
        {"dir", required_argument, nullptr, 'd'},
        {"single-phrase", no_argument, nullptr, 's'},
        {"simplified", no_argument, nullptr, 'S'},
        {"plug-in", no_argument, nullptr, 'u'},
        {"plug-in-only", no_argument, nullptr, kPlugInOnly},
        {"case-sensitive", no_argument, nullptr, kCaseSensitive},
        {"backup-ext", required_argument, nullptr, 'b'},
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
            case 'b':
                options.backupExt = optarg;
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

// Start-up as the window does it, in the start-up folder.
void StartUp(const Options& options, AppState& state, CTranslationEngine& engine) {
    if (chdir(options.dir.c_str()) != 0) {
        ThrowFileError(errno, options.dir);
    }
    ApplyStartupDefaults(state);
    LoadStartupDictionary(state, engine);
    if (options.bSimplified) {
        LoadMainDictionary(state, engine, kSimplifiedDictFile);
        state.m_bToTraditional = 0;
        state.m_bToSimplified = 1;
    }
    state.m_bWholeSentence = options.bSinglePhrase ? 0 : 1;
    state.m_bIgnoreCase = options.bCaseSensitive ? 0 : 1;
    if (options.bPlugIn) {
        LoadPlugInDictionary(state, engine);
        state.m_bPlugInDict = 1;
        state.m_bAlsoDefaultDict = options.bPlugInOnly ? 0 : 1;
    }
    CopyText(state.m_szBackupExt, options.backupExt);
}

// One file, as a Load of it followed by Start; its backup goes beside it.
void TranslateFile(const std::string& path, AppState& state, CTranslationEngine& engine,
                   CTerminalDisplay& display) {
    CopyText(state.m_szFileDir, path.substr(0, path.rfind('/') + 1));
    state.m_astrFiles[0] = path;
    state.m_nFileCount = 1;
    FileDriverOptions options;
    options.derived = EDerivedFiles::BesideTheFile;
    RunBatch(state, engine, display, options);
    display.EndProgress();
    std::printf("%s: found %u, translated %d, ratio %u%%\n", path.c_str(), state.m_nFoundCount,
                state.m_nTranslatedCount, display.Ratio());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (int status = ParseOptions(argc, argv, options); status != 0) {
        return status < 0 ? 0 : status;
    }
    const std::string launchDir = CurrentDirectory();
    auto state = std::make_unique<AppState>();
    auto engine = std::make_unique<CTranslationEngine>();
    CTerminalDisplay display(stdout, !options.bQuiet && isatty(STDOUT_FILENO) == 1);

    try {
        StartUp(options, *state, *engine);
        for (const std::string& file : options.files) {
            TranslateFile(file[0] == '/' ? file : launchDir + "/" + file, *state, *engine, display);
        }
    } catch (const std::exception& failure) {
        display.EndProgress();
        std::fprintf(stderr, "vokra-batch: %s\n", FailureText(failure).c_str());
        return 1;
    }
    return 0;
}
