// The file layer on Windows, for Mender.exe: the system's own file calls, names in the system's
// code page. A folder is the prefix its files' names are given with.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "FileError.h"
#include "FileOps.h"

namespace {

FileFaultHook g_pfnFaultHook = nullptr;

// Largest count handed to one ReadFile() or WriteFile(); the loops carry on where a call stopped.
constexpr DWORD kMaxTransfer = DWORD{1} << 30;

EFileErrorCause CauseFromSystemError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return EFileErrorCause::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
        case ERROR_FILENAME_EXCED_RANGE:
            return EFileErrorCause::BadPath;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EFileErrorCause::TooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return EFileErrorCause::AccessDenied;
        case ERROR_INVALID_HANDLE:
            return EFileErrorCause::InvalidFile;
        case ERROR_NEGATIVE_SEEK:
        case ERROR_SEEK:
            return EFileErrorCause::BadSeek;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
            return EFileErrorCause::HardwareIo;
        case ERROR_SHARING_VIOLATION:
            return EFileErrorCause::SharingViolation;
        case ERROR_LOCK_VIOLATION:
            return EFileErrorCause::LockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return EFileErrorCause::DiskFull;
        case ERROR_HANDLE_EOF:
            return EFileErrorCause::EndOfFile;
        default:
            return EFileErrorCause::Generic;
    }
}

[[noreturn]] void ThrowLastError(const std::string& shown) {
    throw CFileError(CauseFromSystemError(GetLastError()), shown);
}

void InjectFault(const char* operation, const std::string& shown) {
    if (g_pfnFaultHook != nullptr) {
        if (const int error = g_pfnFaultHook(operation, shown)) {
            ThrowFileError(error, shown);
        }
    }
}

// The system would cut a name at an embedded NUL and reach a different file.
void RequireUsableName(const std::string& name, const std::string& shown) {
    if (name.find('\0') != std::string::npos) {
        throw CFileError(EFileErrorCause::BadPath, shown);
    }
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// Owns an open handle. The destructor closes it quietly, on the way out of a failure already
// being reported; the normal path goes through Close().
class CHandle {
  public:
    explicit CHandle(HANDLE handle) : m_handle(handle) {}
    ~CHandle() {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    HANDLE Get() const { return m_handle; }

    void Close(const std::string& shown) {
        const HANDLE handle = std::exchange(m_handle, INVALID_HANDLE_VALUE);
        if (g_pfnFaultHook != nullptr) {
            if (const int error = g_pfnFaultHook("close", shown)) {
                CloseHandle(handle);
                ThrowFileError(error, shown);
            }
        }
        if (!CloseHandle(handle)) {
            ThrowLastError(shown);
        }
    }

  private:
    HANDLE m_handle;
};

std::string FullName(const FileRef& file) {
    return file.folder.Prefix() + file.strName;
}

CHandle OpenHandle(const FileRef& file, DWORD access, DWORD share, DWORD disposition) {
    RequireUsableName(file.strName, file.strShown);
    InjectFault("open", file.strShown);
    const HANDLE handle = CreateFileA(FullName(file).c_str(), access, share, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ThrowLastError(file.strShown);
    }
    return CHandle(handle);
}

void SeekTo(const CHandle& file, std::int64_t offset, const std::string& shown) {
    if (offset < 0) {
        throw CFileError(EFileErrorCause::BadSeek, shown);
    }
    InjectFault("seek", shown);
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    if (!SetFilePointerEx(file.Get(), distance, nullptr, FILE_BEGIN)) {
        ThrowLastError(shown);
    }
}

std::size_t ReadUpTo(const CHandle& file, void* buffer, std::size_t length,
                     const std::string& shown) {
    InjectFault("read", shown);
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(length - done, kMaxTransfer));
        if (!ReadFile(file.Get(), bytes + done, wanted, &got, nullptr)) {
            ThrowLastError(shown);
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

void WriteAll(HANDLE file, const void* data, std::size_t length, const std::string& shown) {
    InjectFault("write", shown);
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < length) {
        DWORD put = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(length - done, kMaxTransfer));
        if (!WriteFile(file, bytes + done, wanted, &put, nullptr)) {
            ThrowLastError(shown);
        }
        if (put == 0) {
            throw CFileError(EFileErrorCause::DiskFull, shown);
        }
        done += put;
    }
}

std::size_t ByteCount(std::int64_t size) {
    if (size < 0 || static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max()) {
        throw std::invalid_argument("file size out of range");
    }
    return static_cast<std::size_t>(size);
}

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    const auto index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    const auto size = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const auto written = (static_cast<std::int64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                         info.ftLastWriteTime.dwLowDateTime;
    return FileIdentity{info.dwVolumeSerialNumber, index, size, written * 100};
}

bool IdentityOfHandle(HANDLE handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        return false;
    }
    identity = IdentityOf(info);
    return true;
}

