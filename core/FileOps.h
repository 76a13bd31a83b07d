// The one file layer of VOKRA: every program, tool and companion reads and writes files through
// it, on Linux (FileOpsPosix.cpp) and on Windows (FileOpsWindows.cpp, for Mender.exe). Each
// operation either succeeds or raises CFileError with its cause and the file's name as the caller
// gave it; none returns an error code.
//
// Files are named within a folder (CFolder) that is opened once: names resolve against that
// folder whatever becomes of the process's current folder, so passes over files in different
// folders need no change of the current folder. The operations that take a plain path split it at
// its last separator and open its folder for the moment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ImageBuffer.h"

// A folder files are opened in by name.
class CFolder {
  public:
    // The process's current folder as it is now.
    static CFolder Current();
    // The folder `path` names (links among its folders are followed). A failure to open it names
    // `shownOnFailure`: the folder itself, or the file it was opened for.
    static CFolder Open(const std::string& path);
    static CFolder Open(const std::string& path, const std::string& shownOnFailure);

    CFolder(CFolder&& other) noexcept;
    CFolder& operator=(CFolder&& other) noexcept;
    CFolder(const CFolder&) = delete;
    CFolder& operator=(const CFolder&) = delete;
    ~CFolder();

#ifdef _WIN32
    // The folder as a prefix of the names given to the system's calls: empty, or ending with a
    // separator.
    const std::string& Prefix() const {
        return m_strPrefix;
    }
#else
    // The open folder, for the *at() calls.
    int Descriptor() const {
        return m_fd;
    }
#endif

  private:
    CFolder() = default;
#ifdef _WIN32
    std::string m_strPrefix;
#else
    int m_fd = -1;
#endif
};

// A file by its name in an open folder, and the name messages give it (the path as the user gave
// it, or the bare name of a file beside it).
struct FileRef {
    const CFolder& folder;
    std::string strName;
    std::string strShown;
};

// A file named by a path: its folder, opened, and its name in it. A path without a separator
// names a file of the current folder; one that ends with a separator names the folder itself. A
// failure to reach the folder names the whole path.
struct FilePlace {
    explicit FilePlace(const std::string& path);
    FileRef Ref() const { return {folder, strName, strShown}; }

    CFolder folder;
    std::string strName;   // the last part of the path ("." for a path ending in a separator)
    std::string strShown;  // the path as given
};

// A whole file held in memory.
struct FileImage {
    ImageBuffer pBytes;
    std::int64_t nSize = 0;
};

// Which file a name stands for, and as it stood: its device, its inode, its length and the time
// of its last change.
struct FileIdentity {
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
    std::int64_t nSize = -1;
    std::int64_t nModifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// --- Reading --------------------------------------------------------------------------------
// Reads take regular files only: a folder raises IsFolder, a device, a pipe or another special
// file NotAFile (a pipe is never waited on).

// Whether anything of that name exists there.
bool FileExists(const FileRef& file);
bool FileExists(const std::string& path);

// Reads the whole file: its length, a buffer of that length, every byte. A file that turns out
// shorter than its length raises the end-of-file error; an allocation that fails throws
// std::bad_alloc.
FileImage ReadWholeFile(const FileRef& file);
FileImage ReadWholeFile(const std::string& path);

// Opens the file for reading, seeks to `offset`, reads up to `length` bytes into `buffer` (fewer
// when the file ends first; the rest of the buffer is left as it was) and closes it. Returns the
// number of bytes read.
std::size_t ReadBlock(const std::string& path, void* buffer, std::size_t length,
                      std::int64_t offset);

FileIdentity FileIdentityOf(const FileRef& file);
FileIdentity FileIdentityOf(const std::string& path);

// What a name holds, without following a link.
enum class EEntry { None, File, Link, Other };
struct FileEntry {
    EEntry kind = EEntry::None;
    FileIdentity identity;  // of a file
};
FileEntry LookAt(const FileRef& file);

// Whether the name is a regular file (not a link to one) holding exactly `size` bytes of `data`.
bool HoldsExactly(const FileRef& file, const void* data, std::int64_t size);

// Whether both names of the folder lead to one and the same existing file.
bool SameFile(const CFolder& folder, const std::string& a, const std::string& b);

// The names of the plain files in the folder (not of folders), in no particular order. A
// failure names `shown`.
std::vector<std::string> ListFiles(const CFolder& folder, const std::string& shown);

// --- Writing whole files ----------------------------------------------------------------------
// A file VOKRA makes is written to a temporary beside its name ("NAME.vokra-" and six letters),
// synced, and then takes the name, the folder synced too: after a kill, a crash, a power loss or
// a full disk at any moment the name holds the earlier file or the new one, never a mix. No link
// is followed: a symbolic link at the name raises IsLink.

// Makes the file hold exactly `size` bytes of `data`, created or replaced as a whole. A replaced
// file's mode and, where the system permits, its owner are kept; the set-user-ID and set-group-ID
// bits only with the owner.
void ReplaceWholeFile(const FileRef& file, const void* data, std::int64_t size);
void ReplaceWholeFile(const std::string& path, const void* data, std::int64_t size);

// Makes the destination an exact copy of the source, whatever its earlier length.
void CopyWholeFile(const std::string& source, const std::string& destination);

// Opens the file for writing without truncating it (creating it when absent), seeks to
// `offset`, writes `length` bytes and closes it. Bytes outside the block stay as they were.
void WriteBlock(const std::string& path, const void* buffer, std::size_t length,
                std::int64_t offset);

// Makes a folder; one that exists already is no failure.
void MakeFolder(const std::string& path);

// Makes `keep` (a free name in the same folder) a second name of the regular file `file`, or a
// synced copy of it where the file system has no hard links; the folder is synced. Returns false,
// making nothing, when `keep` is taken.
bool KeepAs(const FileRef& file, const FileRef& keep);

// A file written piece after piece, the listing a pass writes as it goes: the pieces go to a
// temporary, and Commit() gives it the name as a whole (replacing an earlier file of that name).
// Without Commit() the temporary is removed and the name keeps what it held.
class CNewFile {
  public:
    explicit CNewFile(const FileRef& file);
    ~CNewFile();
    CNewFile(const CNewFile&) = delete;
    CNewFile& operator=(const CNewFile&) = delete;

