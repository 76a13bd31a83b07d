// The file layer on Linux and other POSIX systems: folders are open descriptors and files are
// opened relative to them with the *at() calls.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <future>
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
    explicit CDescriptor(int fd = -1) : m_fd(fd) {}
    ~CDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    CDescriptor(CDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    CDescriptor& operator=(CDescriptor&& other) noexcept {
        if (this != &other) {
            if (m_fd >= 0) {
                ::close(m_fd);
            }
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
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
        const int fd = std::exchange(m_fd, -1);
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

// Raises the error a file of this kind gets where a regular file is wanted.
void RequireRegular(const struct stat& info, const std::string& shown) {
    if (S_ISDIR(info.st_mode)) {
        throw CFileError(EFileErrorCause::IsFolder, shown);
    }
    if (!S_ISREG(info.st_mode)) {
        throw CFileError(EFileErrorCause::NotAFile, shown);
    }
}

struct stat StatOf(int fd, const std::string& shown) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ThrowFileError(errno, shown);
    }
    return info;
}

// Opens a regular file. O_NONBLOCK keeps a pipe from holding the open until a writer comes; the
// check after it refuses the pipe (and any other special file) without reading from it. With
// `bNoFollow` a symbolic link at the name is refused as such.
CDescriptor OpenRegular(const FileRef& file, int flags, bool bNoFollow, mode_t mode = 0) {
    RequireUsableName(file.strName, file.strShown);
    InjectFault("open", file.strShown);
    const int extra = O_CLOEXEC | O_NONBLOCK | (bNoFollow ? O_NOFOLLOW : 0);
    int fd = -1;
    do {
        fd = ::openat(file.folder.Descriptor(), file.strName.c_str(), flags | extra, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // A pipe nobody reads, or a device file without its device.
        if (errno == ENXIO) {
            throw CFileError(EFileErrorCause::NotAFile, file.strShown);
        }
        if (bNoFollow && errno == ELOOP) {
            struct stat info {};
            if (::fstatat(file.folder.Descriptor(), file.strName.c_str(), &info,
                          AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(info.st_mode)) {
                throw CFileError(EFileErrorCause::IsLink, file.strShown);
            }
        }
        ThrowFileError(errno, file.strShown);
    }
    CDescriptor opened(fd);
    InjectFault("length", file.strShown);
    RequireRegular(StatOf(fd, file.strShown), file.strShown);
    ::fcntl(fd, F_SETFL, flags);
    return opened;
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

void SyncFile(int fd, const std::string& shown) {
    InjectFault("sync", shown);
    if (::fsync(fd) != 0 && errno != EINVAL) {
        ThrowFileError(errno, shown);
    }
}

// Makes the folder's entries durable: a new or renamed name survives a power loss from here on.
void SyncFolder(const CFolder& folder, const std::string& shown) {
    InjectFault("sync", shown);
    const int fd = ::openat(folder.Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        ThrowFileError(errno, shown);
    }
    CDescriptor opened(fd);
    // Some file systems cannot sync a folder (EINVAL); their entries are as safe as they get.
    if (::fsync(fd) != 0 && errno != EINVAL) {
        ThrowFileError(errno, shown);
    }
}

FileIdentity IdentityOf(const struct stat& info) {
    return FileIdentity{
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::int64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

bool SameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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
        const ssize_t got = ::read(fd, text.data(), text.size());
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        const std::size_t at = text.find("\nUmask:");
        if (at != std::string::npos) {
            return static_cast<mode_t>(std::strtoul(text.c_str() + at + 7, nullptr, 8) & 0777);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// --- Temporaries ---------------------------------------------------------------------------

constexpr char kTemporaryMark[] = ".vokra-";
constexpr std::size_t kTemporaryTail = sizeof kTemporaryMark - 1 + 6;

// The part of a temporary's name that ties it to the file it is made for: the file's name, cut
// where it would leave no room for the mark and the six letters.
std::string TemporaryStem(const std::string& name) {
    return name.substr(0,
                       std::min(name.size(), static_cast<std::size_t>(NAME_MAX) - kTemporaryTail));
}

std::string TemporaryName(const std::string& name) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::atomic<std::uint64_t> s_nCounter{0};
    static const pid_t s_pid = ::getpid();
    std::uint64_t seed =
        static_cast<std::uint64_t>(s_pid) * 0x9E3779B97F4A7C15ULL ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (s_nCounter.fetch_add(1) * 0xBF58476D1CE4E5B9ULL);
    std::string temporary = TemporaryStem(name) + kTemporaryMark;
    for (int i = 0; i < 6; ++i) {
        temporary += kLetters[seed % (sizeof kLetters - 1)];
        seed /= sizeof kLetters - 1;
    }
    return temporary;
}

// The temporaries being written, for the signal handler: only what it may touch (a folder
// descriptor and a name, taken with lock-free atomics).
struct TemporarySlot {
    std::atomic<int> nFolder{-1};
    char szName[NAME_MAX + 1] = {};
};
TemporarySlot g_aTemporaries[64];
int g_nWakeFd = -1;

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free slots");

TemporarySlot* Register(int folder, const std::string& name) {
    for (TemporarySlot& slot : g_aTemporaries) {
        int expected = -1;
        // -2 reserves the slot while its name is filled in.
        if (slot.nFolder.compare_exchange_strong(expected, -2)) {
            name.copy(slot.szName, NAME_MAX);
            slot.szName[std::min(name.size(), static_cast<std::size_t>(NAME_MAX))] = 0;
            slot.nFolder.store(folder);
            return &slot;
        }
    }
    return nullptr;  // more temporaries at once than slots: the last ones are not cleaned up
}

extern "C" void RemoveTemporariesAndGoOn(int signal) {
    const int saved = errno;
    for (TemporarySlot& slot : g_aTemporaries) {
        const int folder = slot.nFolder.load();
        if (folder >= 0) {
            ::unlinkat(folder, slot.szName, 0);
        }
    }
    if (g_nWakeFd >= 0) {
        const char byte = static_cast<char>(signal);
        [[maybe_unused]] const ssize_t put = ::write(g_nWakeFd, &byte, 1);
        errno = saved;
        return;
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// A temporary beside a file, created for writing (mode 0600 until it is given its own) and
// removed again unless it takes a name.
class CTemporary {
  public:
    // The temporary keeps a folder descriptor of its own, so that it is removed even when the
    // failure that leaves it behind outlives the folder it was made for.
    explicit CTemporary(const FileRef& file)
        : m_folder(::fcntl(file.folder.Descriptor(), F_DUPFD_CLOEXEC, 0)),
          m_strShown(file.strShown) {
        if (m_folder.Get() < 0) {
            ThrowFileError(errno, m_strShown);
        }
        InjectFault("create", m_strShown);
        for (int attempt = 0;; ++attempt) {
            m_strName = TemporaryName(file.strName);
            const int fd = ::openat(m_folder.Get(), m_strName.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                m_file = CDescriptor(fd);
                break;
            }
            if (errno != EINTR && (errno != EEXIST || attempt == 100)) {
                ThrowFileError(errno, m_strShown);
            }
        }
        m_pSlot = Register(m_folder.Get(), m_strName);
    }
    ~CTemporary() {
        if (!m_strName.empty()) {
            ::unlinkat(m_folder.Get(), m_strName.c_str(), 0);
        }
        Unregister();
    }
    CTemporary(const CTemporary&) = delete;
    CTemporary& operator=(const CTemporary&) = delete;

    int Get() const { return m_file.Get(); }

    // Syncs and closes it.
    void Finish() {
        SyncFile(m_file.Get(), m_strShown);
        Close();
    }
    void Close() { m_file.Close(m_strShown); }
    int Folder() const { return m_folder.Get(); }

    // Gives it the name `name`, replacing what the name held.
    void RenameTo(const std::string& name) {
        InjectFault("rename", m_strShown);
        if (::renameat(m_folder.Get(), m_strName.c_str(), m_folder.Get(), name.c_str()) != 0) {
            ThrowFileError(errno, m_strShown);
        }
        m_strName.clear();
        Unregister();
    }

    // Gives it the name `name` only when the name is free; false when it is taken.
    bool ClaimName(const std::string& name) {
        InjectFault("link", m_strShown);
        if (::linkat(m_folder.Get(), m_strName.c_str(), m_folder.Get(), name.c_str(), 0) != 0) {
            if (errno == EEXIST) {
                return false;
            }
            ThrowFileError(errno, m_strShown);
        }
        return true;  // the destructor removes the temporary's own name
    }

  private:
    void Unregister() {
        if (m_pSlot != nullptr) {
            m_pSlot->nFolder.store(-1);
            m_pSlot = nullptr;
        }
    }

    CDescriptor m_folder;
    std::string m_strShown;
    std::string m_strName;
    CDescriptor m_file;
    TemporarySlot* m_pSlot = nullptr;
};

// Gives a new file the mode (and, where permitted, the owner) of the file it replaces. The
// set-user-ID and set-group-ID bits stay only where the owner and group could be kept: a file
// must never come to run as somebody it did not run as before.
void TakeModeOf(int fd, const struct stat* replaced, const std::string& shown) {
    mode_t mode = 0;
    if (replaced == nullptr) {
        mode = 0666 & ~CurrentUmask();
    } else {
        mode = replaced->st_mode & 07777;
        const bool bOwnerKept = ::fchown(fd, replaced->st_uid, replaced->st_gid) == 0;
        if (!bOwnerKept) {
            mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
        }
    }
    if (::fchmod(fd, mode) != 0) {
        ThrowFileError(errno, shown);
    }
}

// What a name holds for a file to be written there: nothing, or a regular file (its status in
// *pInfo). A link, a folder or a special file is refused.
bool ExistingFile(const FileRef& file, struct stat* pInfo) {
    RequireUsableName(file.strName, file.strShown);
    if (::fstatat(file.folder.Descriptor(), file.strName.c_str(), pInfo, AT_SYMLINK_NOFOLLOW) !=
        0) {
        if (errno == ENOENT) {
            return false;
        }
        ThrowFileError(errno, file.strShown);
    }
    if (S_ISLNK(pInfo->st_mode)) {
        throw CFileError(EFileErrorCause::IsLink, file.strShown);
    }
    RequireRegular(*pInfo, file.strShown);
    return true;
}

// Takes the lock of the file a whole-file write is about to replace, so that two runs never write
// it at once, and removes the temporaries a killed earlier run left for it. Nothing is locked
// where there is no file yet, or the user may not read it.
CDescriptor LockReplacedFile(const FileRef& file) {
    const int fd = ::openat(file.folder.Descriptor(), file.strName.c_str(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return CDescriptor();
    }
    CDescriptor held(fd);
    InjectFault("lock", file.strShown);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            throw CFileError(EFileErrorCause::InUse, file.strShown);
        }
        return CDescriptor();
    }
    RemoveStaleTemporaries(file.folder, file.strName);
    return held;
}

// Holds the file a rename is about to replace. Dropping the last reference to a large file frees
// its blocks and cached pages, tens of milliseconds for a big file; letting go of it on a thread
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

// Copies the whole of `from` into `to`, in the kernel where it can.
void CopyContents(int from, int to, std::int64_t size, const std::string& shown) {
    InjectFault("write", shown);
    loff_t in = 0;
    while (in < size) {
        const ssize_t copied =
            ::copy_file_range(from, &in, to, nullptr, static_cast<std::size_t>(size - in), 0);
        if (copied > 0) {
            continue;
        }
        if (copied < 0 && errno == EINTR) {
            continue;
        }
        if (copied == 0 || errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
            errno == EOPNOTSUPP) {
            break;  // the rest the plain way
        }
        ThrowFileError(errno, shown);
    }
    std::string buffer(std::size_t{1} << 20, '\0');
    while (in < size) {
        const ssize_t got = ::pread(from, buffer.data(), buffer.size(), in);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw CFileError(got == 0 ? EFileErrorCause::EndOfFile : CauseFromErrno(errno), shown);
        }
        WriteAll(to, buffer.data(), static_cast<std::size_t>(got), shown);
        in += got;
    }
}

}  // namespace

// --- Folders --------------------------------------------------------------------------------

CFolder CFolder::Current() {
    return Open(".");
}

CFolder CFolder::Open(const std::string& path) {
    return Open(path, path);
}

// Opened one folder at a time, so that a path longer than the system takes in one call (a deep
// folder) still opens; links among the folders are followed.
CFolder CFolder::Open(const std::string& path, const std::string& shownOnFailure) {
    RequireUsableName(path, shownOnFailure);
    InjectFault("open", shownOnFailure);
    CFolder folder;
    folder.m_fd =
        ::open(!path.empty() && path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder.m_fd < 0) {
        ThrowFileError(errno, shownOnFailure);
    }
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > start) {
            const std::string part = path.substr(start, end - start);
            const int next = ::openat(folder.m_fd, part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (next < 0) {
                ThrowFileError(errno, shownOnFailure);
            }
            ::close(std::exchange(folder.m_fd, next));
        }
        start = end + 1;
    }
    return folder;
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

// --- Reading --------------------------------------------------------------------------------

bool FileExists(const FileRef& file) {
    struct stat info {};
    return file.strName.find('\0') == std::string::npos &&
           ::fstatat(file.folder.Descriptor(), file.strName.c_str(), &info, 0) == 0;
}

FileImage ReadWholeFile(const FileRef& file) {
    CDescriptor opened = OpenRegular(file, O_RDONLY, false);
    const std::int64_t size =
        static_cast<std::int64_t>(StatOf(opened.Get(), file.strShown).st_size);
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

std::size_t ReadBlock(const std::string& path, void* buffer, std::size_t length,
                      std::int64_t offset) {
    const FilePlace place(path);
    CDescriptor file = OpenRegular(place.Ref(), O_RDONLY, false);
    SeekTo(file, offset, path);
    const std::size_t got = ReadUpTo(file.Get(), buffer, length, path);
    file.Close(path);
    return got;
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

FileEntry LookAt(const FileRef& file) {
    RequireUsableName(file.strName, file.strShown);
    struct stat info {};
    if (::fstatat(file.folder.Descriptor(), file.strName.c_str(), &info, AT_SYMLINK_NOFOLLOW) !=
        0) {
        if (errno == ENOENT) {
            return {};
        }
        ThrowFileError(errno, file.strShown);
    }
    if (S_ISLNK(info.st_mode)) {
        return {EEntry::Link, {}};
    }
    return {S_ISREG(info.st_mode) ? EEntry::File : EEntry::Other, IdentityOf(info)};
}

bool HoldsExactly(const FileRef& file, const void* data, std::int64_t size) {
    const FileEntry entry = LookAt(file);
    if (entry.kind != EEntry::File || entry.identity.nSize != size) {
        return false;
    }
    CDescriptor opened = OpenRegular(file, O_RDONLY, true);
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
    char extra = 0;
    return ReadUpTo(opened.Get(), &extra, 1, file.strShown) == 0;
}

bool SameFile(const CFolder& folder, const std::string& a, const std::string& b) {
    struct stat infoA {};
    struct stat infoB {};
    return a.find('\0') == std::string::npos && b.find('\0') == std::string::npos &&
           ::fstatat(folder.Descriptor(), a.c_str(), &infoA, 0) == 0 &&
           ::fstatat(folder.Descriptor(), b.c_str(), &infoB, 0) == 0 && SameInode(infoA, infoB);
}

std::vector<std::string> ListFiles(const CFolder& folder, const std::string& shown) {
    const int fd = ::openat(folder.Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        ThrowFileError(errno, shown);
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        const int error = errno;
        ::close(fd);
        ThrowFileError(error, shown);
    }
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

// --- Writing whole files ----------------------------------------------------------------------

void ReplaceWholeFile(const FileRef& file, const void* data, std::int64_t size) {
    const std::size_t length = ByteCount(size);
    // A name that cannot be reached (a path through a file, a name too long) or must not be
    // written fails here rather than after the whole image has been written to the temporary.
    struct stat existing {};
    const bool bExists = ExistingFile(file, &existing);
    const CDescriptor lock = bExists ? LockReplacedFile(file) : CDescriptor();
    CTemporary temporary(file);
    WriteAll(temporary.Get(), data, length, file.strShown);
    TakeModeOf(temporary.Get(), bExists ? &existing : nullptr, file.strShown);
    temporary.Finish();
    const CReplacedFile replaced(file);
    temporary.RenameTo(file.strName);
    SyncFolder(file.folder, file.strShown);
}

void WriteBlock(const std::string& path, const void* buffer, std::size_t length,
                std::int64_t offset) {
    const FilePlace place(path);
    CDescriptor file = OpenRegular(place.Ref(), O_WRONLY | O_CREAT, true, 0666);
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

bool KeepAs(const FileRef& file, const FileRef& keep) {
    RequireUsableName(keep.strName, keep.strShown);
    CDescriptor opened = OpenRegular(file, O_RDONLY, true);
    InjectFault("link", keep.strShown);
    if (::linkat(file.folder.Descriptor(), file.strName.c_str(), keep.folder.Descriptor(),
                 keep.strName.c_str(), 0) == 0) {
        SyncFolder(keep.folder, keep.strShown);
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    const struct stat info = StatOf(opened.Get(), file.strShown);
    CTemporary copy({keep.folder, file.strName, keep.strShown});
    CopyContents(opened.Get(), copy.Get(), static_cast<std::int64_t>(info.st_size), keep.strShown);
    TakeModeOf(copy.Get(), nullptr, keep.strShown);
    copy.Finish();
    if (!copy.ClaimName(keep.strName)) {
        return false;
    }
    SyncFolder(keep.folder, keep.strShown);
    return true;
}

struct CNewFile::Handle {
    explicit Handle(const FileRef& file)
        : ref(file),
          bExists(ExistingFile(file, &existing)),
          lock(bExists ? LockReplacedFile(file) : CDescriptor()),
          temporary(file) {}
    FileRef ref;
    struct stat existing {};
    bool bExists;
    CDescriptor lock;
    CTemporary temporary;
};

CNewFile::CNewFile(const FileRef& file) : m_pHandle(std::make_unique<Handle>(file)) {}

CNewFile::~CNewFile() = default;

void CNewFile::Write(const void* data, std::size_t length) {
    WriteAll(m_pHandle->temporary.Get(), data, length, m_pHandle->ref.strShown);
}

void CNewFile::Commit() {
    Handle& h = *m_pHandle;
    TakeModeOf(h.temporary.Get(), h.bExists ? &h.existing : nullptr, h.ref.strShown);
    h.temporary.Finish();
    h.temporary.RenameTo(h.ref.strName);
    SyncFolder(h.ref.folder, h.ref.strShown);
}

// --- The program file of a pass ------------------------------------------------------------

struct CHeldFile::Handle {
    CDescriptor file;
    struct stat info {};
};

CHeldFile::CHeldFile(const FileRef& file, ELockWait wait, bool bToReplace)
    : m_ref(file), m_pHandle(std::make_unique<Handle>()) {
    // A file replaced by another pass while this one waited for the lock is opened again.
    for (int attempt = 0;; ++attempt) {
        // Opened for writing when it is to be replaced, though it is never written through this
        // descriptor: so a file the user may not change is refused as it was before.
        CDescriptor opened = OpenRegular(file, bToReplace ? O_RDWR : O_RDONLY, true);
        InjectFault("lock", file.strShown);
        int result = 0;
        do {
            result = ::flock(opened.Get(), LOCK_EX | (wait == ELockWait::Yes ? 0 : LOCK_NB));
        } while (result != 0 && errno == EINTR);
        if (result != 0) {
            if (errno == EWOULDBLOCK) {
                throw CFileError(EFileErrorCause::InUse, file.strShown);
            }
            // Network file systems may keep no locks: the pass goes on without one.
            if (errno != ENOLCK && errno != EOPNOTSUPP && errno != EINVAL) {
                ThrowFileError(errno, file.strShown);
            }
        }
        const struct stat held = StatOf(opened.Get(), file.strShown);
        struct stat named {};
        const bool bStillNamed = ::fstatat(file.folder.Descriptor(), file.strName.c_str(), &named,
                                           AT_SYMLINK_NOFOLLOW) == 0 &&
                                 SameInode(held, named);
        if (bStillNamed || attempt == 10) {
            if (!bStillNamed) {
                throw CFileError(EFileErrorCause::SharingViolation, file.strShown);
            }
            m_bLocked = result == 0;
            m_pHandle->info = held;
            m_pHandle->file = std::move(opened);
            break;
        }
    }
    m_identity = IdentityOf(m_pHandle->info);
    m_nLinks = static_cast<std::uint64_t>(m_pHandle->info.st_nlink);
}

CHeldFile::~CHeldFile() = default;

FileImage CHeldFile::Read() const {
    const int fd = m_pHandle->file.Get();
    const std::int64_t size = static_cast<std::int64_t>(StatOf(fd, m_ref.strShown).st_size);
    if (static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max()) {
        throw std::bad_alloc();
    }
    FileImage image;
    image.nSize = size;
    image.pBytes = MapImage(fd, static_cast<std::size_t>(size));
    if (image.pBytes != nullptr) {
        return image;
    }
    image.pBytes = AllocateImage(static_cast<std::size_t>(size));
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        ThrowFileError(errno, m_ref.strShown);
    }
    if (ReadUpTo(fd, image.pBytes.get(), static_cast<std::size_t>(size), m_ref.strShown) <
        static_cast<std::size_t>(size)) {
        throw CFileError(EFileErrorCause::EndOfFile, m_ref.strShown);
    }
    return image;
}

void CHeldFile::CheckUnchanged() const {
    InjectFault("length", m_ref.strShown);
    struct stat named {};
    const bool bSame = ::fstatat(m_ref.folder.Descriptor(), m_ref.strName.c_str(), &named,
                                 AT_SYMLINK_NOFOLLOW) == 0 &&
                       IdentityOf(named) == m_identity &&
                       IdentityOf(StatOf(m_pHandle->file.Get(), m_ref.strShown)) == m_identity;
    if (!bSame) {
        throw CFileError(EFileErrorCause::SharingViolation, m_ref.strShown);
    }
}

bool ClaimBackup(const CHeldFile& file, const FileRef& backup, bool bSyncLater) {
    RequireUsableName(backup.strName, backup.strShown);
    InjectFault("link", backup.strShown);
    const int fd = file.System().file.Get();
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), backup.folder.Descriptor(), backup.strName.c_str(),
                 AT_SYMLINK_FOLLOW) == 0) {
        if (!bSyncLater) {
            SyncFolder(backup.folder, backup.strShown);
        }
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    // No hard link here (a file system without them, a file of somebody else's, no /proc):
    // a copy, with the file's permissions but never its set-user-ID or set-group-ID bit.
    CTemporary copy({backup.folder, file.Ref().strName, backup.strShown});
    CopyContents(fd, copy.Get(), file.Identity().nSize, backup.strShown);
    const mode_t mode = file.System().info.st_mode & 0777;
    if (::fchmod(copy.Get(), mode) != 0) {
        ThrowFileError(errno, backup.strShown);
    }
    copy.Finish();
    if (!copy.ClaimName(backup.strName)) {
        return false;
    }
    SyncFolder(backup.folder, backup.strShown);
    return true;
}

namespace {

// The last steps of a replacement, its temporary written: the held file's mode, synced, and in
// its place when the name still leads to the held file as it was opened (another program may have
// replaced or changed it meanwhile: it is then left as it is).
void PutInPlace(CTemporary& temporary, const CHeldFile& file) {
    const FileRef& ref = file.Ref();
    TakeModeOf(temporary.Get(), &file.System().info, ref.strShown);
    temporary.Finish();
    file.CheckUnchanged();
    temporary.RenameTo(ref.strName);
    SyncFolder(ref.folder, ref.strShown);
}

}  // namespace

void ReplaceHeldFile(const CHeldFile& file, const void* data, std::int64_t size) {
    CTemporary temporary(file.Ref());
    WriteAll(temporary.Get(), data, ByteCount(size), file.Ref().strShown);
    PutInPlace(temporary, file);
}

struct CReplacement::Handle {
    explicit Handle(const CHeldFile& held) : file(held), temporary(held.Ref()) {}
    const CHeldFile& file;
    CTemporary temporary;
    std::int64_t nUnsynced = 0;  // bytes written since the last sync began
    std::future<void> syncing;   // a sync under way beside the writes

    // Waits for the sync under way; its failure is the replacement's.
    void WaitForSync() {
        if (syncing.valid()) {
            syncing.get();
        }
    }
};

CReplacement::CReplacement(const CHeldFile& file) : m_pHandle(std::make_unique<Handle>(file)) {}

CReplacement::~CReplacement() = default;

namespace {

// Once this much is written since the last sync, the next write ends with a sync: a large file's
// way to the disk is then spread over its writes, and the sync that makes it durable before it
// takes its name waits for little.
constexpr std::int64_t kSyncEvery = std::int64_t{32} << 20;

}  // namespace

void CReplacement::WriteAt(std::int64_t pos, std::span<const ByteSpan> pieces) {
    Handle& h = *m_pHandle;
    const std::string& shown = h.file.Ref().strShown;
    const int fd = h.temporary.Get();
    InjectFault("write", shown);
    const std::int64_t start = pos;
    std::vector<iovec> vectors;
    vectors.reserve(std::min<std::size_t>(pieces.size(), IOV_MAX));
    for (std::size_t next = 0; next < pieces.size();) {
        vectors.clear();
        for (; next < pieces.size() && vectors.size() < IOV_MAX; ++next) {
            if (pieces[next].nLength != 0) {
                vectors.push_back(
                    {const_cast<unsigned char*>(pieces[next].pData), pieces[next].nLength});
            }
        }
        // A short write leaves the rest of its vectors: go on from where it stopped.
        for (std::size_t first = 0; first < vectors.size();) {
            const int count =
                static_cast<int>(std::min<std::size_t>(vectors.size() - first, IOV_MAX));
            const ssize_t put = ::pwritev(fd, vectors.data() + first, count, pos);
            if (put < 0 && errno == EINTR) {
                continue;
            }
            if (put <= 0) {
                ThrowFileError(put < 0 ? errno : ENOSPC, shown);
            }
            pos += put;
            for (auto left = static_cast<std::size_t>(put); left != 0;) {
                iovec& vector = vectors[first];
                const std::size_t taken = std::min(left, vector.iov_len);
                vector.iov_base = static_cast<unsigned char*>(vector.iov_base) + taken;
                vector.iov_len -= taken;
                left -= taken;
                if (vector.iov_len == 0) {
                    ++first;
                }
            }
        }
    }
    // The sync runs beside the next writes: a sync of a virtual machine's disk costs about as
    // long as the writes took, and the pass need not wait for it.
    h.nUnsynced += pos - start;
    if (h.nUnsynced >= kSyncEvery && (!h.syncing.valid() || h.syncing.wait_for(std::chrono::seconds(
                                                                0)) == std::future_status::ready)) {
        h.WaitForSync();
        h.syncing = std::async(std::launch::async, [fd, &shown] { SyncFile(fd, shown); });
        h.nUnsynced = 0;
    }
}

void CReplacement::Commit() {
    Handle& h = *m_pHandle;
    // The file's permissions last: a write by its owner would take a set-user-ID bit off again.
    TakeModeOf(h.temporary.Get(), &h.file.System().info, h.file.Ref().strShown);
    h.WaitForSync();
    h.temporary.Finish();
    h.file.CheckUnchanged();
    h.temporary.RenameTo(h.file.Ref().strName);
    SyncFolder(h.file.Ref().folder, h.file.Ref().strShown);
}

void CCommitGroup::PutInPlace(std::vector<Entry> entries) {
    // One sync of each file system makes every new file (and every backup made before it)
    // durable before any takes its name: far cheaper than a sync of each file, which would wait
    // for the disk once per file. (It also waits for what other programs are writing to that
    // disk.)
    std::vector<dev_t> synced;
    std::vector<std::pair<dev_t, ino_t>> seen;
    std::vector<const FileRef*> folders;
    for (const Entry& entry : entries) {
        CReplacement::Handle& h = *entry.replacement->m_pHandle;
        const FileRef& ref = h.file.Ref();
        TakeModeOf(h.temporary.Get(), &h.file.System().info, ref.strShown);
        h.WaitForSync();
        const struct stat folder = StatOf(h.temporary.Folder(), ref.strShown);
        if (std::find(synced.begin(), synced.end(), folder.st_dev) == synced.end()) {
            InjectFault("sync", ref.strShown);
            // The folder is held for lookups only; syncfs() needs it opened.
            const int fd = ::openat(h.temporary.Folder(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0) {
                ThrowFileError(errno, ref.strShown);
            }
            const CDescriptor opened(fd);
            if (::syncfs(fd) != 0) {
                ThrowFileError(errno, ref.strShown);
            }
            synced.push_back(folder.st_dev);
        }
        const auto key = std::make_pair(folder.st_dev, folder.st_ino);
        if (std::find(seen.begin(), seen.end(), key) == seen.end()) {
            seen.push_back(key);
            folders.push_back(&ref);
        }
    }
    for (Entry& entry : entries) {
        CTemporary& temporary = entry.replacement->m_pHandle->temporary;
        temporary.Close();
        entry.file->CheckUnchanged();
        temporary.RenameTo(entry.file->Ref().strName);
    }
    // Each folder once: the new names durable.
    for (const FileRef* ref : folders) {
        SyncFolder(ref->folder, ref->strShown);
    }
}

// --- Temporaries ------------------------------------------------------------------------------

namespace {

// The names in the folder that look like temporaries: a name, the mark and six letters.
std::vector<std::string> TemporariesIn(const CFolder& folder) {
    std::vector<std::string> found;
    const int fd = ::openat(folder.Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return found;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() > kTemporaryTail &&
            name.substr(name.size() - kTemporaryTail).starts_with(kTemporaryMark)) {
            found.emplace_back(name);
        }
    }
    ::closedir(dir);
    return found;
}

// Removes those of `temporaries` made for `name`, and takes them off the list.
void RemoveTemporariesOf(const CFolder& folder, const std::string& name,
                         std::vector<std::string>& temporaries) {
    const std::string stem = TemporaryStem(name) + kTemporaryMark;
    std::erase_if(temporaries, [&](const std::string& temporary) {
        if (temporary.size() != stem.size() + 6 || !temporary.starts_with(stem)) {
            return false;
        }
        ::unlinkat(folder.Descriptor(), temporary.c_str(), 0);
        return true;
    });
}

}  // namespace

void RemoveStaleTemporaries(const CFolder& folder, const std::string& name) {
    std::vector<std::string> temporaries = TemporariesIn(folder);
    RemoveTemporariesOf(folder, name, temporaries);
}

struct CStaleTemporaries::Folders {
    struct Seen {
        dev_t device;
        ino_t inode;
        std::vector<std::string> temporaries;
    };
    std::vector<Seen> seen;
};

CStaleTemporaries::CStaleTemporaries() : m_pFolders(std::make_unique<Folders>()) {}

CStaleTemporaries::~CStaleTemporaries() = default;

void CStaleTemporaries::Remove(const CFolder& folder, const std::string& name) {
    struct stat info {};
    if (::fstat(folder.Descriptor(), &info) != 0) {
        RemoveStaleTemporaries(folder, name);
        return;
    }
    std::vector<Folders::Seen>& seen = m_pFolders->seen;
    auto it = std::find_if(seen.begin(), seen.end(), [&info](const Folders::Seen& folder) {
        return folder.device == info.st_dev && folder.inode == info.st_ino;
    });
    if (it == seen.end()) {
        it = seen.insert(seen.end(), {info.st_dev, info.st_ino, TemporariesIn(folder)});
    }
    RemoveTemporariesOf(folder, name, it->temporaries);
}

void RemoveTemporariesOnSignals(int wakeFd) {
    g_nWakeFd = wakeFd;
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndGoOn;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

// --- Elsewhere ------------------------------------------------------------------------------

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