// Opens any file or folder just to learn which it is.
HANDLE OpenForIdentity(const std::string& name) {
    return CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

// --- Folders --------------------------------------------------------------------------------

CFolder CFolder::Current() {
    return CFolder();
}

CFolder CFolder::Open(const std::string& path) {
    return Open(path, path);
}

CFolder CFolder::Open(const std::string& path, const std::string& shownOnFailure) {
    RequireUsableName(path, shownOnFailure);
    InjectFault("open", shownOnFailure);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        ThrowLastError(shownOnFailure);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw CFileError(EFileErrorCause::BadPath, shownOnFailure);
    }
    CFolder folder;
    folder.m_strPrefix = path;
    if (!path.empty() && !IsSeparator(path.back())) {
        folder.m_strPrefix += '\\';
    }
    return folder;
}

CFolder::CFolder(CFolder&& other) noexcept : m_strPrefix(std::move(other.m_strPrefix)) {}

CFolder& CFolder::operator=(CFolder&& other) noexcept {
    m_strPrefix = std::move(other.m_strPrefix);
    return *this;
}

CFolder::~CFolder() = default;

namespace {

std::size_t NameStart(const std::string& path) {
    std::size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1])) {
        --start;
    }
    return start;
}

CFolder FolderOf(const std::string& path) {
    const std::size_t start = NameStart(path);
    return start == 0 ? CFolder::Current() : CFolder::Open(std::string(path, 0, start), path);
}

}  // namespace

FilePlace::FilePlace(const std::string& path)
    : folder(FolderOf(path)),
      strName(NameStart(path) == path.size() && !path.empty() ? std::string(".")
                                                              : std::string(path, NameStart(path))),
      strShown(path) {}

// --- Files in a folder ----------------------------------------------------------------------

