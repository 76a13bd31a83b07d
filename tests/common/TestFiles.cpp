#include "TestFiles.h"

#include <sched.h>
#include <sys/mount.h>
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

namespace {

bool InOwnMountNamespace() {
    static const bool entered = ::unshare(CLONE_NEWNS) == 0 &&
                                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return entered;
}

}  // namespace

CMount::CMount(const std::string& source, const std::string& target, const char* type,
               unsigned long flags, const char* options)
    : m_strTarget(target) {
    m_bMounted =
        InOwnMountNamespace() && ::mount(source.c_str(), target.c_str(), type, flags, options) == 0;
}

CMount::~CMount() {
    if (m_bMounted) {
        ::umount2(m_strTarget.c_str(), MNT_DETACH);
    }
}

bool CMount::RemountReadOnly() {
    return ::mount(nullptr, m_strTarget.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}
