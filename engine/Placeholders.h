// The placeholders of an interface text: printf conversions and FormatMessage inserts. A
// translation must keep them, or the program prints garbage or reads the wrong arguments.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The printf and FormatMessage placeholders of a text, in order:
//  - printf: '%', flags (- + space # 0), width (digits or *), precision (. digits or .*), length
//    (hh h ll l L I64 I32 I w z j t) and a conversion (d i u o x X e E f F g G a A c C s S p n):
//    "%s", "%-10ls", "%5.2f", "%I64d", "%*d", "%hs", "%ws";
//  - FormatMessage: "%1" to "%99" with an optional "!printf-format!" ("%1!s!", "%2!04x!"), and
//    the escapes "%0", "%t", "%.", "%!"; "%%" and "%n" belong to both.
// A '%' that only looks like the start of one is a percent sign: "50% done", "100% of" and
// "100%." hold none. A '%' right after a digit, or one read with the space flag, counts only when
// its conversion letter is followed by neither a letter nor a blank.
std::vector<std::u16string> FindPlaceholders(std::u16string_view text);

// The length of the placeholder that starts at text[pos] (a '%'), 0 when none starts there.
std::size_t PlaceholderLengthAt(std::u16string_view text, std::size_t pos);

// Whether `translation` keeps the placeholders of `english`: the printf conversions (the ones
// that take an argument) the same and in the same order; the numbered FormatMessage inserts and
// the escapes ("%%", "%0", "%t", ...) the same number of times each, in any order, since a
// translation may move a "%2" before a "%1".
bool KeepsPlaceholders(std::u16string_view english, std::u16string_view translation);
