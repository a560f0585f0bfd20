// Region names become part of C function names (region + "l_" + room), so
// only names that keep the function name an identifier are taken.
#pragma once

#include <string>
#include <string_view>

#include "shell/console.h"

namespace rb {

// ASCII letters, digits and underscores, not starting with a digit; empty
// is allowed.
bool validRegionName(std::string_view name);

// Prints `prompt` and reads a region name, refusing invalid ones and asking
// again until a valid one is typed.
std::string readRegionName(Console& con, const char* prompt);

}  // namespace rb
