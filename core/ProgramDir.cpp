#include "ProgramDir.h"

#include <unistd.h>

#include <climits>

CInProgramDir::CInProgramDir(const AppState& state) {
    char current[PATH_MAX];
    if (getcwd(current, sizeof current) != nullptr) {
        m_strPrevious = current;
    }
    // Without a start-up folder (message.txt was missing at start) names stay where they are.
    if (state.m_szProgramDir[0] != 0 && chdir(state.m_szProgramDir) != 0) {
        m_strPrevious.clear();
    }
}

CInProgramDir::~CInProgramDir() {
    if (!m_strPrevious.empty() && chdir(m_strPrevious.c_str()) != 0) {
        // The folder of the last file choice is gone; names then resolve in the start-up folder.
    }
}
