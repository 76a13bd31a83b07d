// The guards on what may be translated: texts to keep as they are, and what reads as interface
// text among the strings of a data section.
#include "TextGuards.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "Placeholders.h"

namespace {

constexpr std::size_t npos = std::u16string_view::npos;

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u00A0';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsUpper(char16_t c) {
    return c >= u'A' && c <= u'Z';
}
bool IsLower(char16_t c) {
    return c >= u'a' && c <= u'z';
}
bool IsLetter(char16_t c) {
    return IsUpper(c) || IsLower(c);
}
bool IsHexDigit(char16_t c) {
    return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
bool IsOneOf(char16_t c, std::u16string_view set) {
    return c != 0 && set.find(c) != npos;
}

char16_t Lower(char16_t c) {
    return IsUpper(c) ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::u16string_view> SplitAtBlanks(std::u16string_view text) {
    std::vector<std::u16string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i])) {
            ++i;
        }
        if (i > start) {
            tokens.push_back(text.substr(start, i - start));
        }
    }
    return tokens;
}

// A token without the punctuation a sentence puts around it: "(notepad.exe)," -> "notepad.exe".
std::u16string_view StripSentencePunctuation(std::u16string_view token) {
    while (!token.empty() && IsOneOf(token.front(), u"(\"'[<")) {
        token.remove_prefix(1);
    }
    while (!token.empty() && IsOneOf(token.back(), u".,;:!?)\"']>")) {
        token.remove_suffix(1);
    }
    return token;
}

// Whether `text` is one of the '|'-separated names of `list`, in any letter case.
bool IsInList(std::u16string_view text, std::u16string_view list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(u'|', start), list.size());
        if (EqualsIgnoringCase(text, list.substr(start, end - start))) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Font names that are no English words. "System", "Terminal", "Symbol", "Modern", "Roman",
// "Script", "Impact", "Georgia" and "Times" are, and a menu may show them.
constexpr std::u16string_view kFontNames =
    u"Times New Roman|Arial|Arial Black|Arial Narrow|Courier New|Courier|MS Sans Serif|"
    u"MS Serif|MS Shell Dlg|MS Shell Dlg 2|Microsoft Sans Serif|Small Fonts|Tahoma|Segoe UI|"
    u"Segoe UI Semibold|Segoe UI Light|Segoe UI Symbol|Segoe Print|Segoe Script|Verdana|"
    u"Lucida Console|Lucida Sans Unicode|Lucida Sans|Wingdings|Wingdings 2|Wingdings 3|"
    u"Webdings|Marlett|Fixedsys|Consolas|Calibri|Calibri Light|Cambria|Cambria Math|Candara|"
    u"Constantia|Corbel|Trebuchet MS|Comic Sans MS|Palatino Linotype|Book Antiqua|"
    u"Century Gothic|Franklin Gothic Medium|Garamond|Helvetica|Sylfaen|MS Mincho|MS PMincho|"
    u"MS Gothic|MS PGothic|MS UI Gothic|SimSun|NSimSun|SimHei|MingLiU|PMingLiU|"
    u"Microsoft JhengHei|Microsoft YaHei|Gulim|Batang|Dotum|Meiryo|Meiryo UI|Yu Gothic";

// Window class names of the system that no interface shows as text. The common controls whose
// names are words ("Edit", "Button", "Static", "ComboBox", "ListBox", "ScrollBar") are not here.
constexpr std::u16string_view kClassNames =
    u"RichEdit|RichEdit20A|RichEdit20W|RICHEDIT50W|RichEdit60W|SysListView32|SysTreeView32|"
    u"SysTabControl32|SysHeader32|SysDateTimePick32|SysMonthCal32|SysIPAddress32|SysLink|"
    u"SysAnimate32|SysPager|msctls_progress32|msctls_trackbar32|msctls_updown32|"
    u"msctls_statusbar32|msctls_hotkey32|ToolbarWindow32|ReBarWindow32|tooltips_class32|"
    u"ComboBoxEx32|ComboLBox|MDIClient|#32768|#32769|#32770|#32771";

// Class names a data section may hold that are also words: no interface text there.
constexpr std::u16string_view kWordClassNames =
    u"Edit|Button|Static|ComboBox|ListBox|ScrollBar|NativeFontCtl";

// File extensions that make "word.ext" a file name.
constexpr std::u16string_view kExtensions =
    u"exe|dll|ocx|sys|drv|cpl|scr|com|bat|cmd|msi|msc|lnk|ini|inf|reg|txt|log|hlp|chm|cnt|htm|"
    u"html|xml|json|cfg|dat|tmp|bak|ico|cur|ani|bmp|gif|jpg|jpeg|png|wav|mid|avi|mp3|zip|cab|"
    u"ttf|fon|doc|rtf|pdf|csv|js|vbs|ps1|lib|obj|res|manifest|mui|tlb";

