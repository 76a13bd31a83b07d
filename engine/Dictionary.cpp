// Dictionary texts: preparation, key folding and the lookup every translator shares.
#include <algorithm>
#include <cstring>

#include "TranslationEngine.h"

namespace {

// Offset of the first `c` at or after `from` that begins a character (`from` must begin one),
// or -1.
std::int64_t FindChar(std::string_view text, char c, std::size_t from = 0) {
    for (std::size_t i = from; i < text.size();) {
        if (text[i] == c) {
            return static_cast<std::int64_t>(i);
        }
        i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return -1;
}

// The text between the first `open` and the first `close` that begin characters; without any
// `open`, from the text's start. One walk in the usual case, an entry "KEY=TRANSLATION]".
std::string_view ExtractBetweenView(std::string_view text, char open, char close) {
    std::int64_t a = -1;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == close) {
            if (a >= 0) {
                return text.substr(static_cast<std::size_t>(a + 1),
                                   i - static_cast<std::size_t>(a + 1));
            }
            // An `open` after the `close` gives a negative length; none at all, the start.
            return FindChar(text, open, i) >= 0 ? std::string_view() : text.substr(0, i);
        }
        if (c == open && a < 0) {
            a = static_cast<std::int64_t>(i);
        }
        i += IsLeadByte(static_cast<unsigned char>(c)) ? 2 : 1;
    }
    return {};
}

}  // namespace

void CTranslationEngine::PrepareDictionaryText(unsigned char* buffer, std::size_t length) {
    for (std::size_t i = 0; i + 1 < length;) {
        if (buffer[i] == '\r' && buffer[i + 1] == '\n') {
            buffer[i] = ']';
            buffer[i + 1] = '}';
            i += 2;
        } else {
            ++i;
        }
    }
}

void CTranslationEngine::FoldDictionaryKeys(const unsigned char* text, unsigned char* out,
                                            std::size_t length) {
    // Byte by byte, on purpose without stepping over double-byte characters: a trail byte "["
    // inside a translation switches to the key state until the next "=" or line end.
    enum { kOutside, kKey, kTranslation } state = kOutside;
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char c = text[i];
        if (c == '[') {
            state = kKey;
        } else if (c == '=') {
            state = kTranslation;
        } else if (c == '}') {
            state = kOutside;
        }
        if (state == kKey && c >= 'a' && c <= 'z') {
            c = static_cast<unsigned char>(c - 'a' + 'A');
        }
        out[i] = c;
    }
}

std::int64_t CTranslationEngine::FindKey(std::string_view text, const char* key) {
    const std::size_t k = std::strlen(key);
    for (std::size_t i = 0; i + k <= text.size();) {
        if (std::memcmp(text.data() + i, key, k) == 0) {
            return static_cast<std::int64_t>(i);
        }
        i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return -1;
}

std::string CTranslationEngine::ExtractBetween(std::string_view text, char open, char close) {
    return std::string(ExtractBetweenView(text, open, close));
}

bool CTranslationEngine::LookupEntry(const CDictionaryText& dict, const char* key, int windowSize,
                                     char* out) {
    int extent = kResultBufferSize;
    return LookupEntryInto(dict, key, windowSize, out, extent);
}

bool CTranslationEngine::LookupEntryInto(const CDictionaryText& dict, const char* key,
                                         int windowSize, char* out, int& extent) {
    const std::int64_t pos = dict.Find(key);
    if (pos < 0) {
        return false;
    }
    const std::string_view window = std::string_view(dict.Text())
                                        .substr(static_cast<std::size_t>(pos),
                                                static_cast<std::size_t>(std::max(windowSize, 0)));
    const std::string_view translation = ExtractBetweenView(window, '=', ']');
    const int length =
        static_cast<int>(std::min<std::size_t>(translation.size(), kMaxTranslationBytes));
    std::memset(out, 0, static_cast<std::size_t>(extent));
    if (length > 0) {
        std::memcpy(out, translation.data(), static_cast<std::size_t>(length));
    }
    extent = length;
    return true;
}
