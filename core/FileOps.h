// The small file operations the passes and dialogs use. Each either succeeds or raises
// CFileError (cause and the file name as given); none returns an error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ImageBuffer.h"

// Whether anything of that name exists.
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

// A whole file held in memory.
struct FileImage {
    ImageBuffer pBytes;
    std::int64_t nSize = 0;
};

// Reads the whole file: its length, a buffer of that length, every byte. A file that turns out
// shorter than its length raises the end-of-file error; an allocation that fails throws
// std::bad_alloc.
FileImage ReadWholeFile(const std::string& path);

// Makes `path` hold exactly `size` bytes of `data`, created or replaced as a whole. The bytes go
// to a temporary file in the same folder first, which then takes the name; on failure the
// temporary is removed and an earlier file of that name stays as it was.
void ReplaceWholeFile(const std::string& path, const void* data, std::int64_t size);

// Which file a name stands for, and as it stood: its device, its inode, its length and the time
// of its last change.
struct FileIdentity {
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
    std::int64_t nSize = -1;
    std::int64_t nModifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity FileIdentityOf(const std::string& path);

// Writes `size` bytes of `data` over the existing file from offset 0, without creating it and
// without truncating it: the in-place write-back of a program file. With `pExpected`, a file that
// is no longer the one it stood for (replaced, or changed by another program) is left alone and
// the write fails with the sharing violation.
void WriteInPlace(const std::string& path, const void* data, std::int64_t size,
                  const FileIdentity* pExpected = nullptr);

// Makes the destination an exact copy of the source, whatever its earlier length.
void CopyWholeFile(const std::string& source, const std::string& destination);

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
    int m_fd;
    std::string m_strPath;
};

// Makes a folder; one that exists already is no failure.
void MakeFolder(const std::string& path);

// Tests make a file operation fail on purpose: the hook sees each operation as it is about to run
// ("open", "seek", "read", "write", "length", "close", "create", "rename", "mkdir") with the file's
// name, and returns the errno value to fail it with, or 0 to let it run. nullptr removes it.
using FileFaultHook = int (*)(const char* operation, const std::string& path);
void SetFileFaultHook(FileFaultHook hook);
