// Scratch folders and whole-file helpers for tests that work on real files.
#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class CTempDir {
  public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    // Path of `name` inside the folder.
    std::string operator/(const std::string& name) const { return m_strPath + "/" + name; }

  private:
    std::string m_strPath;
};

// Makes the process's current directory `path` for the scope and restores the earlier one.
class CScopedCurrentDir {
  public:
    explicit CScopedCurrentDir(const std::string& path);
    ~CScopedCurrentDir();
    CScopedCurrentDir(const CScopedCurrentDir&) = delete;
    CScopedCurrentDir& operator=(const CScopedCurrentDir&) = delete;

  private:
    std::string m_strPrevious;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

// What a command line printed and how it ended.
struct CommandOutcome {
    int status = -1;  // the exit status, -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs `commandLine` through the shell in `cwd` with no input, catching its output in files of
// `scratch`.
CommandOutcome RunCommand(const std::string& cwd, const std::string& commandLine,
                          const CTempDir& scratch);

// A file system mounted for a test (a small tmpfs, a bind mount), in a mount namespace of the test
// process's own (which its child processes share), so that a test that dies midway leaves nothing
// mounted on the machine. Mounted() is false where mounting is not permitted.
class CMount {
  public:
    CMount(const std::string& source, const std::string& target, const char* type,
           unsigned long flags, const char* options);
    ~CMount();
    CMount(const CMount&) = delete;
    CMount& operator=(const CMount&) = delete;

    bool Mounted() const { return m_bMounted; }
    bool RemountReadOnly();

  private:
    std::string m_strTarget;
    bool m_bMounted = false;
};