// {8-4-4-4-12 hex digits}, the braces optional.
bool IsGuid(std::u16string_view text) {
    if (text.size() == 38 && text.front() == u'{' && text.back() == u'}') {
        text = text.substr(1, 36);
    }
    if (text.size() != 36) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool bDash = i == 8 || i == 13 || i == 18 || i == 23;
        if (bDash ? text[i] != u'-' : !IsHexDigit(text[i])) {
            return false;
        }
    }
    return true;
}

// A number, a hex number ("0x1F", "#FF00FF", "1F2E") or a version ("6.1.7601", "1, 0, 0, 1",
// "v2.0"): a decimal digit first, then hex digits, dots and commas (a comma may have a blank
// after it). "10 Add" is none.
bool IsNumberOrVersion(std::u16string_view text) {
    if (StartsWithIgnoringCase(text, u"0x") || text.starts_with(u'#')) {
        text.remove_prefix(text.front() == u'#' ? 1 : 2);
        if (text.empty()) {
            return false;
        }
        for (const char16_t c : text) {
            if (!IsHexDigit(c)) {
                return false;
            }
        }
        return true;
    }
    if (!text.empty() && (text.front() == u'v' || text.front() == u'V')) {
        text.remove_prefix(1);
    }
    if (text.empty() || !IsDigit(text.front())) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool bBlankAfterComma = text[i] == u' ' && i > 0 && text[i - 1] == u',';
        if (!IsHexDigit(text[i]) && text[i] != u'.' && text[i] != u',' && !bBlankAfterComma) {
            return false;
        }
    }
    return true;
}

bool IsRegistryRoot(std::u16string_view text) {
    static constexpr auto kRoots = std::to_array<std::u16string_view>(
        {u"HKEY_", u"HKLM\\", u"HKCU\\", u"HKCR\\", u"HKU\\", u"HKCC\\", u"Software\\"});
    for (const std::u16string_view root : kRoots) {
        if (StartsWithIgnoringCase(text, root)) {
            return true;
        }
    }
    return false;
}

// "C:\...", "C:/...", "\\server\share", "%SystemRoot%\...".
bool IsPathStart(std::u16string_view text) {
    if (text.size() >= 3 && IsLetter(text[0]) && text[1] == u':' &&
        (text[2] == u'\\' || text[2] == u'/')) {
        return true;
    }
    if (text.starts_with(u"\\\\")) {
        return true;
    }
    if (text.starts_with(u'%')) {
        const std::size_t close = text.find(u'%', 1);
        return close != npos && close > 1 && close + 1 < text.size() &&
               (text[close + 1] == u'\\' || text[close + 1] == u'/');
    }
    return false;
}

// A backslash with something on both sides: "shell\open\command", "%s\%s".
bool HasInnerBackslash(std::u16string_view token) {
    const std::size_t pos = token.find(u'\\', 1);
    return pos != npos && pos + 1 < token.size();
}

bool IsUrlOrEmail(std::u16string_view token) {
    if (token.find(u"://") != npos || StartsWithIgnoringCase(token, u"www.") ||
        StartsWithIgnoringCase(token, u"mailto:")) {
        return true;
    }
    const std::size_t at = token.find(u'@');
    return at != npos && at > 0 && IsLetter(token[at - 1]) && token.find(u'.', at) != npos &&
           token.back() != u'.';
}

// "explorer.exe", "*.txt", "readme.TXT": a name and a known extension.
bool IsFileName(std::u16string_view token) {
    const std::size_t dot = token.rfind(u'.');
    if (dot == npos || dot == 0 || dot + 1 == token.size()) {
        return false;
    }
    for (const char16_t c : token.substr(0, dot)) {
        if (!IsLetter(c) && !IsDigit(c) && !IsOneOf(c, u"_-.~$*?%")) {
            return false;
        }
    }
    const std::u16string_view extension = token.substr(dot + 1);
    return extension == u"*" || IsInList(extension, kExtensions);
}

bool IsPathToken(std::u16string_view token) {
    return HasInnerBackslash(token) || IsPathStart(token) || IsUrlOrEmail(token) ||
           IsFileName(StripSentencePunctuation(token));
}

// A word of letters: "file", "Don't", "read-only", "&Open" ('&' marks a key in a label).
bool IsPlainWord(std::u16string_view word) {
    int letters = 0;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char16_t c = word[i];
        if (IsLetter(c)) {
            ++letters;
        } else if (!(IsOneOf(c, u"'-&") && i > 0 && i + 1 < word.size()) &&
                   !(c == u'&' && i == 0)) {
            return false;
        }
    }
    return letters > 0;
}

