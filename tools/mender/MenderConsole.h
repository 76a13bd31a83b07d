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

// A file name or a text from a file (UTF-8, as every name is held) as it may be shown on a console:
// control characters and bytes that are no UTF-8 as escapes.
std::string DisplayName(const std::string& name);

// Writes UTF-8 text to the stream; a Windows console gets it as Unicode.
void WriteText(std::FILE* stream, const std::string& text);

}  // namespace mender
