#include "dialogues/builder/field_editors.h"
#include "format/terrain_table.h"

namespace rb {

void summary(Console& con, const WorkingRoom& room, const AreaDefaults& area) {
  con.print("This is room ", room.room, ".\n");
  con.print("Its short description is: ", room.shortname, "\n");
  con.print("Its long description is:\n");
  for (int i = 0; i <= room.lines && i < kMaxTextLines; ++i) {
    con.print(room.ldesc[static_cast<std::size_t>(i)], "\n");
  }
  con.print("It is in region number ", area.region, ".\n");
  con.print("This region is called ", room.tempregionname, ".\n");
  con.print("The room's terrain is classified as ", terraintype[room.roomterrain].name, ".\n");
  con.print(room.roomdark != 0 ? "This room is naturally light.\n"
                               : "This room is naturally dark.\n");
  if (room.command > 0) {
    con.print("This room has a built in command.\n", "Its keywords are:\n");
    for (int k = 1; k <= room.command && k <= kMaxCommandWords; ++k) {
      con.print(room.comm[static_cast<std::size_t>(k)], "\n");
    }
    con.print("These commands generate this text:\n");
    for (int i = 0; i <= room.clines && i < kMaxTextLines; ++i) {
      con.print(room.cdesc[static_cast<std::size_t>(i)], "\n");
    }
  }
  // Shown only when the room file will hold the event.
  if (room.t > 0) {
    // The percentage is computed in double precision from the float.
    con.print("This room has a random event.\n", "It occurs ",
              SixDecimals{static_cast<double>(room.t) * 100}, "% of the time.\n",
              "It generates the text:\n", room.randtext, "\n");
  }
}

}  // namespace rb
