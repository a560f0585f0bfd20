#include "terminal/screen_layout.h"

#include <algorithm>

#include "base/utf8.h"

namespace rb {

namespace {

constexpr int kTabStop = 8;

// The cell where a character of `columns` columns starting at `at` is drawn.
Cell placed(Cell at, int columns, int width) {
  if (columns > 0 && at.col + columns > width) return {at.row + 1, 0};
  return at;
}

}  // namespace

Cell advance(Cell at, std::string_view text, int width) {
  for (std::size_t pos = 0; pos < text.size(); pos += characterLength(text, pos)) {
    if (text[pos] == '\t') {
      at.col = std::max(std::min((at.col / kTabStop + 1) * kTabStop, width - 1), at.col);
      at.col = std::min(at.col, width);
      continue;
    }
    const int columns = characterColumns(text, pos);
    at = placed(at, columns, width);
    at.col += columns;
  }
  return at;
}

Cell cellOf(Cell at, std::string_view text, std::size_t pos, int width) {
  at = advance(at, text.substr(0, pos), width);
  if (pos >= text.size()) return at;
  if (text[pos] == '\t') return placed(at, 1, width);
  return placed(at, characterColumns(text, pos), width);
}

}  // namespace rb
