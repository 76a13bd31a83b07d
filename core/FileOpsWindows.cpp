// The file layer on Windows, for Mender.exe: the system's wide-character calls throughout, so
// that any name is found whatever the system's code page. Names are held in UTF-8 and turned into
// UTF-16 for each call. A folder is the prefix its files' names are given with.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
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
            return EFileErrorCause::AccessDenied;
        case ERROR_WRITE_PROTECT:
            return EFileErrorCause::ReadOnlyDisk;
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

std::wstring Wide(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// CON, NUL, COM1 and the like name devices in every folder and with any extension.
bool IsDeviceName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    std::transform(base.begin(), base.end(), base.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (base == device) {
            return true;
        }
    }
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
}

// A name the system would take for something else than the file meant: cut at a NUL, a device,
// or a path into the system's device space.
void RequireUsableName(const std::string& name, const std::string& shown) {
    if (name.find('\0') != std::string::npos) {
        throw CFileError(EFileErrorCause::BadPath, shown);
    }
    if (IsDeviceName(name) || shown.starts_with("\\\\.\\") || shown.starts_with("\\\\?\\GLOBAL")) {
        throw CFileError(EFileErrorCause::NotAFile, shown);
    }
}

// Owns an open handle. The destructor closes it quietly, on the way out of a failure already
// being reported; the normal path goes through Close().
class CHandle {
  public:
    explicit CHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~CHandle() {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
    }
    CHandle(CHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
    CHandle& operator=(CHandle&& other) noexcept {
        if (this != &other) {
            if (m_handle != INVALID_HANDLE_VALUE) {
                CloseHandle(m_handle);
            }
            m_handle = std::exchange(other.m_handle, INVALID_HANDLE_VALUE);
        }
        return *this;
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

std::wstring FullName(const FileRef& file) {
    return Wide(file.folder.Prefix() + file.strName);
}

// What the name is, without following a reparse point (a link).
DWORD AttributesOf(const FileRef& file) {
    return GetFileAttributesW(FullName(file).c_str());
}

// Opens a regular file; a folder, a device and, with `bNoFollow`, a link are refused.
CHandle OpenRegular(const FileRef& file, DWORD access, DWORD share, DWORD disposition,
                    bool bNoFollow) {
    RequireUsableName(file.strName, file.strShown);
    InjectFault("open", file.strShown);
    const DWORD attributes = AttributesOf(file);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            throw CFileError(EFileErrorCause::IsFolder, file.strShown);
        }
        if (bNoFollow && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            throw CFileError(EFileErrorCause::IsLink, file.strShown);
        }
    }
    const HANDLE handle = CreateFileW(
        FullName(file).c_str(), access, share, nullptr, disposition,
        FILE_ATTRIBUTE_NORMAL | (bNoFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ThrowLastError(file.strShown);
    }
    CHandle opened(handle);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        throw CFileError(EFileErrorCause::NotAFile, file.strShown);
    }
    return opened;
}

CHandle OpenToRead(const FileRef& file, bool bNoFollow = false) {
    return OpenRegular(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       OPEN_EXISTING, bNoFollow);
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

std::size_t ReadUpTo(HANDLE file, void* buffer, std::size_t length, const std::string& shown) {
    InjectFault("read", shown);
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(length - done, kMaxTransfer));
        if (!ReadFile(file, bytes + done, wanted, &got, nullptr)) {
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

BY_HANDLE_FILE_INFORMATION InformationOf(HANDLE handle, const std::string& shown) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        ThrowLastError(shown);
    }
    return info;
}

// Opens any file or folder just to learn which it is; INVALID_HANDLE_VALUE when it cannot.
HANDLE OpenForIdentity(const std::wstring& name) {
    return CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// --- Temporaries ---------------------------------------------------------------------------

constexpr char kTemporaryMark[] = ".vokra-";

// The temporaries being written, for the console's Ctrl+C and close: their full names.
struct TemporarySlot {
    std::atomic<bool> bUsed{false};
    std::wstring strName;
};
TemporarySlot g_aTemporaries[8];

BOOL WINAPI RemoveTemporariesOnControl(DWORD) {
    for (TemporarySlot& slot : g_aTemporaries) {
        if (slot.bUsed.load()) {
            DeleteFileW(slot.strName.c_str());
        }
    }
    return FALSE;  // and the process ends as it would have
}

std::string TemporaryName(const std::string& name) {
    static std::atomic<unsigned> s_nCounter{0};
    unsigned seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount() ^ (s_nCounter++ * 40503u);
    std::string temporary = name + kTemporaryMark;
    for (int i = 0; i < 6; ++i) {
        temporary += "abcdefghijklmnopqrstuvwxyz0123456789"[seed % 36];
        seed /= 36;
    }
    return temporary;
}

class CTemporary {
  public:
    explicit CTemporary(const FileRef& file) : m_strShown(file.strShown) {
        InjectFault("create", m_strShown);
        for (int attempt = 0;; ++attempt) {
            m_strName = Wide(file.folder.Prefix() + TemporaryName(file.strName));
            const HANDLE handle = CreateFileW(m_strName.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                m_file = CHandle(handle);
                break;
            }
            if (GetLastError() != ERROR_FILE_EXISTS || attempt == 100) {
                ThrowLastError(m_strShown);
            }
        }
        for (TemporarySlot& slot : g_aTemporaries) {
            bool expected = false;
            if (!slot.bUsed.load() && slot.strName.empty()) {
                slot.strName = m_strName;
                if (slot.bUsed.compare_exchange_strong(expected, true)) {
                    m_pSlot = &slot;
                    break;
                }
            }
        }
    }
    ~CTemporary() {
        m_file = CHandle();
        if (!m_strName.empty()) {
            DeleteFileW(m_strName.c_str());
        }
        Unregister();
    }
    CTemporary(const CTemporary&) = delete;
    CTemporary& operator=(const CTemporary&) = delete;

    HANDLE Get() const { return m_file.Get(); }

    void Finish() {
        InjectFault("sync", m_strShown);
        if (!FlushFileBuffers(m_file.Get())) {
            ThrowLastError(m_strShown);
        }
        m_file.Close(m_strShown);
    }

    // Gives it the name `target`, replacing a file of that name and keeping that file's
    // attributes and security.
    void RenameTo(const std::wstring& target) {
        InjectFault("rename", m_strShown);
        const bool bReplaced = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
                               ReplaceFileW(target.c_str(), m_strName.c_str(), nullptr,
                                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        if (!bReplaced && !MoveFileExW(m_strName.c_str(), target.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            ThrowLastError(m_strShown);
        }
        m_strName.clear();
        Unregister();
    }

    // Gives it the name `target` only when the name is free; false when it is taken.
    bool ClaimName(const std::wstring& target) {
        InjectFault("link", m_strShown);
        if (!MoveFileExW(m_strName.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = GetLastError();
            if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
                return false;
            }
            ThrowLastError(m_strShown);
        }
        m_strName.clear();
        Unregister();
        return true;
    }

  private:
    void Unregister() {
        if (m_pSlot != nullptr) {
            m_pSlot->bUsed.store(false);
            m_pSlot->strName.clear();
            m_pSlot = nullptr;
        }
    }

    std::string m_strShown;
    std::wstring m_strName;
    CHandle m_file;
    TemporarySlot* m_pSlot = nullptr;
};

// What a name holds for a file to be written there: nothing or a regular file; a link, a folder
// or a device is refused.
bool ExistingFile(const FileRef& file) {
    RequireUsableName(file.strName, file.strShown);
    const DWORD attributes = AttributesOf(file);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return false;
        }
        throw CFileError(CauseFromSystemError(error), file.strShown);
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        throw CFileError(EFileErrorCause::IsLink, file.strShown);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw CFileError(EFileErrorCause::IsFolder, file.strShown);
    }
    return true;
}

void CopyContents(HANDLE from, HANDLE to, std::int64_t size, const std::string& shown) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(from, start, nullptr, FILE_BEGIN)) {
        ThrowLastError(shown);
    }
    std::string buffer(std::size_t{1} << 20, '\0');
    for (std::int64_t done = 0; done < size;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::int64_t>(size - done, buffer.size()));
        if (ReadUpTo(from, buffer.data(), want, shown) != want) {
            throw CFileError(EFileErrorCause::EndOfFile, shown);
        }
        WriteAll(to, buffer.data(), want, shown);
        done += static_cast<std::int64_t>(want);
    }
}

}  // namespace

