// vokra-check ORIGINAL TRANSLATION: lists every text the translation changed, with where it lies
// in the program, and flags each change that may break the program.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "FileError.h"
#include "FileOps.h"
#include "ProgramCheck.h"
#include "TerminalText.h"

namespace {

constexpr char kUsage[] =
    "Usage: vokra-check ORIGINAL TRANSLATION\n"
    "Lists every text the translation of a Windows program changed, with where it lies\n"
    "(resource type, id, language and field; or the section), and flags each change that\n"
    "may break the program: a change outside the texts VOKRA translates, a string table\n"
    "that no longer reads as before, a placeholder (%s, %1) or an access key (&File) lost,\n"
    "a header checksum that does not match.\n"
    "\n"
    "Exit status: 0 no problem found, 1 problems found, 2 usage error or unreadable file.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 3) {
        std::fputs("vokra-check: give the original and its translation (see --help)\n", stderr);
        return 2;
    }
    try {
        const FileImage before = ReadWholeFile(std::string(argv[1]));
        const FileImage after = ReadWholeFile(std::string(argv[2]));
        const ProgramCheckResult result =
            CheckTranslation(before.pBytes.get(), before.nSize, after.pBytes.get(), after.nSize);
        std::fputs(FormatCheck(result).c_str(), stdout);
        return result.nProblems == 0 ? 0 : 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "vokra-check: %s\n", TerminalText(FailureText(failure)).c_str());
        return 2;
    }
}
