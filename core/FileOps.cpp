// The file operations that are the same on every system: those that take a plain path open its
// folder and go on with the file in it.
#include "FileOps.h"
#include "FileError.h"

bool FileExists(const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        return false;
    }
    try {
        return FileExists(FilePlace(path).Ref());
    } catch (const CFileError&) {
        return false;
    }
}

FileImage ReadWholeFile(const std::string& path) {
    return ReadWholeFile(FilePlace(path).Ref());
}

void ReplaceWholeFile(const std::string& path, const void* data, std::int64_t size) {
    ReplaceWholeFile(FilePlace(path).Ref(), data, size);
}

FileIdentity FileIdentityOf(const std::string& path) {
    return FileIdentityOf(FilePlace(path).Ref());
}

void CopyWholeFile(const std::string& source, const std::string& destination) {
    const FileImage image = ReadWholeFile(source);
    ReplaceWholeFile(destination, image.pBytes.get(), image.nSize);
}
