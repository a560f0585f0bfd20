#include "dialogues/builder/field_editors.h"
#include "dialogues/builder/text_entry.h"

namespace rb {

void longdesc(Console& con, WorkingRoom& room) {
  printEntryHelp(con,
                 "Please enter this room's long description.\n"
                 "Input the description line by line.\n"
                 "Please take care not to exceed 79 characters (indicated by the line below).\n");
  const EnteredText entered = enterTextLines(con, room.ldesc);
  if (entered.full) con.print("Maximum lines for long description reached.\n");
  room.lines = entered.last;
  con.print("This is the room description recorded:\n");
  for (int i = 0; i <= room.lines; ++i)
    con.print(room.ldesc[static_cast<std::size_t>(i)], "\n");
}

}  // namespace rb
