// Entry of a multi-line text (a long description or a command's response):
// lines typed one by one under a ruler, ended by a line holding a lone ".".
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "format/room_model.h"
#include "terminal/console.h"

namespace rb {

// Prints `intro`, then the lines both text entries share and the ruler that
// marks the end of a 79-character line while the user types under it.
void printEntryHelp(Console& con, std::string_view intro);

struct EnteredText {
  int last;   // index of the last line entered; -1 when the first line was "."
  bool full;  // all ten lines were entered without a closing "."
};

// Reads lines into `text` from line 0 until a lone "." or until ten lines
// have been entered; lines past the new end keep whatever they held.
EnteredText enterTextLines(Console& con, std::array<std::string, kMaxTextLines>& text);

}  // namespace rb
