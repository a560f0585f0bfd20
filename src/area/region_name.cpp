#include "area/region_name.h"

#include "shell/char_class.h"

namespace rb {

bool validRegionName(std::string_view name) {
  if (!name.empty() && isDigit(name.front())) return false;
  for (char c : name) {
    if (!isIdentifierChar(c)) return false;
  }
  return true;
}

}  // namespace rb
