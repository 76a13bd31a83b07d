// Mender's own small file layer, for Linux and for Windows alike: whole-file reads, the safe
// replacement of a backup, the in-place write of a program file, folder listings and console
// output. Every failure raises CFileError with the file name as given.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace mender {

// The folder separator of the system, and whether `c` separates folders there.
#ifdef _WIN32
inline constexpr char kFolderSeparator = '\\';
inline bool IsFolderSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}
#else
inline constexpr char kFolderSeparator = '/';
inline bool IsFolderSeparator(char c) {
    return c == '/';
}
#endif

// Every byte of the file.
std::string ReadWholeFile(const std::string& path);

// Makes `path` hold exactly `bytes`: they go to a new temporary file beside it first, which then
// takes the name. On failure the temporary is removed and an earlier file of that name stays as
// it was.
void ReplaceWholeFile(const std::string& path, std::string_view bytes);

// Writes `bytes` over the existing file from its first byte, without creating it and without
// shortening it.
void WriteOver(const std::string& path, std::string_view bytes);

bool FileExists(const std::string& path);

// Whether both names reach one and the same existing file.
bool SameFile(const std::string& a, const std::string& b);

// The names of the plain files in `folder` (not of folders).
std::vector<std::string> ListFiles(const std::string& folder);

// The folder that holds the running program, without a separator at its end.
std::string ProgramFolder();

// A file name as it can be shown among UTF-8 texts: on Windows names come in the system's code
// page; on Linux they are shown as they are.
std::string DisplayName(const std::string& name);

// Writes UTF-8 text to the stream; a Windows console gets it as Unicode.
void WriteText(std::FILE* stream, const std::string& text);

}  // namespace mender
