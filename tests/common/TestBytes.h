// Small builders for tests: BIG5 texts, prepared dictionaries and 16-bit images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DictionaryCode.h"
#include "TranslationEngine.h"

// BIG5 bytes of the few characters the tests use.
inline const std::string kOpenZh = "\xB6\x7D\xB1\xD2";  // 開啟
inline const std::string kFileZh = "\xC0\xC9\xAE\xD7";  // 檔案
inline const std::string kSaveZh = "\xC0\x78\xA6\x73";  // 儲存
inline const std::string kAsZh = "\xA5\x74";            // 另

// A UTF-8 text in the dictionary code, for the fixed texts of headers and windows.
inline std::string Big5(std::string_view utf8) {
    return DictionaryCodeOfUtf8(utf8);
}

// A dictionary file's bytes (lines joined with CR LF, each line ended by one) after the loader's
// preparation.
inline std::string PreparedDictionary(const std::vector<std::string>& lines,
                                      bool lastLineEnded = true) {
    std::string file;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        file += lines[i];
        if (i + 1 < lines.size() || lastLineEnded) {
            file += "\r\n";
        }
    }
    CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(file.data()),
                                              file.size());
    return file;
}

// `text` as 16-bit little-endian units.
inline std::string Units(const std::string& text) {
    std::string bytes;
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// `text` as 16-bit little-endian units ended by a 16-bit zero, as programs keep their strings.
inline std::string String16(const std::string& text) {
    return Units(text) + std::string(2, '\0');
}

inline std::vector<unsigned char> Bytes(const std::string& s) {
    return std::vector<unsigned char>(s.begin(), s.end());
}

// The candidate buffer as a pass holds it: zero-filled before each scan.
struct Candidate {
    char sz[kCandidateBufferSize] = {};
    void Set(const std::string& text) {
        std::fill(std::begin(sz), std::end(sz), 0);
        text.copy(sz, text.size());
    }
};
