#include "DictSource.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <unordered_map>

#include "Big5.h"
#include "DictionaryCode.h"
#include "TranslationEngine.h"
#include "Utf8.h"

namespace dictsource {
namespace {

// The entry window of the lookups that search each kind of dictionary: single-phrase lookups
// take 128 bytes of a main dictionary, plug-in lookups 2048.
// The plug-in translator prints "[" KEY "=" into 1024 bytes with the terminator: a longer key
// loses its "=" and matches no entry.
constexpr std::size_t kMaxPlugInKeyChars = 1024 - 3;

int EntryWindow(EDictionaryKind kind) {
    return kind == EDictionaryKind::Main ? kSinglePhraseWindow : kEntryWindow;
}

std::string Hex(char32_t ch) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(ch));
    return text;
}

// How a character is named in a message: printable ASCII quoted, anything else by its code
// point as well.
std::string Named(char32_t ch) {
    if (ch > 0x20 && ch < 0x7F) {
        return "'" + std::string(1, static_cast<char>(ch)) + "'";
    }
    if (ch < 0x80) {
        return Hex(ch);
    }
    return "'" + EncodeUtf8(std::u32string(1, ch)) + "' (" + Hex(ch) + ")";
}

bool IsBlankLine(std::u32string_view line) {
    return std::all_of(line.begin(), line.end(), [](char32_t c) { return c == ' ' || c == '\t'; });
}

bool IsComment(std::u32string_view line) {
    return line.size() >= 2 && line[0] == '/' && line[1] == '/';
}

// Letters that differ from the letter before them, as the translators count them.
int LetterChanges(std::string_view bytes, bool bothCases) {
    int changes = 0;
    char last = 0;
    for (const char c : bytes) {
        const bool letter = (c >= 'A' && c <= 'Z') || (bothCases && c >= 'a' && c <= 'z');
        if (letter && c != last) {
            ++changes;
            last = c;
        }
    }
    return changes;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

class CSourceChecker {
  public:
    explicit CSourceChecker(EDictionaryKind kind) : m_kind(kind) {}

    // One source line (without its line end): appends its dictionary form and CR LF.
    void AddLine(int lineNo, std::u32string_view line);
    // Checks that need the whole dictionary.
    void Finish();

    DictConversion m_result;

  private:
    void Report(int lineNo, const std::string& text) {
        m_result.problems.push_back({lineNo, text});
    }
    // Encodes non-entry text; reports characters without a code.
    std::string Encode(int lineNo, std::u32string_view text, int firstColumn);
    bool CheckKey(int lineNo, std::u32string_view key, std::string& keyBytes);
    void CheckTranslation(int lineNo, std::u32string_view translation, int firstColumn,
                          std::size_t keyChars, std::string& encoded);
    void CheckDuplicate(int lineNo, const std::string& key);
    void CheckProtectedNames();

    EDictionaryKind m_kind;
    std::unordered_map<std::string, int> m_mapKeys;        // key -> line of its first entry
    std::unordered_map<std::string, int> m_mapFoldedKeys;  // plug-in: upper-cased key -> line
    bool m_bEveryLineEncoded = true;
};

std::string CSourceChecker::Encode(int lineNo, std::u32string_view text, int firstColumn) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string one;
        if (text[i] == 0) {
            Report(lineNo, "column " + std::to_string(firstColumn + static_cast<int>(i)) +
                               ": a NUL character ends the dictionary for the lookup");
            m_bEveryLineEncoded = false;
        } else if (EncodeDictionaryCode(text.substr(i, 1), one, nullptr)) {
            out += one;
        } else {
            Report(lineNo, "column " + std::to_string(firstColumn + static_cast<int>(i)) + ": " +
                               Named(text[i]) + " has no dictionary code");
            m_bEveryLineEncoded = false;
        }
    }
    return out;
}

bool CSourceChecker::CheckKey(int lineNo, std::u32string_view key, std::string& keyBytes) {
    if (key.empty()) {
        Report(lineNo, "empty key");
        return false;
    }
    bool ok = true;
    bool lower = false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char32_t c = key[i];
        const std::string where = "column " + std::to_string(i + 1) + ": ";
        if (m_kind == EDictionaryKind::Main) {
            if (c >= 'a' && c <= 'z') {
                lower = true;
            } else if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) {
                Report(lineNo, where + "the key holds " + Named(c) +
                                   ": a main dictionary is searched for single words of letters, "
                                   "digits and '_', so this entry is never found");
                ok = false;
            }
        } else if (c < 0x20 || c > 0x7E || c == '[' || c == '=' || c == ']' || c == '\\') {
            Report(lineNo, where + "the key holds " + Named(c) +
                               ", which the plug-in scanner never takes into a run");
            ok = false;
        }
        if (c < 0x80) {
            keyBytes += static_cast<char>(c);
        }
    }
    if (lower) {
        Report(lineNo,
               "lower-case key: a main dictionary is searched with upper-case keys only, so this "
               "entry is never found");
        ok = false;
    }
    if (m_kind == EDictionaryKind::PlugIn && key.size() > kMaxPlugInKeyChars) {
        Report(lineNo, "the key has " + std::to_string(key.size()) +
                           " characters; the plug-in translator cuts its keys after " +
                           std::to_string(kMaxPlugInKeyChars) + ", so it is never found");
        ok = false;
    }
    if (ok && m_kind == EDictionaryKind::PlugIn) {
        // The plug-in translator counts letter changes over "[" KEY "=", both cases apart, and
        // with case ignored (the default) it takes only texts that hold a lower-case letter.
        if (LetterChanges("[" + keyBytes + "=", true) < 3) {
            Report(lineNo, "the key has fewer than three letter changes: it is never looked up");
            ok = false;
        } else if (Upper(keyBytes) == keyBytes) {
            Report(lineNo,
                   "the key has no lower-case letter: it is never looked up while letter case is "
                   "ignored");
            ok = false;
        }
    }
    return ok;
}

