// The file layer on Linux and other POSIX systems: folders are open descriptors and files are
// opened relative to them with the *at() calls.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include "FileError.h"
#include "FileOps.h"

namespace {

FileFaultHook g_pfnFaultHook = nullptr;

static_assert(sizeof(off_t) >= sizeof(std::int64_t), "file sizes and offsets must be 64-bit");

// Largest count handed to one read() or write(). Linux moves at most about 2 GiB per call anyway
// and counts above SSIZE_MAX are not portable; the loops below carry on where a call stopped.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

// Lets a test make the operation fail as the system would have.
void InjectFault(const char* operation, const std::string& shown) {
    if (g_pfnFaultHook != nullptr) {
        if (const int error = g_pfnFaultHook(operation, shown)) {
            ThrowFileError(error, shown);
        }
    }
}

// c_str() would silently cut a name at an embedded NUL and reach a different file.
void RequireUsableName(const std::string& name, const std::string& shown) {
    if (name.find('\0') != std::string::npos) {
        throw CFileError(EFileErrorCause::BadPath, shown);
    }
}

// Owns an open descriptor. The destructor closes it quietly, which only happens on the way out
// of a failure that is already being reported; the normal path goes through Close().
class CDescriptor {
  public:
    explicit CDescriptor(int fd) : m_fd(fd) {}
    ~CDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;

    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

    // A failing close() can be the first report of a failed write (network and some local file
    // systems report them only here), so it raises like any other failure. EINTR is not
    // retried: Linux has released the descriptor by then and a second close() could hit a
    // descriptor another thread has just opened.
    void Close(const std::string& shown) {
        const int fd = m_fd;
        m_fd = -1;
        if (g_pfnFaultHook != nullptr) {
            if (const int error = g_pfnFaultHook("close", shown)) {
                ::close(fd);
                ThrowFileError(error, shown);
            }
        }
        if (::close(fd) != 0 && errno != EINTR) {
            ThrowFileError(errno, shown);
        }
    }

