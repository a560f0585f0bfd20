// Text read from a file, made harmless to show: the control bytes it holds
// (an escape sequence could retitle or clear the user's terminal) written
// so that they can be seen instead of acted on.
#pragma once

#include <string>
#include <string_view>

namespace rb {

// Control bytes (below 0x20 but the tab, and DEL) as caret pairs, as
// `cat -v` shows them: ^[ for ESC, ^G for BEL, ^? for DEL. Other bytes stay.
void appendCaretNotation(std::string& out, std::string_view text);

// Control bytes (below 0x20, the tab too, and DEL) as \xHH, so that a line
// of diagnostics stays one line and never holds a NUL byte. Other bytes stay.
void appendHexEscaped(std::string& out, std::string_view text);

// `text` in double quotes with C's escapes: \" and \\, \t, \r and \n, other
// control bytes as \xhh. One line, never a raw control byte.
void appendCQuoted(std::string& out, std::string_view text);

}  // namespace rb