// --- Folders --------------------------------------------------------------------------------

CFolder CFolder::Current() {
    // The current folder as it is now, as the prefix of every name in it.
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring path(length, L'\0');
    path.resize(GetCurrentDirectoryW(length, path.data()));
    CFolder folder;
    folder.m_strPrefix = Utf8(path);
    if (!folder.m_strPrefix.empty() && !IsSeparator(folder.m_strPrefix.back())) {
        folder.m_strPrefix += '\\';
    }
    return folder;
}

CFolder CFolder::Open(const std::string& path) {
    return Open(path, path);
}

CFolder CFolder::Open(const std::string& path, const std::string& shownOnFailure) {
    if (path.find('\0') != std::string::npos) {
        throw CFileError(EFileErrorCause::BadPath, shownOnFailure);
    }
    InjectFault("open", shownOnFailure);
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
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

// --- Reading --------------------------------------------------------------------------------

bool FileExists(const FileRef& file) {
    return file.strName.find('\0') == std::string::npos &&
           AttributesOf(file) != INVALID_FILE_ATTRIBUTES;
}

FileImage ReadWholeFile(const FileRef& file) {
    CHandle opened = OpenToRead(file);
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
    if (ReadUpTo(opened.Get(), image.pBytes.get(), length, file.strShown) < length) {
        throw CFileError(EFileErrorCause::EndOfFile, file.strShown);
    }
    opened.Close(file.strShown);
    return image;
}

std::size_t ReadBlock(const std::string& path, void* buffer, std::size_t length,
                      std::int64_t offset) {
    const FilePlace place(path);
    CHandle file = OpenToRead(place.Ref());
    SeekTo(file, offset, path);
    const std::size_t got = ReadUpTo(file.Get(), buffer, length, path);
    file.Close(path);
    return got;
}

FileIdentity FileIdentityOf(const FileRef& file) {
    RequireUsableName(file.strName, file.strShown);
    InjectFault("length", file.strShown);
    const HANDLE handle = OpenForIdentity(FullName(file));
    if (handle == INVALID_HANDLE_VALUE) {
        ThrowLastError(file.strShown);
    }
    const CHandle opened(handle);
    return IdentityOf(InformationOf(handle, file.strShown));
}

FileEntry LookAt(const FileRef& file) {
    RequireUsableName(file.strName, file.strShown);
    const DWORD attributes = AttributesOf(file);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return {};
        }
        throw CFileError(CauseFromSystemError(error), file.strShown);
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return {EEntry::Link, {}};
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {EEntry::Other, {}};
    }
    return {EEntry::File, FileIdentityOf(file)};
}