void CSourceChecker::CheckTranslation(int lineNo, std::u32string_view translation, int firstColumn,
                                      std::size_t keyChars, std::string& encoded) {
    bool singleByte = false;
    for (std::size_t i = 0; i < translation.size(); ++i) {
        if (translation[i] < 0x80 && translation[i] != 0 && !singleByte) {
            Report(lineNo, "column " + std::to_string(firstColumn + static_cast<int>(i)) +
                               ": the translation holds the single-byte character " +
                               Named(translation[i]) +
                               "; the batch run writes translations as 16-bit units, so they "
                               "are double-byte characters only");
            singleByte = true;
        }
    }
    encoded = Encode(lineNo, translation, firstColumn);
    if (translation.size() > keyChars) {
        Report(lineNo, "the translation has " + std::to_string(translation.size()) +
                           " characters, more than the " + std::to_string(keyChars) +
                           " of its key: it never fits the run");
    }
    if (translation.empty() && m_kind == EDictionaryKind::PlugIn) {
        Report(lineNo, "empty translation: the text is never translated");
    }
}

void CSourceChecker::CheckDuplicate(int lineNo, const std::string& key) {
    const auto [it, inserted] = m_mapKeys.emplace(key, lineNo);
    if (!inserted) {
        Report(lineNo, "duplicate key " + key + ": the entry on line " +
                           std::to_string(it->second) + " is found first, this one never");
        return;
    }
    if (m_kind == EDictionaryKind::PlugIn) {
        const auto [folded, fresh] = m_mapFoldedKeys.emplace(Upper(key), lineNo);
        if (!fresh) {
            Report(lineNo, "the key is the key of line " + std::to_string(folded->second) +
                               " in other letter case: while case is ignored that entry is "
                               "found first, this one never");
        }
    }
}

void CSourceChecker::AddLine(int lineNo, std::u32string_view line) {
    std::string& out = m_result.strOutput;
    if (IsBlankLine(line)) {
        out += Encode(lineNo, line, 1);
    } else if (IsComment(line)) {
        if (line.find(U'[') != std::u32string_view::npos) {
            Report(lineNo,
                   "the comment holds '[': a lookup could take what follows it for an entry");
        }
        out += Encode(lineNo, line, 1);
    } else if (const std::size_t eq = line.find(U'='); eq == std::u32string_view::npos) {
        Report(lineNo, "neither an entry KEY=TRANSLATION nor a comment (//)");
        m_bEveryLineEncoded = false;
    } else {
        ++m_result.nEntries;
        std::string key;
        const bool keyOk = CheckKey(lineNo, line.substr(0, eq), key);
        std::string translation;
        CheckTranslation(lineNo, line.substr(eq + 1), static_cast<int>(eq) + 2, eq, translation);
        // "[", the key, "=" and the translation, then the "]" that the line end becomes: it must
        // lie inside the entry window of the lookup.
        const std::size_t lineBytes = 1 + key.size() + 1 + translation.size() + 1;
        if (lineBytes > static_cast<std::size_t>(EntryWindow(m_kind))) {
            Report(lineNo, "the entry takes " + std::to_string(lineBytes) +
                               " bytes up to its line end, more than the " +
                               std::to_string(EntryWindow(m_kind)) + "-byte " +
                               (m_kind == EDictionaryKind::Main ? "single-phrase " : "") +
                               "window of the lookup");
        }
        if (keyOk) {
            CheckDuplicate(lineNo, key);
        }
        out += "[" + key + "=" + translation;
    }
    out += "\r\n";
}

