// What Mender shows on its console, on Linux and on Windows alike: file names as they can be
// shown among UTF-8 texts, and UTF-8 texts written so that a Windows console shows them.
#pragma once

#include <cstdio>
#include <string>

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

// A file name as it can be shown among UTF-8 texts: on Windows names come in the system's code
// page; on Linux they are shown as they are.
std::string DisplayName(const std::string& name);

// Writes UTF-8 text to the stream; a Windows console gets it as Unicode.
void WriteText(std::FILE* stream, const std::string& text);

}  // namespace mender
