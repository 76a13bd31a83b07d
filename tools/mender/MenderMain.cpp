// Mender: the companion program of a patch folder. Built for Linux as vokra-mender and for
// Windows as Mender.exe from the same sources.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "CompanionTexts.h"
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

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const int status = mender::RunMender(args, stdout, stderr);
#ifdef _WIN32
    if (OwnsItsConsole()) {
        WaitForEnter();
    }
#endif
    return status;
}