    void Write(const void* data, std::size_t length);
    void Write(std::string_view text) { Write(text.data(), text.size()); }
    void Commit();

  private:
    struct Handle;
    std::unique_ptr<Handle> m_pHandle;
};

// --- The program file of a pass ------------------------------------------------------------

// Whether a pass waits for another VOKRA pass that holds its file, or stops at once.
enum class ELockWait { No, Yes };

// The program file a pass works on, open and locked against other VOKRA passes while it is held.
class CHeldFile {
  public:
    // Opens the file and takes its lock. Refuses a symbolic link (the last part of the name
    // only: links among its folders are followed), a folder and any special file; with
    // `bToReplace`, also a file the user may not write (read-only, on a read-only disk, a running
    // program). When another pass holds the lock: InUse, or a wait for it. Where the file system
    // keeps no locks, the pass goes on without one (Locked() is false).
    CHeldFile(const FileRef& file, ELockWait wait, bool bToReplace);
    ~CHeldFile();
    CHeldFile(const CHeldFile&) = delete;
    CHeldFile& operator=(const CHeldFile&) = delete;

    const FileRef& Ref() const { return m_ref; }
    bool Locked() const { return m_bLocked; }
    // The file as it was opened, and how many names (hard links) it had.
    const FileIdentity& Identity() const { return m_identity; }
    std::uint64_t Links() const { return m_nLinks; }

    // Every byte of the file.
    FileImage Read() const;
    // Raises the sharing violation when the name no longer leads to this file as it was opened:
    // another program replaced or changed it.
    void CheckUnchanged() const;

    struct Handle;
    const Handle& System() const { return *m_pHandle; }

  private:
    FileRef m_ref;
    std::unique_ptr<Handle> m_pHandle;
    FileIdentity m_identity;
    std::uint64_t m_nLinks = 1;
    bool m_bLocked = false;
};

// Makes `backup` (in the held file's folder) hold the held file's contents as they are now,
// claiming the name atomically: a hard link to the file where the file system allows, a synced
// copy otherwise. The folder is synced unless `bSyncLater` (a commit group syncs before any file
// of it is replaced). Returns false, making nothing, when the name is taken by anything, a link
// included.
bool ClaimBackup(const CHeldFile& file, const FileRef& backup, bool bSyncLater = false);

// Replaces the held file by `size` bytes of `data` as a whole, as ReplaceWholeFile does: the
// name must still lead to the held file as it was opened (else the sharing violation, and nothing
// changes). Other names of the file (hard links) keep the earlier contents.
void ReplaceHeldFile(const CHeldFile& file, const void* data, std::int64_t size);

// Bytes to write, somewhere in memory.
struct ByteSpan {
    const unsigned char* pData = nullptr;
    std::size_t nLength = 0;
};

// The new contents of a held file, made beside it: WriteAt() writes its bytes, in any order,
// Commit() puts it in place as ReplaceHeldFile does. Destroyed without Commit(), it leaves nothing.
class CReplacement {
  public:
    explicit CReplacement(const CHeldFile& file);
    ~CReplacement();
    CReplacement(const CReplacement&) = delete;
    CReplacement& operator=(const CReplacement&) = delete;

