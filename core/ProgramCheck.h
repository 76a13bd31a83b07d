// The check of a translated program against its original: every changed text with where it lies
// (resource type, id, language and field; or the section), and each change that may break the
// program: a change outside the texts VOKRA translates, a string table that no longer reads as it
// did, a placeholder or an access key lost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CheckedChange {
    std::int64_t nOffset = 0;  // where the changed text (or the changed bytes) begins
    std::string strWhere;      // "string 103, English", "dialog 100 control 3 (Button), English",
                               // "resource 4 1 language 0407", "section .text", "headers", ...
    std::string strBefore;     // the text before and after, in UTF-8 (changed bytes: in hex)
    std::string strAfter;
    std::vector<std::string> problems;  // empty: a translation in its place
};

struct ProgramCheckResult {
    std::vector<CheckedChange> changes;  // in file order
    int nProblems = 0;                   // changes with at least one problem, and file problems
    int nFields = 0;                     // the texts VOKRA may translate in the original
    int nFieldsChanged = 0;              // how many of them the translation changed
    std::vector<std::string>
        fileProblems;  // the two files as a whole (length, structure, checksum)
};

// Compares the translation `after` with its original `before`.
ProgramCheckResult CheckTranslation(const unsigned char* before, std::int64_t beforeSize,
                                    const unsigned char* after, std::int64_t afterSize);

// The result as lines of text, one change a line, then a summary line; what comes from the files
// is escaped where a terminal would take it as a command (tabs and line ends included).
std::string FormatCheck(const ProgramCheckResult& result);
