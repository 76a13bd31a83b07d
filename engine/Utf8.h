// UTF-8, the code of the texts VOKRA shows and of the dictionary sources, to and from Unicode.
#pragma once

#include <string>
#include <string_view>

std::string EncodeUtf8(std::u32string_view text);

// Strict UTF-8 (no overlong forms, no surrogates). On failure *pBadColumn is the 1-based
// character position where the text stops being UTF-8.
bool DecodeUtf8(std::string_view bytes, std::u32string& out, int* pBadColumn);
