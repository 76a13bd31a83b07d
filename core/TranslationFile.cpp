#include "TranslationFile.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string_view>
#include <utility>

#include "DictionaryCode.h"
#include "Texts.h"

namespace {

// The header's lines in the order they are written; the reader finds the program file's line by
// its place.
enum EHeaderLine {
    kRuleTop,
    kTitle,
    kPathLine,
    kFileLine,
    kBackupLine,
    kListingLine,
    kTypeLine,
    kTranslatorLine,
    kUrlLine,
    kEmailLine,
    kDateLine,
    kRuleBottom,
    kHeaderLines,
};

// A header line from its text (in the dictionary code) with up to two strings in place of its
// "%s", and its CR LF.
std::string Line(const std::string& format, const std::string& a, const std::string& b = {}) {
    char line[2048];
    std::snprintf(line, sizeof line, format.c_str(), a.c_str(), b.c_str());
    return std::string(line) + "\r\n";
}

// What the program file's line begins with: its text up to the name.
std::string ProgramLinePrefix() {
    const std::string_view format = texts::kHeaderFile;
    return DictionaryCodeOfUtf8(format.substr(0, format.find("%s")));
}

// Line `index` (from 0) of the bytes, without its line end (LF, or CR LF).
std::string_view LineOf(std::string_view bytes, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            return {};
        }
        start = end + 1;
    }
    std::string_view line = bytes.substr(start, bytes.find('\n', start) - start);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

}  // namespace

std::string TranslationFileHeader(const TranslationFileFacts& facts) {
    using EType = TranslationFileFacts::EType;
    const char* type = facts.type == EType::Big5 ? texts::kHeaderTypeBig5
                       : facts.type == EType::Gb ? texts::kHeaderTypeGb
                                                 : texts::kHeaderTypeNone;
    char date[128];
    std::snprintf(date, sizeof date, DictionaryCodeOfUtf8(texts::kHeaderDate).c_str(), facts.nYear,
                  facts.nMonth, facts.nDay);

    std::string lines[kHeaderLines];
    lines[kRuleTop] = DictionaryCodeOfUtf8(texts::kHeaderRuleTop) + "\r\n";
    lines[kTitle] = DictionaryCodeOfUtf8(texts::kHeaderTitle) + "\r\n";
    lines[kPathLine] = Line(DictionaryCodeOfUtf8(texts::kHeaderPath), facts.strDrive, facts.strDir);
    lines[kFileLine] = Line(DictionaryCodeOfUtf8(texts::kHeaderFile), facts.strFname, facts.strExt);
    lines[kBackupLine] = Line(DictionaryCodeOfUtf8(texts::kHeaderBackup), facts.strFname,
                              BackupExtensions[facts.nBackupExt]);
    lines[kListingLine] = Line(DictionaryCodeOfUtf8(texts::kHeaderListing), facts.strFname,
                               TranslationExtensions[facts.nTranslationExt]);
    lines[kTypeLine] = DictionaryCodeOfUtf8(type) + "\r\n";
    lines[kTranslatorLine] =
        Line(DictionaryCodeOfUtf8(texts::kHeaderTranslator), facts.strTranslatorName);
    lines[kUrlLine] = Line(DictionaryCodeOfUtf8(texts::kHeaderUrl), facts.strTranslatorUrl);
    lines[kEmailLine] = Line(DictionaryCodeOfUtf8(texts::kHeaderEmail), facts.strTranslatorEmail);
    lines[kDateLine] = std::string(date) + "\r\n";
    lines[kRuleBottom] = DictionaryCodeOfUtf8(texts::kHeaderRuleBottom) + "\r\n";

    std::string header;
    for (const std::string& line : lines) {
        header += line;
    }
    return header;
}

void AppendTranslationEntry(std::string& out, std::string_view english,
                            std::string_view translation) {
    out.push_back('[');
    out.append(english);
    out.push_back('=');
    out.append(translation);
    out.append("\r\n", 2);
}

bool HasProgramLine(std::string_view bytes) {
    return LineOf(bytes, kFileLine).starts_with(ProgramLinePrefix());
}

std::string HeaderProgramName(std::string_view bytes) {
    const std::string_view line = LineOf(bytes, kFileLine);
    const std::string prefix = ProgramLinePrefix();
    if (!line.starts_with(prefix)) {
        return {};
    }
    return std::string(line.substr(prefix.size()));
}

void LoadEditedDictionary(CTranslationEngine& engine, std::string fileBytes) {
    CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(fileBytes.data()),
                                              fileBytes.size());
    engine.m_strEditedDict = std::string_view(fileBytes);
}

namespace {

constexpr std::string_view kOptionsPrefix = "// options:";

}  // namespace

ListingOptions ListingOptionsOf(const PassState& state) {
    ListingOptions options;
    options.bPlugInDict = state.m_bPlugInDict;
    options.bAlsoDefaultDict = state.m_bAlsoDefaultDict;
    options.bIgnoreCase = state.m_bIgnoreCase;
    std::copy(std::begin(state.m_abCharFilter), std::end(state.m_abCharFilter),
              options.abCharFilter.begin());
    options.bWholeFileWalk = state.m_bWholeFileWalk;
    return options;
}

void UseListingOptions(const ListingOptions& options, PassState& state) {
    state.m_bPlugInDict = options.bPlugInDict;
    state.m_bAlsoDefaultDict = options.bAlsoDefaultDict;
    state.m_bIgnoreCase = options.bIgnoreCase;
    std::copy(options.abCharFilter.begin(), options.abCharFilter.end(), state.m_abCharFilter);
    state.m_bWholeFileWalk = options.bWholeFileWalk;
}

std::string ListingOptionsLine(const ListingOptions& options) {
    std::string line(kOptionsPrefix);
    line += " plug-in " + std::to_string(options.bPlugInDict);
    line += " also-main " + std::to_string(options.bAlsoDefaultDict);
    line += " ignore-case " + std::to_string(options.bIgnoreCase);
    line += " filter ";
    for (const unsigned char on : options.abCharFilter) {
        line += on != 0 ? '1' : '0';
    }
    line += options.bWholeFileWalk == 1 ? " walk whole-file" : " walk structure";
    return line + "\r\n";
}

ListingOptions ReadListingOptions(std::string_view bytes) {
    ListingOptions options;
    // Only among the comment lines at the top: an entry's text never counts.
    for (std::size_t start = 0; start < bytes.size() && bytes.substr(start, 2) == "//";) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (line.substr(0, kOptionsPrefix.size()) != kOptionsPrefix) {
            continue;
        }
        std::istringstream words{std::string(line.substr(kOptionsPrefix.size()))};
        std::string name;
        std::string value;
        while (words >> name >> value) {
            if (name == "plug-in") {
                options.bPlugInDict = value == "1" ? 1 : 0;
            } else if (name == "also-main") {
                options.bAlsoDefaultDict = value == "1" ? 1 : 0;
            } else if (name == "ignore-case") {
                options.bIgnoreCase = value == "1" ? 1 : 0;
            } else if (name == "filter" && value.size() == kCharFilterCount) {
                for (std::size_t i = 0; i < options.abCharFilter.size(); ++i) {
                    options.abCharFilter[i] = value[i] == '1' ? 1 : 0;
                }
            } else if (name == "walk") {
                options.bWholeFileWalk = value == "whole-file" ? 1 : 0;
            }
        }
        break;
    }
    return options;
}
