// The translators: which candidates deserve a translation, the search key, whole-text lookups and
// word-by-word translation.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "TranslationEngine.h"

namespace {

inline bool IsUpper(unsigned char c) {
    return c >= 'A' && c <= 'Z';
}
inline bool IsLower(unsigned char c) {
    return c >= 'a' && c <= 'z';
}
inline bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Letters that differ from the letter before them, over `count` bytes; non-letters neither count
// nor reset. CANCEL gives 6, AAA 1, A-B 2: a text of one repeated letter stays below 2.
int CountLetterChanges(const char* bytes, int count, bool bothCases) {
    int changes = 0;
    unsigned char last = 0;
    for (int i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if ((IsUpper(c) || (bothCases && IsLower(c))) && c != last) {
            ++changes;
            last = c;
        }
    }
    return changes;
}

// What a single character of word-by-word output becomes: separators, letters and digits stay,
// anything else (the key's "=", "_", the terminating zero) becomes a blank.
inline char EmittedChar(unsigned char c) {
    if (c == ' ' || c == ',' || c == '-' || c == '/' || c == '.' || IsUpper(c) || IsDigit(c)) {
        return static_cast<char>(c);
    }
    return ' ';
}

// "[" + candidate + "=" into a key buffer; returns its length, or 0 when the key does not fit:
// a key cut short would lose its "=" and match the beginning of longer keys.
int PrintKey(char* key, const char* candidate, int limit) {
    const int printed = std::snprintf(key, static_cast<std::size_t>(limit), "[%s=", candidate);
    return printed > 0 && printed < limit ? printed : 0;
}

}  // namespace

bool CTranslationEngine::PassesMainGuards(const char* candidate, int runBytes) {
    // The key is "[" followed by the upper-cased characters without their "&"s, and its letter
    // changes are counted over as many bytes as the run has characters: the "[" and the first
    // n - 1 characters that stay in the key (the "=" and what follows it are no letters).
    const int n = runBytes / 2;
    bool bLower = false;
    int kept = 0;
    int changes = 0;
    unsigned char last = 0;
    for (int i = 0; i < n; ++i) {
        auto c = static_cast<unsigned char>(candidate[i]);
        if (c == '&') {
            continue;
        }
        if (IsLower(c)) {
            bLower = true;
            c = static_cast<unsigned char>(c - 'a' + 'A');
        }
        if (kept++ < n - 1 && IsUpper(c) && c != last) {
            ++changes;
            last = c;
        }
    }
    return bLower && changes >= 2;
}

int CTranslationEngine::BuildMainKey(const char* candidate, int runBytes, bool* pbSeparator) {
    ClearResult();
    *pbSeparator = false;

    const int n = runBytes / 2;
    // "[", the characters, "=" and the terminating zero must fit the key buffer.
    if (n <= 0 || n > kKeyBufferSize - 3 || !PassesMainGuards(candidate, runBytes)) {
        return 0;
    }
    int k = 0;
    m_szKeyAsWritten[k] = '[';
    m_szKey[k++] = '[';
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(candidate[i]);
        if (IsLower(c)) {
            m_szKeyAsWritten[k] = static_cast<char>(c);
            m_szKey[k++] = static_cast<char>(c - 'a' + 'A');
        } else if (c != '&') {
            m_szKeyAsWritten[k] = static_cast<char>(c);
            m_szKey[k++] = static_cast<char>(c);
            if (c == ' ' || c == ',' || c == '/' || c == '-' || c == '.') {
                *pbSeparator = true;
            }
        }
    }
    m_szKey[k++] = '=';
    m_szKey[k] = 0;
    return k;
}

void CTranslationEngine::TranslateSentence(const char* candidate, int runBytes, bool bPairUnits) {
    bool bSeparator = false;
    const int keyLen = BuildMainKey(candidate, runBytes, &bSeparator);
    if (keyLen == 0) {
        return;
    }
    if (bSeparator) {
        TranslateByWords(m_szKey, keyLen, bPairUnits);
        return;
    }
    LookupIntoResult(m_strMainDict, m_szKey, kEntryWindow);
}

void CTranslationEngine::ClearResult() {
    std::memset(m_szResult, 0, static_cast<std::size_t>(m_nResultExtent));
    m_nResultExtent = 0;
    m_nResultLen = 0;
}

void CTranslationEngine::LookupIntoResult(const CDictionaryText& dict, const char* key,
                                          int windowSize) {
    if (LookupEntryInto(dict, key, windowSize, m_szResult, m_nResultExtent)) {
        m_nResultLen = static_cast<int>(std::strlen(m_szResult));
    }
}

