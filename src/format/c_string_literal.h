// Text placed inside a double-quoted string literal of the room file.
//
// A backslash, a double quote and a carriage return are written as the
// escapes \\, \" and \r, and a '?' that follows a '?' as \? (so that no
// trigraph forms), so that what the builder typed compiles and means what
// was typed; every other character is written as it is.
#pragma once

#include <string>
#include <string_view>

namespace rb {

void appendEscaped(std::string& out, std::string_view text);

// Reads escaped text back into `text` (replacing what it held): from `pos`,
// decoding the escapes appendEscaped writes, up to the end of `line` or the
// first backslash that begins none of them (such as the \n that ends a text
// in the room file), where `pos` is left. With `toQuote`, an unescaped
// double quote ends the text too.
void decodeEscaped(std::string_view line, std::size_t& pos, std::string& text,
                   bool toQuote = false);

// As decodeEscaped, but only for what appendEscaped writes: false as soon
// as the literal holds what appendEscaped never writes (a raw carriage
// return or double quote, \? not after a '?', a '?' after a '?' unescaped),
// with `pos` where the reading stopped.
bool decodeCanonical(std::string_view line, std::size_t& pos, std::string& text,
                     bool toQuote = false);

}  // namespace rb
