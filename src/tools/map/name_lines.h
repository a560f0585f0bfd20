// A room's short name broken into the lines of its box on the map: on word
// boundaries where it can be, inside a word that is longer than a line.
// Nothing of the name is lost: the lines, joined again with the blanks they
// were broken at, are the name.
#pragma once

#include <string_view>
#include <vector>

namespace rb {

// Lines of at most `columns` terminal columns each; no line for an empty
// name. A blank where a line is broken belongs to neither line.
std::vector<std::string_view> nameLines(std::string_view name, int columns);

}  // namespace rb
