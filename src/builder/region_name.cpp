#include "builder/region_name.h"

#include "builder/room_model.h"

namespace rb {

namespace {

bool isAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool validRegionName(std::string_view name) {
  if (!name.empty() && isAsciiDigit(name.front())) return false;
  for (char c : name) {
    if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_') return false;
  }
  return true;
}

std::string readRegionName(Console& con, const char* prompt) {
  for (;;) {
    con.print(prompt);
    std::string name = con.readLine(kRegionNameSize);
    if (validRegionName(name)) return name;
    con.print(
        "Region names may only contain letters, digits and underscores, and may not start with "
        "a digit.\n");
  }
}

}  // namespace rb
