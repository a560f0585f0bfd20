#include "builder/region_name.h"

#include "builder/room_model.h"
#include "shell/char_class.h"

namespace rb {

bool validRegionName(std::string_view name) {
  if (!name.empty() && isDigit(name.front())) return false;
  for (char c : name) {
    if (!isIdentifierChar(c)) return false;
  }
  return true;
}

std::string readRegionName(Console& con, const char* prompt) {
  for (;;) {
    con.print(prompt);
    std::string name = con.readLine(kRegionNameSize, LineKind::RegionName);
    if (validRegionName(name)) return name;
    con.print(
        "Region names may only contain letters, digits and underscores, and may not start with "
        "a digit.\n");
  }
}

}  // namespace rb
