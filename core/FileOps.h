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
#include <memory>
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

// --- Files in a folder ----------------------------------------------------------------------

// Whether anything of that name exists there.
bool FileExists(const FileRef& file);

// Reads the whole file: its length, a buffer of that length, every byte. A file that turns out
// shorter than its length raises the end-of-file error; an allocation that fails throws
// std::bad_alloc.
FileImage ReadWholeFile(const FileRef& file);

// Makes the file hold exactly `size` bytes of `data`, created or replaced as a whole. The bytes go
// to a temporary file in the same folder first, which then takes the name; on failure the
// temporary is removed and an earlier file of that name stays as it was.
void ReplaceWholeFile(const FileRef& file, const void* data, std::int64_t size);

FileIdentity FileIdentityOf(const FileRef& file);

// Writes `size` bytes of `data` over the existing file from offset 0, without creating it and
// without truncating it: the in-place write-back of a program file. With `pExpected`, a file that
// is no longer the one it stood for (replaced, or changed by another program) is left alone and
// the write fails with the sharing violation.
void WriteInPlace(const FileRef& file, const void* data, std::int64_t size,
                  const FileIdentity* pExpected = nullptr);

// Whether both names of the folder lead to one and the same existing file.
bool SameFile(const CFolder& folder, const std::string& a, const std::string& b);

// The names of the plain files in the folder (not of folders), in no particular order. A
// failure names `shown`.
std::vector<std::string> ListFiles(const CFolder& folder, const std::string& shown);

// --- Files by path --------------------------------------------------------------------------

bool FileExists(const std::string& path);

// Opens the file for reading, seeks to `offset`, reads up to `length` bytes into `buffer` (fewer
// when the file ends first; the rest of the buffer is left as it was) and closes it. Returns the
// number of bytes read.
std::size_t ReadBlock(const std::string& path, void* buffer, std::size_t length,
                      std::int64_t offset);

// Opens the file for writing without truncating it (creating it when absent), seeks to
// `offset`, writes `length` bytes and closes it. Bytes outside the block stay as they were.
void WriteBlock(const std::string& path, const void* buffer, std::size_t length,
                std::int64_t offset);

FileImage ReadWholeFile(const std::string& path);
void ReplaceWholeFile(const std::string& path, const void* data, std::int64_t size);
FileIdentity FileIdentityOf(const std::string& path);
void WriteInPlace(const std::string& path, const void* data, std::int64_t size,
                  const FileIdentity* pExpected = nullptr);

// Makes the destination an exact copy of the source, whatever its earlier length.
void CopyWholeFile(const std::string& source, const std::string& destination);

// Makes a folder; one that exists already is no failure.
void MakeFolder(const std::string& path);

// A file written from its start, piece after piece, through one open descriptor: the listing a
// pass writes as it goes. Opening creates the file or empties an existing one.
class CListingFile {
  public:
    explicit CListingFile(const std::string& path);
    ~CListingFile();
    CListingFile(const CListingFile&) = delete;
    CListingFile& operator=(const CListingFile&) = delete;

    void Write(const void* data, std::size_t length);
    void Write(std::string_view text) { Write(text.data(), text.size()); }
    void Close();

  private:
    struct Handle;
    std::unique_ptr<Handle> m_pHandle;
    std::string m_strPath;
};

// The folder that holds the running program, without a separator at its end.
std::string ProgramFolder();

// Tests make a file operation fail on purpose: the hook sees each operation as it is about to run
// ("open", "seek", "read", "write", "length", "close", "create", "rename", "mkdir") with the file's
// name, and returns the errno value to fail it with, or 0 to let it run. nullptr removes it.
using FileFaultHook = int (*)(const char* operation, const std::string& path);
void SetFileFaultHook(FileFaultHook hook);
