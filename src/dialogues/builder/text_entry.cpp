#include "dialogues/builder/text_entry.h"

namespace rb {

void printEntryHelp(Console& con, std::string_view intro) {
  con.print(intro,
            "If you do go over 79, it is possible to edit it shorter, but tov will\n"
            "not echo an accurate representation of your work.\n"
            "Enter a lone period on an empty line to end editing.\n"
            "-------------------------------------------------------------------------------|\n");
}

EnteredText enterTextLines(Console& con, std::array<std::string, kMaxTextLines>& text) {
  for (int i = 0; i < kMaxTextLines; ++i) {
    std::string line = con.readLine(kTextLineSize, LineKind::TextLine);
    if (line == ".") return {i - 1, false};
    text[static_cast<std::size_t>(i)] = std::move(line);
  }
  return {kMaxTextLines - 1, true};
}

}  // namespace rb