bool CTranslationEngine::AppendResult(const char* bytes, int count) {
    if (m_nResultLen + count > kResultBufferSize - 1) {
        return false;
    }
    std::memcpy(m_szResult + m_nResultLen, bytes, static_cast<std::size_t>(count));
    m_nResultLen += count;
    m_nResultExtent = std::max(m_nResultExtent, m_nResultLen);
    return true;
}

void CTranslationEngine::TranslateByWords(const char* key, int keyLen, bool bPairUnits) {
    ClearResult();
    if (keyLen <= 0 || keyLen >= kKeyBufferSize || std::strstr(key, "MS SANS SERIF") != nullptr) {
        return;
    }

    // One character of output: the byte, followed by a 0 byte in paired output.
    auto emit = [&](unsigned char c) {
        const char unit[2] = {EmittedChar(c), 0};
        return AppendResult(unit, bPairUnits ? 2 : 1);
    };

    bool bFits = true;
    bool bAnyTranslated = false;
    int q = 1;  // past the "["
    while (bFits && q <= keyLen) {
        int w = 0;
        m_szWordKey[w++] = '[';
        const int wordStart = q;
        while (q <= keyLen && (IsUpper(static_cast<unsigned char>(key[q])) ||
                               IsDigit(static_cast<unsigned char>(key[q])))) {
            m_szWordKey[w++] = key[q++];
        }
        if (q == wordStart) {
            bFits = emit(static_cast<unsigned char>(key[q]));
            ++q;
            continue;
        }
        m_szWordKey[w++] = '=';
        m_szWordKey[w] = 0;
        if (LookupEntryInto(m_strMainDict, m_szWordKey, kEntryWindow, m_szWordResult,
                            m_nWordResultExtent)) {
            const int length = static_cast<int>(std::strlen(m_szWordResult));
            bFits = AppendResult(m_szWordResult, length);
            bAnyTranslated = bAnyTranslated || length > 0;
            ++q;  // the blank, comma or "=" after a translated word is dropped
        } else {
            // An untranslated word keeps its letters as the program has them ("%s" must not
            // become "%S", nor a menu command's id another one); the character after it is kept.
            const char* word = key == m_szKey ? m_szKeyAsWritten : key;
            for (int i = wordStart; bFits && i < q; ++i) {
                const char unit[2] = {word[i], 0};
                bFits = AppendResult(unit, bPairUnits ? 2 : 1);
            }
        }
    }
    // A translation cut at the buffer's end would be written as if whole, and a text none of
    // whose words has a translation would only come out in capitals: no translation for either.
    if (!bFits || !bAnyTranslated) {
        ClearResult();
    }
}

void CTranslationEngine::TranslateWord(const char* candidate, int runBytes) {
    bool bSeparator = false;
    if (BuildMainKey(candidate, runBytes, &bSeparator) == 0) {
        return;
    }
    LookupIntoResult(m_strMainDict, m_szKey, kSinglePhraseWindow);
}

void CTranslationEngine::TranslatePlugIn(const char* candidate, int runBytes, bool bIgnoreCase) {
    m_nResultLen = 0;
    // The font name of dialog templates, as scanned (only its upper-case form).
    if (std::strstr(candidate, "MS SANS SERIF") != nullptr) {
        return;
    }
    const int keyLen = PrintKey(m_szPlugInKey, candidate, 1024);
    if (keyLen == 0) {
        return;
    }
    // The span covers the whole key; both letter cases count as distinct letters here.
    const int span = std::clamp(runBytes, 0, keyLen);
    if (CountLetterChanges(m_szPlugInKey, span, true) < 3) {
        return;
    }
    if (bIgnoreCase) {
        int folded = 0;
        for (int i = 0; i < span; ++i) {
            if (IsLower(static_cast<unsigned char>(m_szPlugInKey[i]))) {
                m_szPlugInKey[i] = static_cast<char>(m_szPlugInKey[i] - 'a' + 'A');
                ++folded;
            }
        }
        if (folded == 0) {
            return;
        }
    }
    LookupIntoResult(m_strPlugInDict, m_szPlugInKey, kEntryWindow);
}

void CTranslationEngine::LookupEditedTranslation(const char* candidate, int nCount) {
    m_nResultLen = 0;
    const int keyLen = PrintKey(m_szKey, candidate, kKeyBufferSize);
    if (keyLen == 0 || CountLetterChanges(m_szKey, std::clamp(nCount, 0, keyLen), true) < 2) {
        return;
    }
    // The edited file is searched as written: case-sensitive.
    LookupIntoResult(m_strEditedDict, m_szKey, kEntryWindow);
}
