#include "dialogues/builder/field_editors.h"
#include "terminal/number_prompt.h"

namespace rb {

void randomevent(Console& con, WorkingRoom& room) {
  con.print("Please enter how often this event will occur (0-1, 0.1 is an example.)\n");
  readNumberLine(con, room.t);
  con.print("Please type the text which will be echoed to the room when this event happens.\n");
  room.randtext = con.readLine(kRandTextSize, LineKind::EventText);
}

}  // namespace rb
