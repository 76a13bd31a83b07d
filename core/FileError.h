// A failed file operation ends the user's action with a file error: the cause and the file name
// exactly as the failing operation received it.
#pragma once

#include <stdexcept>
#include <string>

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

// The cause an errno value stands for.
EFileErrorCause CauseFromErrno(int error);

// Raises the file error for errno value `error` on `fileName`.
[[noreturn]] void ThrowFileError(int error, const std::string& fileName);

// The text for any failure that ends a user action: a file error's text, "記憶體不足." for an
// exhausted allocation, the generic text otherwise.
std::string FailureText(const std::exception& failure);
