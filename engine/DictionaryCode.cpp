#include "DictionaryCode.h"

#include <unordered_map>

#include "Big5.h"
#include "Utf8.h"

std::u32string DecodeDictionaryCode(std::string_view bytes, char32_t invalid) {
    std::u32string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            if (b != 0) {
                text += static_cast<char32_t>(b);
            }
            ++i;
            continue;
        }
        const int value =
            i + 1 < bytes.size() ? Big5ToUnicode(b, static_cast<unsigned char>(bytes[i + 1])) : -1;
        if (value < 0 || value == 0xFFFD) {
            text += invalid;
            ++i;
        } else {
            text += static_cast<char32_t>(value);
            i += 2;
        }
    }
    return text;
}

bool EncodeDictionaryCode(std::u32string_view text, std::string& out, std::size_t* pBadIndex) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t ch = text[i];
        if (ch < 0x80) {
            out += static_cast<char>(ch);
            continue;
        }
        const std::uint16_t code = UnicodeToBig5(ch);
        if (code == 0) {
            if (pBadIndex != nullptr) {
                *pBadIndex = i;
            }
            return false;
        }
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
    return true;
}

std::string DictionaryCodeOfUtf8(std::string_view utf8) {
    std::u32string text;
    int badColumn = 0;
    DecodeUtf8(utf8, text, &badColumn);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        EncodeDictionaryCode(text.substr(i, 1), out, nullptr);
    }
    return out;
}

namespace {

// The positions whose value another, standard position also holds, and what they decode to
// instead so that each keeps its own bytes.
struct SharedValue {
    std::uint16_t code;      // the position that gets the look-alike
    char32_t alias;          // a value no position of the tables holds
    std::uint16_t standard;  // the position that keeps the value itself
};
constexpr SharedValue kSharedValues[] = {
    {0xA2CC, U'\u2F17', 0xA451},  // 十
    {0xA2CE, U'\u3039', 0xA4CA},  // 卅
    {0xC94A, U'\uFA0C', 0xA461},  // 兀
    {0xDDFC, U'\uFA0D', 0xDCD1},  // 嗀
    {0xF9FA, U'\u250F', 0xF9DD},  // ╔
    {0xF9FB, U'\u2513', 0xF9DF},  // ╗
    {0xF9FC, U'\u2517', 0xF9E3},  // ╚
    {0xF9FD, U'\u251B', 0xF9E5},  // ╝
    {0xF9FE, U'\u2593', 0xA269},  // █
};

constexpr char32_t KeptByte(unsigned char b) {
    return kKeptByteBase + b;
}

void AppendCode(std::string& out, std::uint16_t code) {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// One character of a line, or false when it has no code.
bool EncodeChar(char32_t ch, std::string& out) {
    if (ch < 0x80) {
        out += static_cast<char>(ch);
        return true;
    }
    if (IsKeptByte(ch)) {
        out += static_cast<char>(ch - kKeptByteBase);
        return true;
    }
    std::uint16_t code = 0;
    for (const SharedValue& shared : kSharedValues) {
        if (shared.alias == ch) {
            code = shared.code;
        }
    }
    if (code == 0) {
        code = UnicodeToBig5(ch);
        for (const SharedValue& shared : kSharedValues) {
            if (shared.code == code) {
                code = shared.standard;
            }
        }
    }
    if (code == 0) {
        return false;
    }
    AppendCode(out, code);
    return true;
}

// The lines of a text joined by U+000A.
std::vector<std::u32string_view> SplitLines(std::u32string_view text) {
    std::vector<std::u32string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(U'\n', start);
        if (end == std::u32string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

// Finds, for lines met in order, the line of the original text they are: the first line of the
// same text after the one found last.
class COriginalLines {
  public:
    explicit COriginalLines(const DictionaryFileText& original) : m_original(original) {
        const std::vector<std::u32string_view> lines = SplitLines(original.strText);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            m_mapLines[lines[i]].aIndices.push_back(i);
        }
    }

    // The end of the original line `line` is, or nothing when it is none of them.
    const ELineEnd* Match(std::u32string_view line) {
        const auto found = m_mapLines.find(line);
        if (found == m_mapLines.end()) {
            return nullptr;
        }
        Occurrences& occurrences = found->second;
        while (occurrences.nNext < occurrences.aIndices.size() && m_bAnyMatched &&
               occurrences.aIndices[occurrences.nNext] <= m_nLastMatched) {
            ++occurrences.nNext;
        }
        if (occurrences.nNext == occurrences.aIndices.size()) {
            return nullptr;
        }
        m_nLastMatched = occurrences.aIndices[occurrences.nNext++];
        m_bAnyMatched = true;
        return m_nLastMatched < m_original.aLineEnds.size() ? &m_original.aLineEnds[m_nLastMatched]
                                                            : nullptr;
    }

  private:
    struct Occurrences {
        std::vector<std::size_t> aIndices;
        std::size_t nNext = 0;
    };
    const DictionaryFileText& m_original;
    std::unordered_map<std::u32string_view, Occurrences> m_mapLines;
    std::size_t m_nLastMatched = 0;
    bool m_bAnyMatched = false;
};

}  // namespace

DictionaryFileText DecodeDictionaryFile(std::string_view bytes) {
    DictionaryFileText file;
    std::u32string& text = file.strText;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            text += U'\n';
            file.aLineEnds.push_back(ELineEnd::CrLf);
            i += 2;
            continue;
        }
        if (b == '\n') {
            text += U'\n';
            file.aLineEnds.push_back(ELineEnd::Lf);
            ++i;
            continue;
        }
        if (b < 0x80) {
            const bool shown = b == '\t' || (b >= 0x20 && b < 0x7F);
            text += shown ? static_cast<char32_t>(b) : KeptByte(b);
            ++i;
            continue;
        }
        const int value =
            i + 1 < bytes.size() ? Big5ToUnicode(b, static_cast<unsigned char>(bytes[i + 1])) : -1;
        if (value < 0 || value == 0xFFFD) {
            text += KeptByte(b);
            ++i;
            continue;
        }
        const auto code =
            static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(bytes[i + 1]));
        char32_t ch = static_cast<char32_t>(value);
        for (const SharedValue& shared : kSharedValues) {
            if (shared.code == code) {
                ch = shared.alias;
            }
        }
        text += ch;
        i += 2;
    }
    file.aLineEnds.push_back(ELineEnd::None);
    return file;
}

bool EncodeDictionaryFile(std::u32string_view text, const DictionaryFileText& original,
                          std::string& out, std::size_t* pBadIndex) {
    COriginalLines originalLines(original);
    const std::vector<std::u32string_view> lines = SplitLines(text);
    std::size_t lineStart = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::u32string_view line = lines[n];
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (!EncodeChar(line[i], out)) {
                if (pBadIndex != nullptr) {
                    *pBadIndex = lineStart + i;
                }
                return false;
            }
        }
        lineStart += line.size() + 1;

        // The original's last line has no end of its own: with lines after it, it takes CR LF.
        const bool bLast = n + 1 == lines.size();
        const ELineEnd* kept = originalLines.Match(line);
        ELineEnd end = ELineEnd::CrLf;
        if (kept != nullptr && (*kept != ELineEnd::None || bLast)) {
            end = *kept;
        }
        if (bLast && line.empty()) {
            end = ELineEnd::None;
        }
        if (end == ELineEnd::CrLf) {
            out += "\r\n";
        } else if (end == ELineEnd::Lf) {
            out += '\n';
        }
    }
    return true;
}
