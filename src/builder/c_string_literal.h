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

}  // namespace rb
