// The file operations that are the same on every system: those that take a plain path open its
// folder and go on with the file in it.
#include "FileOps.h"

#include <algorithm>
#include <utility>

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

CCommitGroup::CCommitGroup() = default;

CCommitGroup::~CCommitGroup() {
    if (m_commit.valid()) {
        m_commit.wait();
    }
}

void CCommitGroup::Add(std::unique_ptr<FilePlace> place, std::unique_ptr<CHeldFile> file,
                       std::unique_ptr<CReplacement> replacement) {
    m_entries.push_back({std::move(place), std::move(file), std::move(replacement)});
}

std::size_t CCommitGroup::Size() const {
    return m_entries.size();
}

bool CCommitGroup::Holds(const FileRef& file) const {
    FileIdentity named;
    try {
        named = FileIdentityOf(file);
    } catch (const CFileError&) {
        return false;
    }
    const auto same = [&named](const FileIdentity& held) {
        return held.nDevice == named.nDevice && held.nInode == named.nInode;
    };
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&same](const Entry& entry) { return same(entry.file->Identity()); }) ||
           std::any_of(m_committing.begin(), m_committing.end(), same);
}

void CCommitGroup::CommitBeside() {
    if (m_commit.valid()) {
        m_commit.get();
    }
    m_committing.clear();
    for (const Entry& entry : m_entries) {
        m_committing.push_back(entry.file->Identity());
    }
    m_commit = std::async(std::launch::async, [entries = std::exchange(m_entries, {})]() mutable {
        PutInPlace(std::move(entries));
    });
}

void CCommitGroup::Commit() {
    if (m_commit.valid()) {
        m_commit.get();
    }
    m_committing.clear();
    PutInPlace(std::exchange(m_entries, {}));
}
