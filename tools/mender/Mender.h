// Mender: applies a translation text file to its program file, on the user's machine, exactly as
// the manual window's Write does: a backup first, then every run the scanner meets looked up in
// the translation text file and laid in where it fits, then one write of the whole file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace mender {

// Whether a name read from a file is a bare file name: nothing that could lead out of the
// current folder (no folder separators, no drive, not "." or "..").
bool IsBareFileName(std::string_view name);

// Runs Mender with its arguments (without the program's own name): messages and the summary go
// to `out`, failures to `err`. Returns the exit status: 0 done, 1 nothing or not everything
// done (a message says which), 2 wrong use.
int RunMender(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace mender
