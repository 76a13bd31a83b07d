#include "TerminalText.h"

#include <cstdio>

#include "Utf8.h"

namespace {

std::string Escaped(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, value < 0x100 ? "\\x%02X" : "\\u%04X", value);
    return text;
}

}  // namespace

std::string TerminalText(std::string_view text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == 0x7F) {
                shown += Escaped(byte);
            } else {
                shown += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        // One UTF-8 character at a time; the C1 controls (U+0080 to U+009F) are escaped too.
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        std::u32string character;
        int badColumn = 0;
        if (i + length <= text.size() &&
            DecodeUtf8(text.substr(i, length), character, &badColumn) && character.size() == 1) {
            if (character[0] < 0xA0) {
                shown += Escaped(static_cast<unsigned>(character[0]));
            } else {
                shown += text.substr(i, length);
            }
            i += length;
        } else {
            shown += Escaped(byte);
            ++i;
        }
    }
    return shown;
}
