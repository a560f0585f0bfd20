#include "format/region_name.h"

#include "base/char_class.h"

namespace rb {

bool validRegionName(std::string_view name) {
  if (!name.empty() && isDigit(name.front())) return false;
  for (char c : name) {
    if (!isIdentifierChar(c)) return false;
  }
  return true;
}

}  // namespace rb