    // Writes `pieces`, one after the other, from byte `pos` of the new contents on. Every few
    // dozen megabytes a write ends with a sync: the sync that makes the file durable before it
    // takes its name then waits for little. One call at a time, from any thread.
    void WriteAt(std::int64_t pos, std::span<const ByteSpan> pieces);
    void Commit();

  private:
    friend class CCommitGroup;
    struct Handle;
    std::unique_ptr<Handle> m_pHandle;
};

// Replacements put in place together, for a run over many files: the new files are made durable
// with one sync of their file system, renamed into place, and their folders synced once, instead
// of two syncs for every file. Each file is still either as it was or replaced as a whole, its
// backup durable before it is replaced. What is not committed is dropped, its files untouched.
class CCommitGroup {
  public:
    CCommitGroup();
    // Waits for a commit still under way beside the passes.
    ~CCommitGroup();
    CCommitGroup(const CCommitGroup&) = delete;
    CCommitGroup& operator=(const CCommitGroup&) = delete;

    // A file, held, with its replacement written.
    void Add(std::unique_ptr<FilePlace> place, std::unique_ptr<CHeldFile> file,
             std::unique_ptr<CReplacement> replacement);
    std::size_t Size() const;
    // Whether the group, or a commit of it under way, holds the file `file` names: a pass on it
    // must wait for the commit.
    bool Holds(const FileRef& file) const;
    // Puts the replacements in place beside the passes that follow, in a thread of its own (the
    // syncs wait for the disk, the passes need not). A failure of the commit made beside the
    // passes before it is raised here, and this group is then left for Commit().
    void CommitBeside();
    // Puts every replacement in place, waiting for a commit under way first; a failure stops
    // there, the rest left as they were.
    void Commit();

    struct Entry {
        std::unique_ptr<FilePlace> place;
        std::unique_ptr<CHeldFile> file;
        std::unique_ptr<CReplacement> replacement;
    };

  private:
    // The commit itself, on each system its own.
    static void PutInPlace(std::vector<Entry> entries);

    std::vector<Entry> m_entries;
    std::vector<FileIdentity> m_committing;  // the files of the commit under way
    std::future<void> m_commit;
};

// --- Temporaries ------------------------------------------------------------------------------

// Removes the temporaries a killed run left beside `name`.
void RemoveStaleTemporaries(const CFolder& folder, const std::string& name);

// The same for a run over many files: each folder is looked through once, at its first file,
// instead of once for every file (a folder of a few thousand programs would otherwise be read a
// few thousand times). Only what lay there at that first look is stale: this run's own
// temporaries come later.
class CStaleTemporaries {
  public:
    CStaleTemporaries();
    ~CStaleTemporaries();
    CStaleTemporaries(const CStaleTemporaries&) = delete;
    CStaleTemporaries& operator=(const CStaleTemporaries&) = delete;

    void Remove(const CFolder& folder, const std::string& name);

  private:
    struct Folders;
    std::unique_ptr<Folders> m_pFolders;
};

// On SIGINT and SIGTERM, removes the temporaries being written. Without `wakeFd` the signal then
// ends the process as it would have; with it, a byte is written to `wakeFd` and the process goes
// on (a window ends itself when it reads it).
void RemoveTemporariesOnSignals(int wakeFd = -1);

// The folder that holds the running program, without a separator at its end.
std::string ProgramFolder();

// Tests make a file operation fail on purpose: the hook sees each operation as it is about to run
// ("open", "seek", "read", "write", "length", "close", "create", "sync", "link", "rename",
// "mkdir", "lock") with the file's name, and returns the errno value to fail it with, or 0 to let
// it run. nullptr removes it.
using FileFaultHook = int (*)(const char* operation, const std::string& path);
void SetFileFaultHook(FileFaultHook hook);
