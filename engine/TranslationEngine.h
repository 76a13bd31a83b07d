// The translation engine: dictionary lookup, the scanners that find English 16-bit runs in a
// file image, the translators that turn a run's text into Chinese, and the write-in of a
// translation over its run. Plain byte buffers in, plain byte buffers out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "DictionaryText.h"

inline constexpr int kKeyBufferSize = 2048;
inline constexpr int kResultBufferSize = 2048;
// A scanner takes at most this many characters into the candidate; the buffer has one byte more
// so that the candidate is always zero-terminated.
inline constexpr int kCandidateMaxChars = 2048;
inline constexpr int kCandidateBufferSize = kCandidateMaxChars + 1;
// Entry windows of a lookup: the whole-text and word lookups, and the single-phrase lookup.
inline constexpr int kEntryWindow = 2048;
inline constexpr int kSinglePhraseWindow = 128;
// At most this many bytes of a translation are copied into a result.
inline constexpr int kMaxTranslationBytes = 1023;

// Character filters of the plug-in scanner, by index: digits, lower case, upper case, blank, then
// ! " $ % ' ( ) * + , - . / : ; < = > ? @ [ ] ^ _ ` { | } ~.
inline constexpr int kCharFilterCount = 33;
// The factory setting: everything on but "=", "[" and "]", the dictionary's own delimiters.
inline constexpr unsigned char DefaultCharFilter[kCharFilterCount] = {
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 0, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1};
// The character a filter index stands for (0 for the three classes at index 0 to 2).
inline constexpr char CharFilterChars[kCharFilterCount] = {
    0,   0,   0,   ' ', '!', '"', '$', '%', '\'', '(', ')', '*', '+', ',', '-', '.', '/',
    ':', ';', '<', '=', '>', '?', '@', '[', ']',  '^', '_', '`', '{', '|', '}', '~'};

class CTranslationEngine {
  public:
    // The prepared dictionary texts: main ("message.txt" or "message1.txt"), plug-in ("user.txt")
    // and the edited translation text file of the manual write-back.
    CDictionaryText m_strMainDict;
    CDictionaryText m_strPlugInDict;
    CDictionaryText m_strEditedDict;

    // The last translation and its length in bytes; 0 means no translation. Written by the
    // engine only: every byte after the translation is zero.
    char m_szResult[kResultBufferSize] = {};
    int m_nResultLen = 0;

    // --- Dictionary text -------------------------------------------------------------------

    // Turns every CR LF pair into the two bytes "]" and "}", in place.
    static void PrepareDictionaryText(unsigned char* buffer, std::size_t length);
    // Copies a prepared text, upper-casing the letters of its keys.
    static void FoldDictionaryKeys(const unsigned char* text, unsigned char* out,
                                   std::size_t length);
    // Offset of the first occurrence of `key` at a character boundary, or -1: the plain linear
    // search that every dictionary lookup must agree with.
    static std::int64_t FindKey(std::string_view text, const char* key);
    // The text between the first `open` and the first `close` delimiter, as a copy.
    static std::string ExtractBetween(std::string_view text, char open, char close);
    // The whole lookup: finds `key`, takes the translation from the entry window of
    // `windowSize` bytes, and on a hit zero-fills `out` (kResultBufferSize bytes) and copies at
    // most 1023 bytes of the translation into it. On a miss `out` is untouched.
    static bool LookupEntry(const CDictionaryText& dict, const char* key, int windowSize,
                            char* out);

    // --- Scanners --------------------------------------------------------------------------
    // Each takes the image, its size, an even start offset and the candidate buffer
    // (kCandidateBufferSize bytes, zero-filled by the caller), copies the run's characters into
    // the candidate and returns the offset just after the run (the start offset: no run).

    static std::int64_t ScanSentenceRun(const unsigned char* image, std::int64_t size,
                                        std::int64_t pos, char* candidate);
    static std::int64_t ScanWordRun(const unsigned char* image, std::int64_t size, std::int64_t pos,
                                    char* candidate);
    static std::int64_t ScanFilteredRun(const unsigned char* image, std::int64_t size,
                                        std::int64_t pos, char* candidate,
                                        const unsigned char* charFilter);

    // --- Translators -----------------------------------------------------------------------
    // Each takes the candidate (zero-terminated) and the run's length in bytes and leaves its
    // result in m_szResult / m_nResultLen.

    void TranslatePlugIn(const char* candidate, int runBytes, bool bIgnoreCase);
    void TranslateSentence(const char* candidate, int runBytes, bool bPairUnits);
    void TranslateByWords(const char* key, int keyLen, bool bPairUnits);
    void TranslateWord(const char* candidate, int runBytes);
    // Whether the main-dictionary translators take a run's text at all: it must hold a lower-case
    // letter (all-capital texts, numbers and symbols stay as they are) and change letter at least
    // twice over the span the key is judged by, so that a text of one repeated letter stays too.
    static bool PassesMainGuards(const char* candidate, int runBytes);
    // The manual write-back's lookup in the edited translation text file (case-sensitive).
    void LookupEditedTranslation(const char* candidate, int nCount);

    // --- Write-in --------------------------------------------------------------------------

    // Turns a double-byte character into its 16-bit code: on return b1 is the low byte and b2
    // the high byte. A pair that is not in the tables stays as it was.
    static void ConvertBig5Char(unsigned char& b1, unsigned char& b2);
    // Batch write-in: blanks the run and lays m_szResult in as 2-byte units. The caller has
    // checked 0 < m_nResultLen <= runBytes.
    void LayInByUnits(unsigned char* image, std::int64_t pos, int runBytes) const;
    // Manual write-in: lays m_szResult in character by character when it fits; returns whether
    // it wrote.
    bool LayInByChars(unsigned char* image, std::int64_t pos, int runBytes) const;

  private:
    // LookupEntry into a buffer known to be zero from `extent` on: zero-filling it clears only
    // the first `extent` bytes, and `extent` becomes the length of what was copied. A pass makes
    // hundreds of thousands of lookups; clearing 2048 bytes for each would dominate its time.
    static bool LookupEntryInto(const CDictionaryText& dict, const char* key, int windowSize,
                                char* out, int& extent);
    // Zero-fills m_szResult (as far as anything was written) and sets m_nResultLen to 0.
    void ClearResult();
    // LookupEntry into m_szResult; on a hit m_nResultLen is the translation's length.
    void LookupIntoResult(const CDictionaryText& dict, const char* key, int windowSize);
    // Builds "[" + TEXT + "=" of a main-dictionary translator into m_szKey. Returns the key's
    // length, or 0 when the candidate must not be translated.
    int BuildMainKey(const char* candidate, int runBytes, bool* pbSeparator);
    // Appends to m_szResult when it fits, leaving room for the terminator.
    bool AppendResult(const char* bytes, int count);

    // How far m_szResult and the word result may hold non-zero bytes (everything at first).
    int m_nResultExtent = kResultBufferSize;
    int m_nWordResultExtent = kResultBufferSize;

    char m_szKey[kKeyBufferSize] = {};
    char m_szKeyAsWritten[kKeyBufferSize] = {};  // m_szKey with the candidate's own letter case
    char m_szPlugInKey[kKeyBufferSize] = {};
    char m_szWordKey[kKeyBufferSize] = {};
    char m_szWordResult[kResultBufferSize] = {};
};
