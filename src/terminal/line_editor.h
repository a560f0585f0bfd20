// Editing a typed line in place on a terminal: the cursor keys, Home and
// End, Backspace and Delete, Ctrl-A/E/U/K/W/D, and Up and Down through the
// lines typed earlier at the same kind of prompt.
//
// A character that does not fit refuses every later character up to the
// next key that is not one (a cursor key, a deletion, Enter), so a paste
// into a full line never keeps a text that was not typed.
//
// The editor works with any terminal that understands the common ANSI
// cursor sequences. Typing at the end of the line writes exactly what the
// terminal's own echo would (each character, a line break at Enter); any
// other change redraws the prompt and the line from the prompt's first row.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "terminal/byte_queue.h"
#include "terminal/line_history.h"
#include "terminal/screen_layout.h"

namespace rb {

class LineEditor {
 public:
  using Write = std::function<void(std::string_view)>;
  using Width = std::function<int()>;

  // Keys come from `keys` (the bytes of an escape sequence or of a UTF-8
  // character are waited for `waitMs` milliseconds, -1 for as long as it
  // takes); what is drawn goes to `write`; `width` tells the terminal's
  // width at each redraw.
  LineEditor(ByteQueue& keys, int waitMs, Write write, Width width);

  struct Request {
    std::string_view prompt;  // what the program printed after its last line break
    std::size_t limit;        // bytes the line may hold
    const LineHistory::Lines* history = nullptr;  // earlier lines of this kind
    bool secret = false;  // nothing is shown and only Backspace edits (a passcode)
  };

  // Edits one line until Enter: true with the line in `line`. False when
  // input ends: Ctrl-D on an empty line, or the terminal gone.
  bool edit(const Request& request, std::string& line);

  // Draws the prompt and the line again on a fresh row: after the program
  // was stopped and went on, the screen no longer shows them.
  void redrawOnFreshRow();

 private:
  // One key's effect; false when the key ends the line (Enter).
  bool handle(int key);
  void insert(const std::string& character);
  // The character that begins with `lead`, its other bytes taken from the
  // keys when they form valid UTF-8 with it.
  std::string readCharacter(int lead);
  void erase(std::size_t from, std::size_t to);
  void moveTo(std::size_t pos);
  void recall(std::size_t index);
  // Redraws the prompt and the line and puts the cursor in its place.
  void render();

  std::size_t previousStep(std::size_t pos) const;
  std::size_t nextStep(std::size_t pos) const;

  ByteQueue& keys_;
  int waitMs_;
  Write write_;
  Width width_;

  Request request_{};
  std::string text_;
  std::size_t cursor_ = 0;
  std::size_t historyIndex_ = 0;  // lines().size() while the new line is edited
  std::string unsent_;            // the new line while an earlier one is shown
  Cell screen_;                   // where the terminal's cursor stands
  int columns_ = 80;
  bool active_ = false;
  bool refusing_ = false;  // a character was refused: so is the rest typed with it
};

}  // namespace rb
