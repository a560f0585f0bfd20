#include "builder/text_entry.h"

namespace rb {

EnteredText enterTextLines(Console& con, std::array<std::string, kMaxTextLines>& text) {
  for (int i = 0; i < kMaxTextLines; ++i) {
    std::string line = con.readLine(kTextLineSize);
    if (line == ".") return {i - 1, false};
    text[static_cast<std::size_t>(i)] = std::move(line);
  }
  return {kMaxTextLines - 1, true};
}

}  // namespace rb
