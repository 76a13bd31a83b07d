// A failed file operation ends the user's action with a file error: the cause and the file name
// exactly as the failing operation received it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

enum class EFileErrorCause {
    None,
    Generic,
    FileNotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFile,
    RemoveCurrentDir,
    DirectoryFull,
    BadSeek,
    HardwareIo,
    SharingViolation,
    LockViolation,
    DiskFull,
    EndOfFile,
    // Causes the operating system reports that Windows did not tell apart.
    IsFolder,      // a folder where a file is wanted
    ReadOnlyDisk,  // the file lies on a disk that cannot be written
    // What VOKRA refuses on its own, before the system is asked.
    NotAFile,       // a device, a pipe or another special file
    IsLink,         // a symbolic link where VOKRA would write
    InUse,          // another VOKRA pass works on the file
    NoBackupName,   // every backup name holds something else
    NoBackup,       // nothing to restore the file from
    SameAsProgram,  // a file made from the program file would be the program file itself
    BrokenProgram,  // claims to be a Windows program, but its structure does not read
};

class CFileError : public std::runtime_error {
  public:
    CFileError(EFileErrorCause cause, std::string fileName);

    EFileErrorCause Cause() const { return m_cause; }
    const std::string& FileName() const { return m_strFileName; }
    // The text shown in the message box, with the file name in place of %1 ("未命名檔案" for an
    // empty name).
    std::string Text() const;

  private:
    EFileErrorCause m_cause;
    std::string m_strFileName;
};

// A message text with `first` in place of each "%1" and `second` in place of each "%2".
std::string FillIn(std::string_view text, std::string_view first, std::string_view second = {});

// The cause an errno value stands for.
EFileErrorCause CauseFromErrno(int error);

// Raises the file error for errno value `error` on `fileName`.
[[noreturn]] void ThrowFileError(int error, const std::string& fileName);

// The text for any failure that ends a user action: a file error's text, "記憶體不足." for an
// exhausted allocation, the generic text otherwise.
std::string FailureText(const std::exception& failure);