bool HoldsExactly(const FileRef& file, const void* data, std::int64_t size) {
    const FileEntry entry = LookAt(file);
    if (entry.kind != EEntry::File || entry.identity.nSize != size) {
        return false;
    }
    CHandle opened = OpenToRead(file, true);
    std::string buffer(std::size_t{1} << 20, '\0');
    const auto* expected = static_cast<const char*>(data);
    for (std::int64_t at = 0; at < size;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::int64_t>(size - at, buffer.size()));
        if (ReadUpTo(opened.Get(), buffer.data(), want, file.strShown) != want ||
            std::memcmp(buffer.data(), expected + at, want) != 0) {
            return false;
        }
        at += static_cast<std::int64_t>(want);
    }
    return true;
}

bool SameFile(const CFolder& folder, const std::string& a, const std::string& b) {
    // Names differ in letter case, short forms and links; the volume and file index do not.
    auto identity = [&folder](const std::string& name, FileIdentity& out) {
        if (name.find('\0') != std::string::npos) {
            return false;
        }
        const HANDLE handle = OpenForIdentity(Wide(folder.Prefix() + name));
        if (handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        const bool ok = GetFileInformationByHandle(handle, &info) != 0;
        CloseHandle(handle);
        out = IdentityOf(info);
        return ok;
    };
    FileIdentity identityA;
    FileIdentity identityB;
    return identity(a, identityA) && identity(b, identityB) &&
           identityA.nDevice == identityB.nDevice && identityA.nInode == identityB.nInode;
}

std::vector<std::string> ListFiles(const CFolder& folder, const std::string& shown) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW(Wide(folder.Prefix() + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) {
            return names;
        }
        ThrowLastError(shown);
    }
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(Utf8(entry.cFileName));
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

// --- Writing whole files ----------------------------------------------------------------------

void ReplaceWholeFile(const FileRef& file, const void* data, std::int64_t size) {
    const std::size_t length = ByteCount(size);
    ExistingFile(file);
    CTemporary temporary(file);
    WriteAll(temporary.Get(), data, length, file.strShown);
    temporary.Finish();
    temporary.RenameTo(FullName(file));
}

void WriteBlock(const std::string& path, const void* buffer, std::size_t length,
                std::int64_t offset) {
    const FilePlace place(path);
    CHandle file = OpenRegular(place.Ref(), GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, true);
    SeekTo(file, offset, path);
    WriteAll(file.Get(), buffer, length, path);
    file.Close(path);
}

void MakeFolder(const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        throw CFileError(EFileErrorCause::BadPath, path);
    }
    InjectFault("mkdir", path);
    if (!CreateDirectoryW(Wide(path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        ThrowLastError(path);
    }
}

bool KeepAs(const FileRef& file, const FileRef& keep) {
    RequireUsableName(keep.strName, keep.strShown);
    CHandle opened = OpenToRead(file, true);
    InjectFault("link", keep.strShown);
    const std::wstring target = FullName(keep);
    if (CreateHardLinkW(target.c_str(), FullName(file).c_str(), nullptr)) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return false;
    }
    CTemporary copy({keep.folder, file.strName, keep.strShown});
    CopyContents(opened.Get(), copy.Get(),
                 IdentityOf(InformationOf(opened.Get(), file.strShown)).nSize, keep.strShown);
    copy.Finish();
    return copy.ClaimName(target);
}

struct CNewFile::Handle {
    explicit Handle(const FileRef& file)
        : ref(file), bExists(ExistingFile(file)), temporary(file) {}
    FileRef ref;
    bool bExists;
    CTemporary temporary;
};

CNewFile::CNewFile(const FileRef& file) : m_pHandle(std::make_unique<Handle>(file)) {}

CNewFile::~CNewFile() = default;

void CNewFile::Write(const void* data, std::size_t length) {
    WriteAll(m_pHandle->temporary.Get(), data, length, m_pHandle->ref.strShown);
}

void CNewFile::Commit() {
    m_pHandle->temporary.Finish();
    m_pHandle->temporary.RenameTo(FullName(m_pHandle->ref));
}

// --- The program file of a pass ------------------------------------------------------------

struct CHeldFile::Handle {
    CHandle file;
};

// Held open without sharing it for writing: another pass (or any program) that would write the
// file meanwhile cannot open it, while the file can still be read and replaced by its name.
CHeldFile::CHeldFile(const FileRef& file, ELockWait, bool bToReplace)
    : m_ref(file), m_pHandle(std::make_unique<Handle>()) {
    InjectFault("lock", file.strShown);
    m_pHandle->file = OpenRegular(file, GENERIC_READ | (bToReplace ? GENERIC_WRITE : 0),
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING, true);
    const BY_HANDLE_FILE_INFORMATION info = InformationOf(m_pHandle->file.Get(), file.strShown);
    m_identity = IdentityOf(info);
    m_nLinks = info.nNumberOfLinks;
    m_bLocked = true;
}

CHeldFile::~CHeldFile() = default;

FileImage CHeldFile::Read() const {
    const HANDLE handle = m_pHandle->file.Get();
    const std::int64_t size = IdentityOf(InformationOf(handle, m_ref.strShown)).nSize;
    if (static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max()) {
        throw std::bad_alloc();
    }
    FileImage image;
    image.pBytes = AllocateImage(static_cast<std::size_t>(size));
    image.nSize = size;
    SeekTo(m_pHandle->file, 0, m_ref.strShown);
    if (ReadUpTo(handle, image.pBytes.get(), static_cast<std::size_t>(size), m_ref.strShown) <
        static_cast<std::size_t>(size)) {
        throw CFileError(EFileErrorCause::EndOfFile, m_ref.strShown);
    }
    return image;
}

void CHeldFile::CheckUnchanged() const {
    InjectFault("length", m_ref.strShown);
    const HANDLE named = OpenForIdentity(FullName(m_ref));
    BY_HANDLE_FILE_INFORMATION info{};
    const bool bNamed = named != INVALID_HANDLE_VALUE && GetFileInformationByHandle(named, &info);
    if (named != INVALID_HANDLE_VALUE) {
        CloseHandle(named);
    }
    if (!bNamed || !(IdentityOf(info) == m_identity) ||
        !(IdentityOf(InformationOf(m_pHandle->file.Get(), m_ref.strShown)) == m_identity)) {
        throw CFileError(EFileErrorCause::SharingViolation, m_ref.strShown);
    }
}

bool ClaimBackup(const CHeldFile& file, const FileRef& backup, bool) {
    RequireUsableName(backup.strName, backup.strShown);
    InjectFault("link", backup.strShown);
    const std::wstring target = FullName(backup);
    if (CreateHardLinkW(target.c_str(), FullName(file.Ref()).c_str(), nullptr)) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return false;
    }
    // No hard link here (FAT, a network share): a copy, claimed under its name as a whole.
    CTemporary copy({backup.folder, file.Ref().strName, backup.strShown});
    CopyContents(file.System().file.Get(), copy.Get(), file.Identity().nSize, backup.strShown);
    copy.Finish();
    return copy.ClaimName(target);
}

