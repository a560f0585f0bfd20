// A small terminal emulator for tests: it interprets what the line editor
// writes (characters with the terminal's wrapping, CR, LF, tab, and the
// ANSI cursor sequences ESC [ n A/B/C/D and ESC [ J) into a screen of cells,
// so a test can check what the user would see and where the cursor stands.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rb::test {

class VirtualTerminal {
 public:
  VirtualTerminal(int width, int height);

  // Interprets `bytes`; a line feed also returns the carriage, as a terminal
  // with ONLCR shows it.
  void write(std::string_view bytes);

  // The text of row `r`, trailing blanks left out.
  std::string row(int r) const;
  // The rows up to the last one that holds anything.
  std::vector<std::string> rows() const;
  int cursorRow() const { return row_; }
  int cursorCol() const { return col_; }
  bool pendingWrap() const { return pending_; }

 private:
  void put(std::string_view character, int columns);
  void lineFeed();

  int width_;
  int height_;
  std::vector<std::vector<std::string>>
      cells_;  // "" is blank; a wide character's second cell is "\0"
  int row_ = 0;
  int col_ = 0;
  bool pending_ = false;
};

}  // namespace rb::test
