// A prepared dictionary text (every CR LF turned into "]}") together with an index that finds a
// search key "[" TEXT "=" exactly where the linear search of FindKey finds it: at its first
// occurrence that begins at a character boundary, wherever in a line that is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

// A byte 0x81 to 0xFE begins a double-byte character of the dictionary code; a search steps over
// both of its bytes.
inline constexpr bool IsLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

class CDictionaryText {
  public:
    CDictionaryText() = default;
    CDictionaryText(std::string_view text) { Assign(text); }  // NOLINT: a text is a dictionary
    CDictionaryText& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }
    // The index points into the text, so a copy builds its own.
    CDictionaryText(const CDictionaryText& other);
    CDictionaryText& operator=(const CDictionaryText& other);

    // The text is held up to its first NUL byte, as a loaded file's bytes are.
    void Assign(std::string_view text);
    void Clear() { Assign({}); }

    const std::string& Text() const { return m_strText; }
    bool Empty() const { return m_strText.empty(); }

    // Offset of the first occurrence of the zero-terminated key at a character boundary, or -1.
    // Same answer as the linear search over Text(), in a fraction of its time.
    std::int64_t Find(const char* key) const;

  private:
    void BuildIndex();

    std::string m_strText;
    // For keys "[" TEXT "=" whose TEXT holds neither "[" nor "=": TEXT -> offset of the first
    // "[" at a character boundary followed by TEXT and "=".
    std::unordered_map<std::string_view, std::int64_t> m_mapEntries;
};
