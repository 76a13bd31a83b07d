#include "FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include "FileError.h"

namespace {

FileFaultHook g_pfnFaultHook = nullptr;

static_assert(sizeof(off_t) >= sizeof(std::int64_t), "file sizes and offsets must be 64-bit");

// Largest count handed to one read() or write(). Linux moves at most about 2 GiB per call anyway
// and counts above SSIZE_MAX are not portable; the loops below carry on where a call stopped.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

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
    void Close(const std::string& path) {
        const int fd = m_fd;
        m_fd = -1;
        if (g_pfnFaultHook != nullptr) {
            if (const int error = g_pfnFaultHook("close", path)) {
                ::close(fd);
                ThrowFileError(error, path);
            }
        }
        if (::close(fd) != 0 && errno != EINTR) {
            ThrowFileError(errno, path);
        }
    }

  private:
    int m_fd;
};

// Lets a test make the operation fail as the system would have.
void InjectFault(const char* operation, const std::string& path) {
    if (g_pfnFaultHook != nullptr) {
        if (const int error = g_pfnFaultHook(operation, path)) {
            ThrowFileError(error, path);
        }
    }
}

// c_str() would silently cut a name at an embedded NUL and reach a different file.
void RequireUsableName(const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        throw CFileError(EFileErrorCause::BadPath, path);
    }
}

CDescriptor OpenFile(const std::string& path, int flags, mode_t mode = 0) {
    RequireUsableName(path);
    InjectFault("open", path);
    for (;;) {
        const int fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
        if (fd >= 0) {
            return CDescriptor(fd);
        }
        if (errno != EINTR) {
            ThrowFileError(errno, path);
        }
    }
}

