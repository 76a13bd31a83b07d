// Names and texts from files (a program's name, a translation text file's header) shown on a
// terminal: control characters there would be taken as the terminal's commands, so they are
// shown as escapes instead, and so is every byte that is not UTF-8.
#pragma once

#include <string>
#include <string_view>

std::string TerminalText(std::string_view text);
