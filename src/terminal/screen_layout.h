// Where text lands on a terminal of a given width: the terminal's own
// wrapping, followed cell by cell, so the line editor knows where its
// cursor stands on the screen.
#pragma once

#include <string_view>

namespace rb {

// A position relative to the start of the row on which the prompt begins.
// A column equal to the width means "pending wrap": the last column has
// just been written, and the next character goes to the next row.
struct Cell {
  int row = 0;
  int col = 0;
  bool operator==(const Cell&) const = default;
};

// Where the cursor stands after the terminal has written `text` from `at`
// on rows of `width` columns. Wide characters take two columns and move to
// the next row as a whole; tabs go to the next multiple of 8, never past
// the last column.
Cell advance(Cell at, std::string_view text, int width);

// The cell where the character at `pos` of `text` is drawn when the text is
// written from `at` (the cell after the text when `pos` is its end).
Cell cellOf(Cell at, std::string_view text, std::size_t pos, int width);

}  // namespace rb
