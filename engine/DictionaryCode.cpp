#include "DictionaryCode.h"

#include "Big5.h"

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
