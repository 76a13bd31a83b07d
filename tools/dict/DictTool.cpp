#include "DictTool.h"

#include <getopt.h>

#include <cstdio>
#include <string>

#include "DictSource.h"
#include "FileError.h"
#include "FileOps.h"
#include "TerminalText.h"

namespace {

using dictsource::DictConversion;
using dictsource::DictProblem;
using dictsource::EDictionaryKind;

constexpr char kUsage[] =
    "Usage: vokra-dict [OPTION]... FILE\n"
    "Converts a dictionary source (UTF-8, one KEY=TRANSLATION entry or // comment per line)\n"
    "into a dictionary file as VOKRA reads it (BIG5 with VOKRA's extension codes, lines\n"
    "[KEY=TRANSLATION ended by CR LF), checking every line. Each problem is reported as\n"
    "FILE:LINE: message, and then nothing is written.\n"
    "\n"
    "  -p, --plug-in      a plug-in dictionary (user.txt): keys are whole texts as a program\n"
    "                     holds them and keep their letter case (default: a main dictionary,\n"
    "                     message.txt or message1.txt, of upper-case single words)\n"
    "  -d, --decode       the other way: a dictionary file to its UTF-8 source, with the same\n"
    "                     checks; written even when problems are found\n"
    "  -c, --check        check only, write nothing\n"
    "  -o, --output FILE  write to FILE (default: standard output)\n"
    "  -h, --help         show this help\n"
    "\n"
    "Exit status: 0 no problems, 1 problems found, 2 a file could not be read or written.\n";

struct Options {
    EDictionaryKind kind = EDictionaryKind::Main;
    bool bDecode = false;
    bool bCheckOnly = false;
    std::string input;
    std::string output;
};

std::string ReadInput(const std::string& path) {
    const FileImage image = ReadWholeFile(path);
    return std::string(reinterpret_cast<const char*>(image.pBytes.get()),
                       static_cast<std::size_t>(image.nSize));
}

// To standard output, or to the file `path`, which is replaced as a whole: a failure leaves an
// earlier file of that name as it was.
void WriteOutput(const std::string& path, const std::string& bytes) {
    if (path.empty()) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
            std::fflush(stdout) != 0) {
            throw CFileError(EFileErrorCause::Generic, "-");
        }
        return;
    }
    ReplaceWholeFile(path, bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

// Returns -1 to go on, or the exit status.
int ParseOptions(int argc, char** argv, Options& options) {
    static const option kLong[] = {
        {"plug-in", no_argument, nullptr, 'p'}, {"decode", no_argument, nullptr, 'd'},
        {"check", no_argument, nullptr, 'c'},   {"output", required_argument, nullptr, 'o'},
        {"help", no_argument, nullptr, 'h'},    {nullptr, 0, nullptr, 0},
    };
    int c = 0;
    while ((c = getopt_long(argc, argv, "pdco:h", kLong, nullptr)) != -1) {
        switch (c) {
            case 'p':
                options.kind = EDictionaryKind::PlugIn;
                break;
            case 'd':
                options.bDecode = true;
                break;
            case 'c':
                options.bCheckOnly = true;
                break;
            case 'o':
                options.output = optarg;
                break;
            case 'h':
                std::fputs(kUsage, stdout);
                return 0;
            default:
                std::fputs(kUsage, stderr);
                return 2;
        }
    }
    if (optind + 1 != argc) {
        std::fputs("vokra-dict: exactly one FILE is needed\n", stderr);
        std::fputs(kUsage, stderr);
        return 2;
    }
    options.input = argv[optind];
    return -1;
}

}  // namespace

int RunDictTool(int argc, char** argv) {
    optind = 0;  // getopt from the start, however often it has run
    Options options;
    if (const int status = ParseOptions(argc, argv, options); status >= 0) {
        return status;
    }
    try {
        const std::string input = ReadInput(options.input);
        const DictConversion result = options.bDecode
                                          ? dictsource::DecodeDictionaryFile(input, options.kind)
                                          : dictsource::EncodeDictionarySource(input, options.kind);
        for (const DictProblem& problem : result.problems) {
            std::fprintf(stderr, "%s:%d: %s\n", TerminalText(options.input).c_str(), problem.nLine,
                         TerminalText(problem.strText).c_str());
        }
        const bool clean = result.problems.empty();
        if (!options.bCheckOnly && (clean || options.bDecode)) {
            WriteOutput(options.output, result.strOutput);
        }
        return clean ? 0 : 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "vokra-dict: %s\n", TerminalText(FailureText(failure)).c_str());
        return 2;
    }
}