void ReplaceHeldFile(const CHeldFile& file, const void* data, std::int64_t size) {
    const std::size_t length = ByteCount(size);
    const FileRef& ref = file.Ref();
    CTemporary temporary(ref);
    WriteAll(temporary.Get(), data, length, ref.strShown);
    temporary.Finish();
    file.CheckUnchanged();
    temporary.RenameTo(FullName(ref));
}

struct CReplacement::Handle {
    explicit Handle(const CHeldFile& held) : file(held), temporary(held.Ref()) {}
    const CHeldFile& file;
    CTemporary temporary;
};

CReplacement::CReplacement(const CHeldFile& file) : m_pHandle(std::make_unique<Handle>(file)) {}

CReplacement::~CReplacement() = default;

void CReplacement::WriteAt(std::int64_t pos, std::span<const ByteSpan> pieces) {
    const std::string& shown = m_pHandle->file.Ref().strShown;
    LARGE_INTEGER distance{};
    distance.QuadPart = pos;
    if (!SetFilePointerEx(m_pHandle->temporary.Get(), distance, nullptr, FILE_BEGIN)) {
        ThrowLastError(shown);
    }
    for (const ByteSpan& piece : pieces) {
        WriteAll(m_pHandle->temporary.Get(), piece.pData, piece.nLength, shown);
    }
}

