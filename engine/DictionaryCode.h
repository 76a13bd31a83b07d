// Text in the dictionary code (BIG5 with the extension codes of the conversion tables, mixed with
// ASCII) to and from Unicode, through the project's own tables and nothing else, so that what is
// shown is what will be written into a program file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Decodes `bytes`: ASCII as itself, a double-byte character through the tables. A byte that
// starts no character the tables hold becomes `invalid` (one per byte); NUL bytes, such as the
// pad bytes of a translation laid out for 16-bit units, are left out.
std::u32string DecodeDictionaryCode(std::string_view bytes, char32_t invalid = U'\uFFFD');

// Encodes `text`. Returns false when a character has no code, with its index in *pBadIndex;
// `out` is then incomplete.
bool EncodeDictionaryCode(std::u32string_view text, std::string& out, std::size_t* pBadIndex);
