// Dictionary sources: the UTF-8 text dictionary authors write, one "KEY=TRANSLATION" entry or
// "//" comment per line, and the dictionary file VOKRA reads, "[KEY=TRANSLATION" lines in the
// dictionary code with CR LF line ends. Converts either way and checks every line against what
// the lookups and the batch run make of it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dictsource {

// A main dictionary ("message.txt", "message1.txt") is searched one upper-case word at a time;
// the plug-in dictionary ("user.txt") is searched for whole runs, and its keys keep their case.
enum class EDictionaryKind { Main, PlugIn };

struct DictProblem {
    int nLine = 0;  // 1-based
    std::string strText;
};

struct DictConversion {
    std::string strOutput;  // complete even when problems were found
    std::vector<DictProblem> problems;
    int nEntries = 0;
};

// UTF-8 source to dictionary file: every entry line gets its "[", every line CR LF.
DictConversion EncodeDictionarySource(std::string_view source, EDictionaryKind kind);

// Dictionary file to UTF-8 source, with the same checks on what it holds.
DictConversion DecodeDictionaryFile(std::string_view file, EDictionaryKind kind);

// Texts a program file holds in 16-bit units that are names rather than interface text, and that
// the program needs unchanged: a main dictionary must not translate them. Word by word, a name
// whose translation fits is written over it like any other run.
struct ProtectedName {
    const char* szName;
    const char* szWhat;  // what breaks, for the message
};
inline constexpr ProtectedName kProtectedNames[] = {
    {"MS Shell Dlg", "the dialog font name"},
    {"MS Shell Dlg 2", "the dialog font name"},
    {"MS Sans Serif", "the dialog font name"},
    {"Microsoft Sans Serif", "the dialog font name"},
    {"Tahoma", "the dialog font name"},
    {"Segoe UI", "the dialog font name"},
    {"Arial", "the dialog font name"},
    {"Verdana", "the dialog font name"},
    // The version resource: its table of languages is found by this key.
    {"Translation", "the version resource's key"},
    {"StringFileInfo", "the version resource's key"},
    {"VarFileInfo", "the version resource's key"},
    // Window classes a program names when it makes controls of its own.
    {"Static", "the window class name"},
    {"ListBox", "the window class name"},
    {"ComboBox", "the window class name"},
    {"ScrollBar", "the window class name"},
};

}  // namespace dictsource