bool EndsAsSentence(std::u16string_view text) {
    return !text.empty() && (IsOneOf(text.back(), u".!?:") || text.back() == u'\u2026');
}

// Three words or more of plain letters, ending in sentence punctuation: a message, even where it
// mentions a file or a path.
bool ReadsAsSentence(std::u16string_view text) {
    if (!EndsAsSentence(text)) {
        return false;
    }
    int words = 0;
    for (const std::u16string_view token : SplitAtBlanks(text)) {
        if (IsPlainWord(StripSentencePunctuation(token))) {
            ++words;
        }
    }
    return words >= 3;
}

// Plain characters: ASCII and Latin-1 without control characters (tab and line ends allowed) and
// the general punctuation block (dashes, quotes, "…"). Binary data read as 16-bit units is
// mostly something else.
bool HasOnlyPlainCharacters(std::u16string_view text) {
    for (const char16_t c : text) {
        const bool bPlain = (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF) ||
                            (c >= 0x2010 && c <= 0x2027) || c == u'\t' || c == u'\r' || c == u'\n';
        if (!bPlain) {
            return false;
        }
    }
    return true;
}

// Characters of code, markup and identifiers rather than of interface text.
bool HasCodeCharacters(std::u16string_view text) {
    for (const char16_t c : text) {
        if (IsOneOf(c, u"={}<>|\\`^~_@#$")) {
            return true;
        }
    }
    return false;
}

// "Done.", "Error:", "Loading...": a capitalised word of two lower-case letters or more before
// sentence punctuation.
bool IsCapitalisedWordWithPunctuation(std::u16string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (IsOneOf(text[end - 1], u".!?:") || text[end - 1] == u'\u2026')) {
        --end;
    }
    if (end == text.size() || end < 3 || !IsUpper(text[0])) {
        return false;
    }
    for (std::size_t i = 1; i < end; ++i) {
        if (!IsLower(text[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool MustStayUntranslated(std::u16string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) {
        return false;
    }
    if (IsInList(text, kFontNames) || IsInList(text, kClassNames) || IsGuid(text) ||
        IsNumberOrVersion(text) || IsRegistryRoot(text) || IsPathStart(text)) {
        return true;
    }
    if (ReadsAsSentence(text)) {
        return false;
    }
    for (const std::u16string_view token : SplitAtBlanks(text)) {
        if (IsPathToken(token)) {
            return true;
        }
    }
    return false;
}

bool ReadsAsInterfaceText(std::u16string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || !HasOnlyPlainCharacters(text) || HasCodeCharacters(text) ||
        MustStayUntranslated(text) || IsInList(text, kWordClassNames)) {
        return false;
    }
    if (IsCapitalisedWordWithPunctuation(text)) {
        return true;
    }
    // Count the words, leaving out the placeholders: "%s" is no word, and a text of nothing but
    // placeholders and punctuation has none.
    std::u16string words;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = text[i] == u'%' ? PlaceholderLengthAt(text, i) : 0;
        if (length > 0) {
            words += u' ';
            i += length;
        } else {
            words += text[i++];
        }
    }
    int plainWords = 0;
    int capitalWords = 0;
    int otherTokens = 0;
    for (const std::u16string_view token : SplitAtBlanks(words)) {
        const std::u16string_view word = StripSentencePunctuation(token);
        if (word.empty()) {
            continue;
        }
        if (!IsPlainWord(word)) {
            ++otherTokens;  // digits, dots, slashes: a name or a number, no word
            continue;
        }
        int letters = 0;
        int capitals = 0;
        bool bInnerCapital = false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (IsLetter(word[i])) {
                ++letters;
                capitals += IsUpper(word[i]) ? 1 : 0;
                bInnerCapital =
                    bInnerCapital || (i > 0 && IsUpper(word[i]) && IsLower(word[i - 1]));
            }
        }
        if (bInnerCapital) {
            ++otherTokens;
        } else if (letters >= 2) {
            ++plainWords;
            capitalWords += capitals == letters ? 1 : 0;
        }
    }
    if (plainWords < 2 || 2 * capitalWords >= plainWords || otherTokens >= plainWords) {
        return false;
    }
    std::size_t firstLetter = 0;
    while (firstLetter < words.size() && !IsLetter(words[firstLetter])) {
        ++firstLetter;
    }
    const bool bCapitalStart = firstLetter < words.size() && IsUpper(words[firstLetter]);
    return bCapitalStart || EndsAsSentence(text);
}
