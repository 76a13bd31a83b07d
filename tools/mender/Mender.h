// Mender: applies a translation text file to its program file, on the user's machine, exactly as
// the manual window's Write does: a backup first, then every run the scanner meets looked up in
// the translation text file and laid in where it fits, then one write of the whole file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace mender {

// The fourth header line of a translation text file begins with these bytes: "// 原文檔：" in
// the dictionary code; the program file's name follows up to the line end.
inline constexpr char kProgramLinePrefix[] = "// \xAD\xEC\xA4\xE5\xC0\xC9\xA1\x47";
inline constexpr int kProgramLineIndex = 3;

// Whether the bytes are a translation text file's: its fourth line begins with the prefix.
bool HasProgramLine(std::string_view translationBytes);

// The program file's name from the fourth header line, without the line end; empty when there
// is no such line or it names nothing.
std::string HeaderProgramName(std::string_view translationBytes);

// Whether a name read from a file is a bare file name: nothing that could lead out of the
// current folder (no folder separators, no drive, not "." or "..").
bool IsBareFileName(std::string_view name);

// The backup names Mender may use for `programPath`, in order: beside it, its name without
// extension plus ".BAK", then ".B01" to ".B09".
std::vector<std::string> BackupNames(const std::string& programPath);

// Runs Mender with its arguments (without the program's own name): messages and the summary go
// to `out`, failures to `err`. Returns the exit status: 0 done, 1 nothing or not everything
// done (a message says which), 2 wrong use.
int RunMender(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace mender
