// Region names become part of C function names (region + "l_" + room), so
// only names that keep the function name an identifier are taken.
#pragma once

#include <string_view>

namespace rb {

// ASCII letters, digits and underscores, not starting with a digit; empty
// is allowed.
bool validRegionName(std::string_view name);

}  // namespace rb
