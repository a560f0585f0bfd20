// `roombuilder check`: what is wrong with an area, one diagnostic a line in
// the form compilers and editors understand (FILE:LINE: error: TEXT), then a
// summary line.
//
// Errors: a function name used twice (the game server fails to compile), an
// exit to a room number no record has; with the data file, a room without a
// row, a row naming no room, a second row for one function name. Warnings:
// one-way exits, rooms not reachable from the first room, rooms without a
// short name, records and rows the room writer would not have written.
#pragma once

#include <string>
#include <string_view>

namespace rb {

struct CheckReport {
  std::string text;  // the diagnostics and the summary line
  int errors = 0;
  int warnings = 0;
};

// `dataName` empty: no data file is checked.
CheckReport checkArea(const std::string& roomName, std::string_view roomText,
                      const std::string& dataName, std::string_view dataText);

}  // namespace rb
