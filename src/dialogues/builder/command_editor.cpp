#include "dialogues/builder/field_editors.h"
#include "dialogues/builder/text_entry.h"
#include "terminal/number_prompt.h"

namespace rb {

void commandcode(Console& con, WorkingRoom& room) {
  for (;;) {
    con.print("How many words does the command consist of?\n");
    readNumberLine(con, room.command);
    if (room.command <= kMaxCommandWords) break;
    con.print("A command can have at most 9 words.\n");
  }
  for (int k = 1; k <= room.command; ++k) {
    con.print("Please enter word ", k, " of the command.\n");
    room.comm[static_cast<std::size_t>(k)] = con.readLine(kWordSize, LineKind::Word);
  }
  printEntryHelp(con,
                 "Please enter the text resulting from this command.\n"
                 "Input the text line by line.\n"
                 "Please take care not to exceed 79 characters (Indicated by the line below).\n");
  const EnteredText entered = enterTextLines(con, room.cdesc);
  if (entered.full) con.print("Maximum lines for command text reached.\n");
  room.clines = entered.last;
}

}  // namespace rb
