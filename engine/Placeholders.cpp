// Finding printf and FormatMessage placeholders in 16-bit text.
#include "Placeholders.h"

#include <algorithm>
#include <array>

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsOneOf(char16_t c, std::u16string_view set) {
    return c != 0 && set.find(c) != std::u16string_view::npos;
}

// The length of a printf length modifier at text[pos], 0 when none.
std::size_t LengthModifierAt(std::u16string_view text, std::size_t pos) {
    static constexpr auto kModifiers = std::to_array<std::u16string_view>(
        {u"I64", u"I32", u"hh", u"ll", u"h", u"l", u"L", u"I", u"w", u"z", u"j", u"t"});
    const std::u16string_view rest = text.substr(std::min(pos, text.size()));
    for (const std::u16string_view modifier : kModifiers) {
        if (rest.starts_with(modifier)) {
            return modifier.size();
        }
    }
    return 0;
}

// The length of a printf conversion at text[pos] (a '%'), 0 when none. `bWeak` asks for the
// conservative reading of a '%' that may well be a percent sign.
std::size_t PrintfLengthAt(std::u16string_view text, std::size_t pos, bool bWeak) {
    const std::size_t n = text.size();
    std::size_t i = pos + 1;
    while (i < n && IsOneOf(text[i], u"-+ #0")) {
        bWeak = bWeak || text[i] == u' ';
        ++i;
    }
    if (i < n && text[i] == u'*') {
        ++i;
    } else {
        while (i < n && IsDigit(text[i])) {
            ++i;
        }
    }
    if (i < n && text[i] == u'.') {
        ++i;
        if (i < n && text[i] == u'*') {
            ++i;
        } else {
            while (i < n && IsDigit(text[i])) {
                ++i;
            }
        }
    }
    i += LengthModifierAt(text, i);
    if (i >= n || !IsOneOf(text[i], u"diouxXeEfFgGaAcCsSpn")) {
        return 0;
    }
    ++i;
    if (bWeak && i < n && (IsLetter(text[i]) || text[i] == u' ')) {
        return 0;
    }
    return i - pos;
}

// Whether `format` (the text between the '!'s of "%1!...!") is one printf conversion.
bool IsInsertFormat(std::u16string_view format) {
    if (format.empty() || format.size() > 16) {
        return false;
    }
    const std::u16string conversion = u"%" + std::u16string(format);
    return PrintfLengthAt(conversion, 0, false) == conversion.size();
}

// The length of a FormatMessage insert or escape at text[pos] (a '%'), 0 when none.
std::size_t FormatMessageLengthAt(std::u16string_view text, std::size_t pos, bool bWeak) {
    const std::size_t n = text.size();
    std::size_t i = pos + 1;
    if (i >= n) {
        return 0;
    }
    if (text[i] >= u'1' && text[i] <= u'9') {
        ++i;
        if (i < n && IsDigit(text[i])) {
            ++i;
        }
        if (i < n && text[i] == u'!') {
            // The format is short: look for its closing '!' only a little way on.
            const std::size_t close = text.substr(0, i + 18).find(u'!', i + 1);
            if (close != std::u16string_view::npos &&
                IsInsertFormat(text.substr(i + 1, close - i - 1))) {
                i = close + 1;
            }
        }
        return i - pos;
    }
    if (!bWeak && IsOneOf(text[i], u"0t.!")) {
        return 2;
    }
    return 0;
}

// A numbered FormatMessage insert: "%1", "%12", "%1!s!" (a printf width ends in a conversion).
bool IsNumberedInsert(std::u16string_view placeholder) {
    return placeholder.size() >= 2 && placeholder[1] >= u'1' && placeholder[1] <= u'9' &&
           (IsDigit(placeholder.back()) || placeholder.back() == u'!');
}

// Placeholders that take no argument of their own, so their order does not matter.
bool IsEscape(std::u16string_view placeholder) {
    return placeholder.size() == 2 && IsOneOf(placeholder[1], u"%0t.!");
}

}  // namespace

std::size_t PlaceholderLengthAt(std::u16string_view text, std::size_t pos) {
    if (pos + 1 >= text.size() || text[pos] != u'%') {
        return 0;
    }
    if (text[pos + 1] == u'%') {
        return 2;
    }
    // "50%", "100%": a percent sign is far more likely than a conversion after a number.
    const bool bAfterDigit = pos > 0 && IsDigit(text[pos - 1]);
    const std::size_t printfLength = PrintfLengthAt(text, pos, bAfterDigit);
    if (printfLength > 0) {
        return printfLength;
    }
    return FormatMessageLengthAt(text, pos, bAfterDigit);
}

std::vector<std::u16string> FindPlaceholders(std::u16string_view text) {
    std::vector<std::u16string> found;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = text[i] == u'%' ? PlaceholderLengthAt(text, i) : 0;
        if (length > 0) {
            found.emplace_back(text.substr(i, length));
            i += length;
        } else {
            ++i;
        }
    }
    return found;
}

bool KeepsPlaceholders(std::u16string_view english, std::u16string_view translation) {
    // Split each list into the ordered conversions and the rest, which is compared sorted.
    const auto split = [](std::u16string_view text) {
        std::pair<std::vector<std::u16string>, std::vector<std::u16string>> parts;
        for (std::u16string& placeholder : FindPlaceholders(text)) {
            if (IsNumberedInsert(placeholder) || IsEscape(placeholder)) {
                parts.second.push_back(std::move(placeholder));
            } else {
                parts.first.push_back(std::move(placeholder));
            }
        }
        std::sort(parts.second.begin(), parts.second.end());
        return parts;
    };
    return split(english) == split(translation);
}