void CSourceChecker::CheckProtectedNames() {
    auto engine = std::make_unique<CTranslationEngine>();
    std::string text = m_result.strOutput;
    CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(text.data()),
                                              text.size());
    engine->m_strMainDict = text;
    for (const ProtectedName& protectedName : kProtectedNames) {
        const std::string name(protectedName.szName);
        const int runBytes = static_cast<int>(2 * name.size());
        engine->TranslateSentence(name.c_str(), runBytes, true);
        if (engine->m_nResultLen == 0 || engine->m_nResultLen > runBytes) {
            continue;
        }
        // Blame the first word of the name that the dictionary translates.
        std::string word;
        int line = 0;
        for (std::size_t i = 0; i <= name.size() && line == 0; ++i) {
            const char c = i < name.size() ? name[i] : ' ';
            if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
                word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            } else if (!word.empty()) {
                if (const auto it = m_mapKeys.find(word); it != m_mapKeys.end()) {
                    line = it->second;
                } else {
                    word.clear();
                }
            }
        }
        Report(line, "translating " + word + " changes " + protectedName.szWhat + " \"" + name +
                         "\" wherever a program holds it");
    }
}

void CSourceChecker::Finish() {
    if (m_kind == EDictionaryKind::Main && m_bEveryLineEncoded) {
        CheckProtectedNames();
    }
    std::stable_sort(m_result.problems.begin(), m_result.problems.end(),
                     [](const DictProblem& a, const DictProblem& b) { return a.nLine < b.nLine; });
}

// Splits at "\n", without the final empty piece of a text that ends with a line end.
std::vector<std::string_view> SplitLines(std::string_view text, std::string_view end) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t at = text.find(end, start);
        if (at == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, at - start));
        start = at + end.size();
    }
    return lines;
}

}  // namespace

DictConversion EncodeDictionarySource(std::string_view source, EDictionaryKind kind) {
    CSourceChecker checker(kind);
    int lineNo = 0;
    for (std::string_view line : SplitLines(source, "\n")) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::u32string text;
        int badColumn = 0;
        if (!DecodeUtf8(line, text, &badColumn)) {
            checker.m_result.problems.push_back(
                {lineNo, "column " + std::to_string(badColumn) + ": not UTF-8"});
            checker.m_result.strOutput += "\r\n";
            continue;
        }
        checker.AddLine(lineNo, text);
    }
    checker.Finish();
    return checker.m_result;
}

DictConversion DecodeDictionaryFile(std::string_view file, EDictionaryKind kind) {
    DictConversion result;
    // What the file says, as source; lines that cannot be read whole are checked as blank lines
    // so that they are reported once.
    std::string checkable;
    const std::vector<std::string_view> lines = SplitLines(file, "\r\n");
    const bool lastLineEnded = file.size() >= 2 && file.substr(file.size() - 2) == "\r\n";
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const int lineNo = static_cast<int>(n) + 1;
        const std::string_view line = lines[n];
        std::u32string text;
        bool readable = true;
        auto report = [&](const std::string& message) {
            result.problems.push_back({lineNo, message});
            readable = false;
        };
        for (std::size_t i = 0; i < line.size();) {
            const auto b = static_cast<unsigned char>(line[i]);
            const std::string where = "column " + std::to_string(text.size() + 1) + ": ";
            if (b == 0) {
                report(where + "a NUL byte ends the dictionary for the lookup");
                text += U'\uFFFD';
                ++i;
            } else if (b == '\r' || b == '\n') {
                report(where + "a line break without CR LF, which the lookup does not see");
                text += U'\uFFFD';
                ++i;
            } else if (b < 0x80) {
                text += b;
                ++i;
            } else {
                const int value = i + 1 < line.size()
                                      ? Big5ToUnicode(b, static_cast<unsigned char>(line[i + 1]))
                                      : -1;
                if (value < 0 || value == 0xFFFD) {
                    report(where + "bytes that are no character of the dictionary code");
                    text += U'\uFFFD';
                    ++i;
                } else {
                    text += static_cast<char32_t>(value);
                    i += 2;
                }
            }
        }
        if (!text.empty() && text[0] == '[') {
            // The translation ends at the first "]", which the line end would otherwise be.
            text.erase(0, 1);
            if (const std::size_t close = text.find(U']'); close != std::u32string::npos) {
                if (close + 1 < text.size()) {
                    report("column " + std::to_string(close + 3) +
                           ": text after the ']' that closes the entry is never read");
                }
                text.erase(close);
            }
            if (n + 1 == lines.size() && !lastLineEnded) {
                report("the last line has no CR LF: its entry is never found");
            }
            if (IsComment(text)) {
                report("a key that begins with // cannot be written in a source");
            }
        } else if (!IsBlankLine(text) && !IsComment(text)) {
            report("neither an entry ([KEY=TRANSLATION) nor a comment (//)");
        }
        const std::string utf8 = EncodeUtf8(text);
        result.strOutput += utf8 + "\n";
        checkable += (readable ? utf8 : std::string()) + "\n";
    }
    DictConversion checked = EncodeDictionarySource(checkable, kind);
    result.nEntries = checked.nEntries;
    result.problems.insert(result.problems.end(), checked.problems.begin(), checked.problems.end());
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const DictProblem& a, const DictProblem& b) { return a.nLine < b.nLine; });
    return result;
}

}  // namespace dictsource
