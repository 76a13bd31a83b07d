#include "Utf8.h"

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    for (const char32_t ch : text) {
        if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else if (ch < 0x800) {
            out += static_cast<char>(0xC0 | ch >> 6);
            out += static_cast<char>(0x80 | (ch & 0x3F));
        } else if (ch < 0x10000) {
            out += static_cast<char>(0xE0 | ch >> 12);
            out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | ch >> 18);
            out += static_cast<char>(0x80 | (ch >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (ch >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    return out;
}

// Strict UTF-8 (no overlong forms, no surrogates). On failure *pBadColumn is the 1-based
// character position where the text stops being UTF-8.
bool DecodeUtf8(std::string_view bytes, std::u32string& out, int* pBadColumn) {
    out.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        char32_t ch = 0;
        char32_t least = 0;
        if (b < 0x80) {
            ch = b;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, ch = b & 0x1F, least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, ch = b & 0x0F, least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, ch = b & 0x07, least = 0x10000;
        } else {
            *pBadColumn = static_cast<int>(out.size()) + 1;
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= bytes.size()) {
            *pBadColumn = static_cast<int>(out.size()) + 1;
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) {
                *pBadColumn = static_cast<int>(out.size()) + 1;
                return false;
            }
            ch = ch << 6 | (c & 0x3F);
        }
        if (ch < least || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) {
            *pBadColumn = static_cast<int>(out.size()) + 1;
            return false;
        }
        out += ch;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}
