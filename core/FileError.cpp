#include "FileError.h"

#include <cerrno>
#include <new>
#include <utility>

#include "Texts.h"

namespace {

const char* CauseTemplate(EFileErrorCause cause) {
    switch (cause) {
        case EFileErrorCause::None:
            return texts::kErrorNone;
        case EFileErrorCause::Generic:
            return texts::kErrorGeneric;
        case EFileErrorCause::FileNotFound:
            return texts::kErrorFileNotFound;
        case EFileErrorCause::BadPath:
            return texts::kErrorBadPath;
        case EFileErrorCause::TooManyOpenFiles:
            return texts::kErrorTooManyOpenFiles;
        case EFileErrorCause::AccessDenied:
            return texts::kErrorAccessDenied;
        case EFileErrorCause::InvalidFile:
            return texts::kErrorInvalidFile;
        case EFileErrorCause::RemoveCurrentDir:
            return texts::kErrorRemoveCurrentDir;
        case EFileErrorCause::DirectoryFull:
            return texts::kErrorDirectoryFull;
        case EFileErrorCause::BadSeek:
            return texts::kErrorBadSeek;
        case EFileErrorCause::HardwareIo:
            return texts::kErrorHardwareIo;
        case EFileErrorCause::SharingViolation:
            return texts::kErrorSharingViolation;
        case EFileErrorCause::LockViolation:
            return texts::kErrorLockViolation;
        case EFileErrorCause::DiskFull:
            return texts::kErrorDiskFull;
        case EFileErrorCause::EndOfFile:
            return texts::kErrorEndOfFile;
        case EFileErrorCause::IsFolder:
            return texts::kErrorIsFolder;
        case EFileErrorCause::ReadOnlyDisk:
            return texts::kErrorReadOnlyDisk;
        case EFileErrorCause::NotAFile:
            return texts::kErrorNotAFile;
        case EFileErrorCause::IsLink:
            return texts::kErrorIsLink;
        case EFileErrorCause::InUse:
            return texts::kErrorInUse;
        case EFileErrorCause::NoBackupName:
            return texts::kErrorNoBackupName;
        case EFileErrorCause::NoBackup:
            return texts::kErrorNoBackup;
        case EFileErrorCause::SameAsProgram:
            return texts::kErrorSameAsProgram;
        case EFileErrorCause::BrokenProgram:
            return texts::kErrorBrokenProgram;
    }
    // A value outside the enumeration (a cast gone wrong) still gets a readable message.
    return texts::kErrorGeneric;
}

std::string FormatText(EFileErrorCause cause, const std::string& fileName) {
    return FillIn(CauseTemplate(cause), fileName.empty() ? texts::kUnnamedFile : fileName);
}

}  // namespace

std::string FillIn(std::string_view text, std::string_view first, std::string_view second) {
    std::string filled;
    // Left to right, and on after each inserted value, so that a name that itself holds "%1" is
    // not filled in again.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            filled += text[i + 1] == '1' ? first : second;
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

CFileError::CFileError(EFileErrorCause cause, std::string fileName)
    : std::runtime_error(FormatText(cause, fileName)),
      m_cause(cause),
      m_strFileName(std::move(fileName)) {}

std::string CFileError::Text() const {
    return FormatText(m_cause, m_strFileName);
}

EFileErrorCause CauseFromErrno(int error) {
    switch (error) {
        case ENOENT:
            return EFileErrorCause::FileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
            return EFileErrorCause::BadPath;
        case EMFILE:
        case ENFILE:
            return EFileErrorCause::TooManyOpenFiles;
        case EACCES:
        case EPERM:
            return EFileErrorCause::AccessDenied;
        case EISDIR:
            return EFileErrorCause::IsFolder;
        case EROFS:
            return EFileErrorCause::ReadOnlyDisk;
        case EBADF:
            return EFileErrorCause::InvalidFile;
        case ESPIPE:
            return EFileErrorCause::BadSeek;
        case EIO:
            return EFileErrorCause::HardwareIo;
        case ETXTBSY:
        case EBUSY:
            return EFileErrorCause::SharingViolation;
        case ENOLCK:
        case EDEADLK:
            return EFileErrorCause::LockViolation;
        case ENOSPC:
#ifdef EDQUOT  // Windows has no disk quotas of this kind
        case EDQUOT:
#endif
            return EFileErrorCause::DiskFull;
        default:
            return EFileErrorCause::Generic;
    }
}

void ThrowFileError(int error, const std::string& fileName) {
    throw CFileError(CauseFromErrno(error), fileName);
}

std::string FailureText(const std::exception& failure) {
    if (const auto* fileError = dynamic_cast<const CFileError*>(&failure)) {
        return fileError->Text();
    }
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        return texts::kOutOfMemory;
    }
    // Anything else has no file to name; the generic text then speaks of an unnamed file.
    return FormatText(EFileErrorCause::Generic, std::string());
}
