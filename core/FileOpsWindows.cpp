#include "MenderConsole.h"

#include <cerrno>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#endif

#include "FileError.h"

namespace mender {
namespace {

#ifdef _WIN32
EFileErrorCause CauseFromSystemError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return EFileErrorCause::FileNotFound;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return EFileErrorCause::BadPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EFileErrorCause::TooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return EFileErrorCause::AccessDenied;
        case ERROR_SHARING_VIOLATION:
            return EFileErrorCause::SharingViolation;
        case ERROR_LOCK_VIOLATION:
            return EFileErrorCause::LockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return EFileErrorCause::DiskFull;
        default:
            return EFileErrorCause::Generic;
    }
}
#endif

// Raises the file error for the failure the C runtime has just reported.
[[noreturn]] void ThrowLastError(const std::string& path) {
    const int error = errno;
#ifdef _WIN32
    // The C runtime reports a file that another program holds open as refused access; the
    // system's own code tells the two apart.
    if (error == EACCES &&
        (_doserrno == ERROR_SHARING_VIOLATION || _doserrno == ERROR_LOCK_VIOLATION)) {
        throw CFileError(CauseFromSystemError(static_cast<DWORD>(_doserrno)), path);
    }
#endif
    ThrowFileError(error, path);
}

// c_str() would cut a name at an embedded NUL and reach a different file.
void RequireUsableName(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        throw CFileError(EFileErrorCause::BadPath, path);
    }
}

// Owns an open stream. The destructor closes it quietly, which only happens on the way out of a
// failure already being reported; the normal path goes through Close(), whose failure can be
// the first report of a failed write.
class CStream {
  public:
    explicit CStream(std::FILE* stream) : m_pStream(stream) {}
    ~CStream() {
        if (m_pStream != nullptr) {
            std::fclose(m_pStream);
        }
    }
    CStream(const CStream&) = delete;
    CStream& operator=(const CStream&) = delete;

    std::FILE* Get() const { return m_pStream; }

    void Close(const std::string& path) {
        std::FILE* stream = m_pStream;
        m_pStream = nullptr;
        if (std::fclose(stream) != 0) {
            ThrowLastError(path);
        }
    }

  private:
    std::FILE* m_pStream;
};

CStream Open(const std::string& path, const char* mode) {
    RequireUsableName(path);
    errno = 0;
    std::FILE* stream = std::fopen(path.c_str(), mode);
    if (stream == nullptr) {
        ThrowLastError(path);
    }
    return CStream(stream);
}

void WriteAll(const CStream& stream, std::string_view bytes, const std::string& path) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream.Get()) != bytes.size()) {
        ThrowLastError(path);
    }
}

unsigned long ProcessId() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

// Creates `name`, which must not exist yet, for writing; -1 with errno set when that fails.
int CreateNew(const std::string& name) {
#ifdef _WIN32
    return _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

std::FILE* StreamOf(int descriptor) {
#ifdef _WIN32
    return _fdopen(descriptor, "wb");
#else
    return ::fdopen(descriptor, "wb");
#endif
}

void CloseDescriptor(int descriptor) {
#ifdef _WIN32
    _close(descriptor);
#else
    ::close(descriptor);
#endif
}

// Gives `temporary` the name `path`, replacing a file of that name.
void RenameOver(const std::string& temporary, const std::string& path) {
#ifdef _WIN32
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        throw CFileError(CauseFromSystemError(GetLastError()), path);
    }
#else
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        ThrowLastError(path);
    }
#endif
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    CStream file = Open(path, "rb");
    std::string bytes;
    static constexpr std::size_t kChunk = std::size_t{1} << 16;
    for (;;) {
        const std::size_t at = bytes.size();
        bytes.resize(at + kChunk);
        const std::size_t got = std::fread(bytes.data() + at, 1, kChunk, file.Get());
        bytes.resize(at + got);
        if (got < kChunk) {
            if (std::ferror(file.Get()) != 0) {
                ThrowLastError(path);
            }
            break;
        }
    }
    file.Close(path);
    return bytes;
}

void ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    RequireUsableName(path);
    std::string temporary;
    int descriptor = -1;
    for (unsigned attempt = 0; descriptor < 0; ++attempt) {
        temporary = path + ".mender-" + std::to_string(ProcessId()) + "-" + std::to_string(attempt);
        descriptor = CreateNew(temporary);
        if (descriptor < 0 && (errno != EEXIST || attempt == 100)) {
            ThrowLastError(path);
        }
    }
    std::FILE* stream = StreamOf(descriptor);
    if (stream == nullptr) {
        const int error = errno;
        CloseDescriptor(descriptor);
        std::remove(temporary.c_str());
        ThrowFileError(error, path);
    }
    try {
        CStream file(stream);
        WriteAll(file, bytes, path);
        file.Close(path);
        RenameOver(temporary, path);
    } catch (...) {
        std::remove(temporary.c_str());
        throw;
    }
}

void WriteOver(const std::string& path, std::string_view bytes) {
    // "r+b" opens an existing file for writing without creating or shortening it.
    CStream file = Open(path, "r+b");
    WriteAll(file, bytes, path);
    file.Close(path);
}

bool FileExists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return false;
    }
#ifdef _WIN32
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
#endif
}

bool SameFile(const std::string& a, const std::string& b) {
    if (!FileExists(a) || !FileExists(b)) {
        return false;
    }
#ifdef _WIN32
    // Names differ in letter case, short forms and links; the volume and file index do not.
    auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE handle =
            CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        const bool ok = GetFileInformationByHandle(handle, &info) != 0;
        CloseHandle(handle);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION infoA{};
    BY_HANDLE_FILE_INFORMATION infoB{};
    return identity(a, infoA) && identity(b, infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
#else
    struct stat infoA {};
    struct stat infoB {};
    return ::stat(a.c_str(), &infoA) == 0 && ::stat(b.c_str(), &infoB) == 0 &&
           infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
#endif
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return names;
        }
        throw CFileError(CauseFromSystemError(error), folder);
    }
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.emplace_back(entry.cFileName);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
#else
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        ThrowLastError(folder);
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat info {};
        if (::stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            names.push_back(name);
        }
    }
    ::closedir(dir);
#endif
    return names;
}

std::string ProgramFolder() {
#ifdef _WIN32
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string exe(path, n);
#else
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string exe(path, n > 0 ? static_cast<std::size_t>(n) : 0);
#endif
    std::size_t end = exe.size();
    while (end > 0 && !IsFolderSeparator(exe[end - 1])) {
        --end;
    }
    if (end == 0) {
        return ".";
    }
    // Keep the root ("/", "C:\") whole; drop the separator after any other folder.
    return end == 1 || (end >= 2 && exe[end - 2] == ':') ? exe.substr(0, end)
                                                         : exe.substr(0, end - 1);
}

std::string DisplayName(const std::string& name) {
#ifdef _WIN32
    const int wide =
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), text.data(), wide);
    const int utf8 =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string shown(static_cast<std::size_t>(utf8), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, shown.data(), utf8, nullptr, nullptr);
    return shown;
#else
    return name;
#endif
}

void WriteText(std::FILE* stream, const std::string& text) {
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        const int wide =
            MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring unicode(static_cast<std::size_t>(wide), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), unicode.data(),
                            wide);
        std::fflush(stream);
        DWORD written = 0;
        WriteConsoleW(handle, unicode.data(), static_cast<DWORD>(wide), &written, nullptr);
        return;
    }
#endif
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

}  // namespace mender