void SeekTo(const CDescriptor& file, std::int64_t offset, const std::string& path) {
    if (offset < 0) {
        throw CFileError(EFileErrorCause::BadSeek, path);
    }
    InjectFault("seek", path);
    if (::lseek(file.Get(), static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(-1)) {
        ThrowFileError(errno, path);
    }
}

// Reads until `length` bytes are in or the file ends; returns how many arrived.
std::size_t ReadUpTo(const CDescriptor& file, void* buffer, std::size_t length,
                     const std::string& path) {
    InjectFault("read", path);
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::read(file.Get(), bytes + done, std::min(length - done, kMaxTransfer));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowFileError(errno, path);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void WriteAll(int fd, const void* data, std::size_t length, const std::string& path) {
    InjectFault("write", path);
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t put = ::write(fd, bytes + done, std::min(length - done, kMaxTransfer));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowFileError(errno, path);
        }
        // A device that accepts nothing without naming an error has no room left.
        if (put == 0) {
            throw CFileError(EFileErrorCause::DiskFull, path);
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

std::int64_t FileLength(const CDescriptor& file, const std::string& path) {
    InjectFault("length", path);
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        ThrowFileError(errno, path);
    }
    // Linux lets a folder be opened for reading; it is not a file whose bytes can be loaded.
    if (S_ISDIR(info.st_mode)) {
        ThrowFileError(EISDIR, path);
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
            got = ReadUpTo(status, text.data(), text.size(), "/proc/self/status");
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

// The mkstemp pattern for a temporary beside `path`: "<path>.vokra-XXXXXX", or
// "<folder>/.vokra-XXXXXX" when the name is too long to take the suffix.
std::string TemporaryPattern(const std::string& path) {
    static constexpr char kSuffix[] = ".vokra-XXXXXX";
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (path.size() - nameStart + sizeof(kSuffix) - 1 > NAME_MAX) {
        return path.substr(0, nameStart) + kSuffix;
    }
    return path + kSuffix;
}

CDescriptor CreateTemporary(const std::string& pattern, std::string& created,
                            const std::string& path) {
    InjectFault("create", path);
    for (;;) {
        created = pattern;
        const int fd = ::mkostemp(created.data(), O_CLOEXEC);
        if (fd >= 0) {
            return CDescriptor(fd);
        }
        if (errno != EINTR) {
            ThrowFileError(errno, path);
        }
    }
}

// Holds the file a rename is about to replace. Dropping the last reference to a large file frees
// its blocks and cached pages, tens of milliseconds for a big backup; letting go of it on a thread
// of its own keeps that cost off the caller, who has a pass to run.
class CReplacedFile {
  public:
    explicit CReplacedFile(const std::string& path)
        : m_fd(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC)) {}
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

bool FileExists(const std::string& path) {
    struct stat info {};
    return path.find('\0') == std::string::npos && ::stat(path.c_str(), &info) == 0;
}

std::size_t ReadBlock(const std::string& path, void* buffer, std::size_t length,
                      std::int64_t offset) {
    CDescriptor file = OpenFile(path, O_RDONLY);
    SeekTo(file, offset, path);
    const std::size_t got = ReadUpTo(file, buffer, length, path);
    file.Close(path);
    return got;
}

void WriteBlock(const std::string& path, const void* buffer, std::size_t length,
                std::int64_t offset) {
    CDescriptor file = OpenFile(path, O_WRONLY | O_CREAT, 0666);
    SeekTo(file, offset, path);
    WriteAll(file.Get(), buffer, length, path);
    file.Close(path);
}

FileImage ReadWholeFile(const std::string& path) {
    CDescriptor file = OpenFile(path, O_RDONLY);
    const std::int64_t size = FileLength(file, path);
    if (static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max()) {
        throw std::bad_alloc();
    }
    const auto length = static_cast<std::size_t>(size);

    FileImage image;
    image.pBytes = AllocateImage(length);
    image.nSize = size;

    if (ReadUpTo(file, image.pBytes.get(), length, path) < length) {
        throw CFileError(EFileErrorCause::EndOfFile, path);
    }
    file.Close(path);
    return image;
}

void ReplaceWholeFile(const std::string& path, const void* data, std::int64_t size) {
    const std::size_t length = ByteCount(size);
    RequireUsableName(path);

    // A name that cannot be reached (a path through a file, a name too long) fails here rather
    // than after the whole image has been written to the temporary.
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        ThrowFileError(errno, path);
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        ThrowFileError(EISDIR, path);
    }
    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());

    std::string temporary;
    CDescriptor file = CreateTemporary(TemporaryPattern(path), temporary, path);
    try {
        WriteAll(file.Get(), data, length, path);
        if (exists && ::fchown(file.Get(), existing.st_uid, existing.st_gid) != 0) {
            // Keeping the owner matters when an administrator rewrites somebody else's file.
            // Anyone else may not give a file away; it then stays theirs, as any new file would.
        }
        // After fchown, which clears the set-user-ID and set-group-ID bits.
        if (::fchmod(file.Get(), mode) != 0) {
            ThrowFileError(errno, path);
        }
        file.Close(path);
        const CReplacedFile replaced(path);
        InjectFault("rename", path);
        if (::rename(temporary.c_str(), path.c_str()) != 0) {
            ThrowFileError(errno, path);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

void WriteInPlace(const std::string& path, const void* data, std::int64_t size,
                  const FileIdentity* pExpected) {
    const std::size_t length = ByteCount(size);
    CDescriptor file = OpenFile(path, O_WRONLY);
    // Another program replaced or changed the file while it was being translated: writing the
    // image over it would mix two files. It is left as that program left it.
    if (pExpected != nullptr) {
        struct stat info {};
        if (::fstat(file.Get(), &info) != 0) {
            ThrowFileError(errno, path);
        }
        if (!(IdentityOf(info) == *pExpected)) {
            throw CFileError(EFileErrorCause::SharingViolation, path);
        }
    }
    WriteAll(file.Get(), data, length, path);
    file.Close(path);
}

FileIdentity FileIdentityOf(const std::string& path) {
    RequireUsableName(path);
    InjectFault("length", path);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        ThrowFileError(errno, path);
    }
    return IdentityOf(info);
}

void SetFileFaultHook(FileFaultHook hook) {
    g_pfnFaultHook = hook;
}

void CopyWholeFile(const std::string& source, const std::string& destination) {
    const FileImage image = ReadWholeFile(source);
    ReplaceWholeFile(destination, image.pBytes.get(), image.nSize);
}

CListingFile::CListingFile(const std::string& path)
    : m_fd(OpenFile(path, O_WRONLY | O_CREAT | O_TRUNC, 0666).Release()), m_strPath(path) {}

CListingFile::~CListingFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void CListingFile::Write(const void* data, std::size_t length) {
    WriteAll(m_fd, data, length, m_strPath);
}

void CListingFile::Close() {
    CDescriptor file(std::exchange(m_fd, -1));
    file.Close(m_strPath);
}

void MakeFolder(const std::string& path) {
    RequireUsableName(path);
    InjectFault("mkdir", path);
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
        ThrowFileError(errno, path);
    }
}
