#include "tools/map/name_lines.h"

#include "base/utf8.h"

namespace rb {

std::vector<std::string_view> nameLines(std::string_view name, int columns) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < name.size()) {
    // As far as the line reaches, remembering the last blank on the way.
    std::size_t pos = start, lastBlank = std::string_view::npos;
    int used = 0;
    while (pos < name.size()) {
      const int width = name[pos] == ' ' ? 1 : characterColumns(name, pos);
      if (used + width > columns && pos > start) break;
      if (name[pos] == ' ') lastBlank = pos;
      used += width;
      pos += characterLength(name, pos);
    }
    if (pos == name.size()) {
      lines.push_back(name.substr(start));
      break;
    }
    if (name[pos] == ' ') {
      // The line ends just before a blank.
      lines.push_back(name.substr(start, pos - start));
      start = pos + 1;
    } else if (lastBlank != std::string_view::npos && lastBlank > start) {
      lines.push_back(name.substr(start, lastBlank - start));
      start = lastBlank + 1;
    } else {
      // A word longer than a line is broken where the line ends.
      lines.push_back(name.substr(start, pos - start));
      start = pos;
    }
  }
  return lines;
}

}  // namespace rb
