// The program's own files ("user.txt", "message1.txt", "Mender.exe") lie in the start-up folder
// and are opened by their bare names, so the current directory moves there for the moment and
// comes back to the folder of the last file choice afterwards.
#pragma once

#include <string>

#include "AppState.h"

class CInProgramDir {
  public:
    explicit CInProgramDir(const AppState& state);
    ~CInProgramDir();
    CInProgramDir(const CInProgramDir&) = delete;
    CInProgramDir& operator=(const CInProgramDir&) = delete;

  private:
    std::string m_strPrevious;
};
