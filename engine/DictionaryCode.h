// Text in the dictionary code (BIG5 with the extension codes of the conversion tables, mixed with
// ASCII) to and from Unicode, through the project's own tables and nothing else, so that what is
// shown is what will be written into a program file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Decodes `bytes`: ASCII as itself, a double-byte character through the tables. A byte that
// starts no character the tables hold becomes `invalid` (one per byte); NUL bytes, such as the
// pad bytes of a translation laid out for 16-bit units, are left out.
std::u32string DecodeDictionaryCode(std::string_view bytes, char32_t invalid = U'\uFFFD');

// Encodes `text`. Returns false when a character has no code, with its index in *pBadIndex;
// `out` is then incomplete.
bool EncodeDictionaryCode(std::u32string_view text, std::string& out, std::size_t* pBadIndex);

// A fixed UTF-8 text in the dictionary code (its ASCII, such as format directives, unchanged):
// the program's own texts that go into dictionary-code files. What the tables cannot hold is left
// out.
std::string DictionaryCodeOfUtf8(std::string_view utf8);

// --- Whole files, kept byte for byte -------------------------------------------------------
// A text editor must give back exactly the bytes it was given wherever the user changed nothing,
// whatever the file holds:
// - Lines end with CR LF or with a line feed alone; both are shown as a line break, and each
//   line remembers its own. A lone carriage return is no line end.
// - Printable ASCII and the tab are themselves; a double-byte character the tables hold is its
//   16-bit value.
// - Every other byte (control bytes, a lone carriage return, a byte that starts no character the
//   tables hold) is the placeholder U+F700 + byte. No position of the tables holds a value in
//   that private-use block.
// - The few values that two positions of the tables share are told apart: the standard position
//   decodes to the value, the other to a look-alike that no position holds (十 at 0xA2CC becomes
//   U+2F17 ⼗, for instance). A typed character is written with its standard position.
inline constexpr char32_t kKeptByteBase = 0xF700;

inline constexpr bool IsKeptByte(char32_t ch) {
    return ch >= kKeptByteBase && ch <= kKeptByteBase + 0xFF;
}

enum class ELineEnd : unsigned char { CrLf, Lf, None };

// A file's text as an editor shows it: the lines joined by U+000A, and the end of each line
// (one more than the line breaks in the text; the last is None).
struct DictionaryFileText {
    std::u32string strText;
    std::vector<ELineEnd> aLineEnds;
};

DictionaryFileText DecodeDictionaryFile(std::string_view bytes);

// Encodes an editor's text (lines joined by U+000A) into file bytes, appended to `out`. A line
// that is one of the lines of `original`, met in the same order, keeps that line's end: so a
// text nobody changed comes back byte for byte. Every other line ends with CR LF, the last one
// too unless it is empty (a dictionary entry on a last line without its line end would be lost).
// Returns false when a character has no code, with its index in the text in *pBadIndex; `out`
// is then incomplete.
bool EncodeDictionaryFile(std::u32string_view text, const DictionaryFileText& original,
                          std::string& out, std::size_t* pBadIndex);
