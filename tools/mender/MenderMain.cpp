// Mender: the companion program of a patch folder. Built for Linux as vokra-mender and for
// Windows as Mender.exe from the same sources.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "CompanionTexts.h"
#include "FileOps.h"
#include "Mender.h"
#include "MenderConsole.h"

namespace {

#ifdef _WIN32
// Started from Explorer (a double click on Mender.exe in a patch folder), Mender has a console
// window of its own, which would close with its last message unread.
bool OwnsItsConsole() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

void WaitForEnter() {
    mender::WriteText(stdout, texts::kMenderPressEnter);
    for (int c = std::getchar(); c != '\n' && c != EOF; c = std::getchar()) {
    }
}
#endif

}  // namespace

#ifdef _WIN32
// The arguments as Windows has them, in UTF-16, so that every name reaches Mender whatever the
// system's code page; held in UTF-8 as every name is.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int length =
            WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), length, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
#else
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
#endif
    RemoveTemporariesOnSignals();
    const int status = mender::RunMender(args, stdout, stderr);
#ifdef _WIN32
    if (OwnsItsConsole()) {
        WaitForEnter();
    }
#endif
    return status;
}
