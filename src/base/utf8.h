// UTF-8 as the program meets it: texts are kept in bytes, cut to byte limits
// without splitting a character, and shown in terminal columns. Text that is
// not UTF-8 (Latin-1 from an old terminal) is taken byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rb {

// The length of the valid UTF-8 sequence that starts at `pos` (1 for an
// ASCII byte), or 0 when the bytes there are not a complete, valid sequence
// (a stray byte, an overlong form, a surrogate, beyond U+10FFFF, cut short).
std::size_t utf8Length(std::string_view text, std::size_t pos);

// The number of leading bytes of `text` to keep under a limit of `limit`
// bytes: `limit` itself, less the bytes of a character that straddles it
// (valid UTF-8 begun before the limit and completed after it). A text no
// longer than the limit is kept whole.
std::size_t cutAtCharacter(std::string_view text, std::size_t limit);

// Whether all of `text` is valid UTF-8.
bool isValidUtf8(std::string_view text);
// Where the first byte of `text` is that is not part of valid UTF-8, or
// its size when there is none. Fast on ASCII.
std::size_t firstInvalidUtf8(std::string_view text);

// The character (valid sequence, or a single byte) starting at `pos`.
std::size_t characterLength(std::string_view text, std::size_t pos);

// Columns a terminal gives the character starting at `pos`, as the Unicode
// data of utf8proc has it: 0 for combining marks, 2 for wide East Asian
// characters, 1 for most others, and 1 for a byte that is not valid UTF-8
// (shown as one replacement character).
int characterColumns(std::string_view text, std::size_t pos);

// The columns a line of text takes on screen from the first column: each
// character's columns, a tab to the next multiple of 8.
int displayWidth(std::string_view text);

}  // namespace rb
