#include "TestFiles.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

CTempDir::CTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vokra-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_strPath = pattern;
}

CTempDir::~CTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
}

CScopedCurrentDir::CScopedCurrentDir(const std::string& path)
    : m_strPrevious(std::filesystem::current_path().string()) {
    std::filesystem::current_path(path);
}

CScopedCurrentDir::~CScopedCurrentDir() {
    std::error_code ignored;
    std::filesystem::current_path(m_strPrevious, ignored);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CommandOutcome RunCommand(const std::string& cwd, const std::string& commandLine,
                          const CTempDir& scratch) {
    const std::string out = scratch / "stdout";
    const std::string err = scratch / "stderr";
    const std::string command =
        "cd '" + cwd + "' && " + commandLine + " >'" + out + "' 2>'" + err + "' </dev/null";
    const int raw = std::system(command.c_str());
    CommandOutcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    outcome.out = ReadFileBytes(out);
    outcome.err = ReadFileBytes(err);
    return outcome;
}