  private:
    int m_fd;
};

CDescriptor OpenAt(const FileRef& file, int flags, mode_t mode = 0) {
    RequireUsableName(file.strName, file.strShown);
    InjectFault("open", file.strShown);
    for (;;) {
        const int fd =
            ::openat(file.folder.Descriptor(), file.strName.c_str(), flags | O_CLOEXEC, mode);
        if (fd >= 0) {
            return CDescriptor(fd);
        }
        if (errno != EINTR) {
            ThrowFileError(errno, file.strShown);
        }
    }
}

void SeekTo(const CDescriptor& file, std::int64_t offset, const std::string& shown) {
    if (offset < 0) {
        throw CFileError(EFileErrorCause::BadSeek, shown);
    }
    InjectFault("seek", shown);
    if (::lseek(file.Get(), static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(-1)) {
        ThrowFileError(errno, shown);
    }
}

// Reads until `length` bytes are in or the file ends; returns how many arrived.
std::size_t ReadUpTo(int fd, void* buffer, std::size_t length, const std::string& shown) {
    InjectFault("read", shown);
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::read(fd, bytes + done, std::min(length - done, kMaxTransfer));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowFileError(errno, shown);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void WriteAll(int fd, const void* data, std::size_t length, const std::string& shown) {
    InjectFault("write", shown);
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t put = ::write(fd, bytes + done, std::min(length - done, kMaxTransfer));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowFileError(errno, shown);
        }
        // A device that accepts nothing without naming an error has no room left.
        if (put == 0) {
            throw CFileError(EFileErrorCause::DiskFull, shown);
        }
        done += static_cast<std::size_t>(put);
    }
}

FileIdentity IdentityOf(const struct stat& info) {
    return FileIdentity{
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::int64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::int64_t FileLength(const CDescriptor& file, const std::string& shown) {
    InjectFault("length", shown);
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        ThrowFileError(errno, shown);
    }
    // Linux lets a folder be opened for reading; it is not a file whose bytes can be loaded.
    if (S_ISDIR(info.st_mode)) {
        ThrowFileError(EISDIR, shown);
    }
    return static_cast<std::int64_t>(info.st_size);
}

std::size_t ByteCount(std::int64_t size) {
    if (size < 0 || static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max()) {
        throw std::invalid_argument("file size out of range");
    }
    return static_cast<std::size_t>(size);
}

// The process's file-creation mask. umask() can only be read by changing it, which would give
// files another thread creates meanwhile the wrong mode, so the kernel's report is read first.
mode_t CurrentUmask() {
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        CDescriptor status(fd);
        std::string text(4096, '\0');
        std::size_t got = 0;
        try {
            got = ReadUpTo(status.Get(), text.data(), text.size(), "/proc/self/status");
        } catch (const CFileError&) {
            got = 0;
        }
        text.resize(got);
        const std::size_t at = text.find("\nUmask:");
        if (at != std::string::npos) {
            return static_cast<mode_t>(std::strtoul(text.c_str() + at + 7, nullptr, 8) & 0777);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// The name of a temporary beside `name`: "<name>.vokra-XXXXXX", or ".vokra-XXXXXX" when the name
// is too long to take the suffix, with six letters that differ from call to call.
std::string TemporaryName(const std::string& name) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::atomic<std::uint64_t> s_nCounter{0};
    std::uint64_t seed =
        static_cast<std::uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ULL ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (s_nCounter.fetch_add(1) * 0xBF58476D1CE4E5B9ULL);
    std::string suffix = ".vokra-";
    for (int i = 0; i < 6; ++i) {
        suffix += kLetters[seed % (sizeof kLetters - 1)];
        seed /= sizeof kLetters - 1;
    }
    return name.size() + suffix.size() > NAME_MAX ? suffix : name + suffix;
}

CDescriptor CreateTemporary(const FileRef& file, std::string& created) {
    InjectFault("create", file.strShown);
    for (int attempt = 0;; ++attempt) {
        created = TemporaryName(file.strName);
        const int fd = ::openat(file.folder.Descriptor(), created.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            return CDescriptor(fd);
        }
        if (errno != EINTR && (errno != EEXIST || attempt == 100)) {
            ThrowFileError(errno, file.strShown);
        }
    }
}

// Holds the file a rename is about to replace. Dropping the last reference to a large file frees
// its blocks and cached pages, tens of milliseconds for a big backup; letting go of it on a thread
// of its own keeps that cost off the caller, who has a pass to run.
class CReplacedFile {
  public:
    explicit CReplacedFile(const FileRef& file)
        : m_fd(::openat(file.folder.Descriptor(), file.strName.c_str(),
                        O_PATH | O_NOFOLLOW | O_CLOEXEC)) {}
    ~CReplacedFile() {
        if (m_fd < 0) {
            return;
        }
        try {
            std::thread([fd = m_fd] { ::close(fd); }).detach();
        } catch (const std::system_error&) {
            ::close(m_fd);
        }
    }
    CReplacedFile(const CReplacedFile&) = delete;
    CReplacedFile& operator=(const CReplacedFile&) = delete;

  private:
    int m_fd;
};

}  // namespace

// --- Folders --------------------------------------------------------------------------------

CFolder CFolder::Current() {
    return Open(".");
}

CFolder CFolder::Open(const std::string& path) {
    return Open(path, path);
}

CFolder CFolder::Open(const std::string& path, const std::string& shownOnFailure) {
    RequireUsableName(path, shownOnFailure);
    InjectFault("open", shownOnFailure);
    CFolder folder;
    for (;;) {
        folder.m_fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folder.m_fd >= 0) {
            return folder;
        }
        if (errno != EINTR) {
            ThrowFileError(errno, shownOnFailure);
        }
    }
}

CFolder::CFolder(CFolder&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

CFolder& CFolder::operator=(CFolder&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

CFolder::~CFolder() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

namespace {

// Where the name begins in a path: after its last "/".
std::size_t NameStart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// The folder part of a path opens as its folder (the current folder when there is none).
CFolder FolderOf(const std::string& path) {
    const std::size_t start = NameStart(path);
    return start == 0 ? CFolder::Open(".", path) : CFolder::Open(std::string(path, 0, start), path);
}

}  // namespace

FilePlace::FilePlace(const std::string& path)
    : folder(FolderOf(path)),
      strName(NameStart(path) == path.size() && !path.empty() ? std::string(".")
                                                              : std::string(path, NameStart(path))),
      strShown(path) {}

// --- Files in a folder ----------------------------------------------------------------------

bool FileExists(const FileRef& file) {
    struct stat info {};
    return file.strName.find('\0') == std::string::npos &&
           ::fstatat(file.folder.Descriptor(), file.strName.c_str(), &info, 0) == 0;
}

FileImage ReadWholeFile(const FileRef& file) {
    CDescriptor opened = OpenAt(file, O_RDONLY);
    const std::int64_t size = FileLength(opened, file.strShown);
    if (static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max()) {
        throw std::bad_alloc();
    }
    const auto length = static_cast<std::size_t>(size);

    FileImage image;
    image.pBytes = AllocateImage(length);
    image.nSize = size;

    if (ReadUpTo(opened.Get(), image.pBytes.get(), length, file.strShown) < length) {
        throw CFileError(EFileErrorCause::EndOfFile, file.strShown);
    }
    opened.Close(file.strShown);
    return image;
}

void ReplaceWholeFile(const FileRef& file, const void* data, std::int64_t size) {
    const std::size_t length = ByteCount(size);
    const std::string& shown = file.strShown;
    RequireUsableName(file.strName, shown);

    // A name that cannot be reached (a path through a file, a name too long) fails here rather
    // than after the whole image has been written to the temporary.
    struct stat existing {};
    const bool exists =
        ::fstatat(file.folder.Descriptor(), file.strName.c_str(), &existing, 0) == 0;
    if (!exists && errno != ENOENT) {
        ThrowFileError(errno, shown);
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        ThrowFileError(EISDIR, shown);
    }
    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());

    std::string temporary;
    CDescriptor opened = CreateTemporary(file, temporary);
    try {
        WriteAll(opened.Get(), data, length, shown);
        if (exists && ::fchown(opened.Get(), existing.st_uid, existing.st_gid) != 0) {
            // Keeping the owner matters when an administrator rewrites somebody else's file.
            // Anyone else may not give a file away; it then stays theirs, as any new file would.
        }
        // After fchown, which clears the set-user-ID and set-group-ID bits.
        if (::fchmod(opened.Get(), mode) != 0) {
            ThrowFileError(errno, shown);
        }
        opened.Close(shown);
        const CReplacedFile replaced(file);
        InjectFault("rename", shown);
        if (::renameat(file.folder.Descriptor(), temporary.c_str(), file.folder.Descriptor(),
                       file.strName.c_str()) != 0) {
            ThrowFileError(errno, shown);
        }
    } catch (...) {
        ::unlinkat(file.folder.Descriptor(), temporary.c_str(), 0);
        throw;
    }
}

FileIdentity FileIdentityOf(const FileRef& file) {
    RequireUsableName(file.strName, file.strShown);
    InjectFault("length", file.strShown);
    struct stat info {};
    if (::fstatat(file.folder.Descriptor(), file.strName.c_str(), &info, 0) != 0) {
        ThrowFileError(errno, file.strShown);
    }
    return IdentityOf(info);
}

void WriteInPlace(const FileRef& file, const void* data, std::int64_t size,
                  const FileIdentity* pExpected) {
    const std::size_t length = ByteCount(size);
    CDescriptor opened = OpenAt(file, O_WRONLY);
    // Another program replaced or changed the file while it was being translated: writing the
    // image over it would mix two files. It is left as that program left it.
    if (pExpected != nullptr) {
        struct stat info {};
        if (::fstat(opened.Get(), &info) != 0) {
            ThrowFileError(errno, file.strShown);
        }
        if (!(IdentityOf(info) == *pExpected)) {
            throw CFileError(EFileErrorCause::SharingViolation, file.strShown);
        }
    }
    WriteAll(opened.Get(), data, length, file.strShown);
    opened.Close(file.strShown);
}

bool SameFile(const CFolder& folder, const std::string& a, const std::string& b) {
    struct stat infoA {};
    struct stat infoB {};
    return a.find('\0') == std::string::npos && b.find('\0') == std::string::npos &&
           ::fstatat(folder.Descriptor(), a.c_str(), &infoA, 0) == 0 &&
           ::fstatat(folder.Descriptor(), b.c_str(), &infoB, 0) == 0 &&
           infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

std::vector<std::string> ListFiles(const CFolder& folder, const std::string& shown) {
    CDescriptor listing = OpenAt({folder, ".", shown}, O_RDONLY | O_DIRECTORY);
    DIR* dir = ::fdopendir(listing.Get());
    if (dir == nullptr) {
        ThrowFileError(errno, shown);
    }
    listing.Release();  // closedir() closes it
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info {};
        if (::fstatat(folder.Descriptor(), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    return names;
}

// --- Files by path --------------------------------------------------------------------------

std::size_t ReadBlock(const std::string& path, void* buffer, std::size_t length,
                      std::int64_t offset) {
    const FilePlace place(path);
    CDescriptor file = OpenAt(place.Ref(), O_RDONLY);
    SeekTo(file, offset, path);
    const std::size_t got = ReadUpTo(file.Get(), buffer, length, path);
    file.Close(path);
    return got;
}

void WriteBlock(const std::string& path, const void* buffer, std::size_t length,
                std::int64_t offset) {
    const FilePlace place(path);
    CDescriptor file = OpenAt(place.Ref(), O_WRONLY | O_CREAT, 0666);
    SeekTo(file, offset, path);
    WriteAll(file.Get(), buffer, length, path);
    file.Close(path);
}

void MakeFolder(const std::string& path) {
    RequireUsableName(path, path);
    InjectFault("mkdir", path);
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
        ThrowFileError(errno, path);
    }
}

struct CListingFile::Handle {
    CDescriptor file;
};

CListingFile::CListingFile(const std::string& path)
    : m_pHandle(new Handle{OpenAt(FilePlace(path).Ref(), O_WRONLY | O_CREAT | O_TRUNC, 0666)}),
      m_strPath(path) {}

CListingFile::~CListingFile() = default;

void CListingFile::Write(const void* data, std::size_t length) {
    WriteAll(m_pHandle->file.Get(), data, length, m_strPath);
}

void CListingFile::Close() {
    m_pHandle->file.Close(m_strPath);
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        return ".";
    }
    const std::string exe(path, static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    return slash == 0 ? "/" : exe.substr(0, slash);
}

void SetFileFaultHook(FileFaultHook hook) {
    g_pfnFaultHook = hook;
}