bool FileExists(const FileRef& file) {
    return file.strName.find('\0') == std::string::npos &&
           GetFileAttributesA(FullName(file).c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileImage ReadWholeFile(const FileRef& file) {
    CHandle opened =
        OpenHandle(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    InjectFault("length", file.strShown);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(opened.Get(), &size)) {
        ThrowLastError(file.strShown);
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > std::numeric_limits<std::size_t>::max()) {
        throw std::bad_alloc();
    }
    const auto length = static_cast<std::size_t>(size.QuadPart);
    FileImage image;
    image.pBytes = AllocateImage(length);
    image.nSize = size.QuadPart;
    if (ReadUpTo(opened, image.pBytes.get(), length, file.strShown) < length) {
        throw CFileError(EFileErrorCause::EndOfFile, file.strShown);
    }
    opened.Close(file.strShown);
    return image;
}

void ReplaceWholeFile(const FileRef& file, const void* data, std::int64_t size) {
    const std::size_t length = ByteCount(size);
    RequireUsableName(file.strName, file.strShown);
    const std::string target = FullName(file);
    std::string temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    InjectFault("create", file.strShown);
    for (unsigned attempt = 0; handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = target + ".mender-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(attempt);
        handle = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE &&
            (GetLastError() != ERROR_FILE_EXISTS || attempt == 100)) {
            ThrowLastError(file.strShown);
        }
    }
    try {
        CHandle opened(handle);
        WriteAll(opened.Get(), data, length, file.strShown);
        opened.Close(file.strShown);
        InjectFault("rename", file.strShown);
        if (!MoveFileExA(temporary.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            ThrowLastError(file.strShown);
        }
    } catch (...) {
        DeleteFileA(temporary.c_str());
        throw;
    }
}

FileIdentity FileIdentityOf(const FileRef& file) {
    RequireUsableName(file.strName, file.strShown);
    InjectFault("length", file.strShown);
    const HANDLE handle = OpenForIdentity(FullName(file));
    if (handle == INVALID_HANDLE_VALUE) {
        ThrowLastError(file.strShown);
    }
    const CHandle opened(handle);
    FileIdentity identity;
    if (!IdentityOfHandle(opened.Get(), identity)) {
        ThrowLastError(file.strShown);
    }
    return identity;
}

void WriteInPlace(const FileRef& file, const void* data, std::int64_t size,
                  const FileIdentity* pExpected) {
    const std::size_t length = ByteCount(size);
    CHandle opened = OpenHandle(file, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    // Another program replaced or changed the file since it was read: it is left as it is.
    if (pExpected != nullptr) {
        FileIdentity identity;
        if (!IdentityOfHandle(opened.Get(), identity)) {
            ThrowLastError(file.strShown);
        }
        if (!(identity == *pExpected)) {
            throw CFileError(EFileErrorCause::SharingViolation, file.strShown);
        }
    }
    WriteAll(opened.Get(), data, length, file.strShown);
    opened.Close(file.strShown);
}

bool SameFile(const CFolder& folder, const std::string& a, const std::string& b) {
    // Names differ in letter case, short forms and links; the volume and file index do not.
    auto identity = [&folder](const std::string& name, FileIdentity& out) {
        if (name.find('\0') != std::string::npos) {
            return false;
        }
        const HANDLE handle = OpenForIdentity(folder.Prefix() + name);
        if (handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        const bool ok = IdentityOfHandle(handle, out);
        CloseHandle(handle);
        return ok;
    };
    FileIdentity identityA;
    FileIdentity identityB;
    return identity(a, identityA) && identity(b, identityB) &&
           identityA.nDevice == identityB.nDevice && identityA.nInode == identityB.nInode;
}

std::vector<std::string> ListFiles(const CFolder& folder, const std::string& shown) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    const HANDLE search = FindFirstFileA((folder.Prefix() + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) {
            return names;
        }
        ThrowLastError(shown);
    }
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.emplace_back(entry.cFileName);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

// --- Files by path --------------------------------------------------------------------------

std::size_t ReadBlock(const std::string& path, void* buffer, std::size_t length,
                      std::int64_t offset) {
    const FilePlace place(path);
    CHandle file =
        OpenHandle(place.Ref(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    SeekTo(file, offset, path);
    const std::size_t got = ReadUpTo(file, buffer, length, path);
    file.Close(path);
    return got;
}

void WriteBlock(const std::string& path, const void* buffer, std::size_t length,
                std::int64_t offset) {
    const FilePlace place(path);
    CHandle file = OpenHandle(place.Ref(), GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    SeekTo(file, offset, path);
    WriteAll(file.Get(), buffer, length, path);
    file.Close(path);
}

void MakeFolder(const std::string& path) {
    RequireUsableName(path, path);
    InjectFault("mkdir", path);
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        ThrowLastError(path);
    }
}

struct CListingFile::Handle {
    CHandle file;
};

CListingFile::CListingFile(const std::string& path)
    : m_pHandle(new Handle{
          OpenHandle(FilePlace(path).Ref(), GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS)}),
      m_strPath(path) {}

CListingFile::~CListingFile() = default;

void CListingFile::Write(const void* data, std::size_t length) {
    WriteAll(m_pHandle->file.Get(), data, length, m_strPath);
}

void CListingFile::Close() {
    m_pHandle->file.Close(m_strPath);
}

std::string ProgramFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string exe(path, n);
    std::size_t end = NameStart(exe);
    if (end == 0) {
        return ".";
    }
    // Keep the root ("C:\") whole; drop the separator after any other folder.
    return end >= 2 && exe[end - 2] == ':' ? exe.substr(0, end) : exe.substr(0, end - 1);
}

void SetFileFaultHook(FileFaultHook hook) {
    g_pfnFaultHook = hook;
}