void CReplacement::Commit() {
    Handle& h = *m_pHandle;
    h.temporary.Finish();
    h.file.CheckUnchanged();
    h.temporary.RenameTo(FullName(h.file.Ref()));
}

// Windows syncs each file as it is put in place.
void CCommitGroup::PutInPlace(std::vector<Entry> entries) {
    for (Entry& entry : entries) {
        entry.replacement->Commit();
    }
}

// --- Temporaries ------------------------------------------------------------------------------

void RemoveStaleTemporaries(const CFolder& folder, const std::string& name) {
    const std::string stem = name + kTemporaryMark;
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileW(Wide(folder.Prefix() + stem + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string found = Utf8(entry.cFileName);
        if (found.size() == stem.size() + 6) {
            DeleteFileW(Wide(folder.Prefix() + found).c_str());
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// Windows finds a file's temporaries by their names, without reading the whole folder.
struct CStaleTemporaries::Folders {};

CStaleTemporaries::CStaleTemporaries() = default;

CStaleTemporaries::~CStaleTemporaries() = default;

void CStaleTemporaries::Remove(const CFolder& folder, const std::string& name) {
    RemoveStaleTemporaries(folder, name);
}

void RemoveTemporariesOnSignals(int) {
    SetConsoleCtrlHandler(RemoveTemporariesOnControl, TRUE);
}

// --- Elsewhere ------------------------------------------------------------------------------

std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::string exe = Utf8(path);
    const std::size_t end = NameStart(exe);
    if (end == 0) {
        return ".";
    }
    // Keep the root ("C:\") whole; drop the separator after any other folder.
    return end >= 2 && exe[end - 2] == ':' ? exe.substr(0, end) : exe.substr(0, end - 1);
}

void SetFileFaultHook(FileFaultHook hook) {
    g_pfnFaultHook = hook;
}
