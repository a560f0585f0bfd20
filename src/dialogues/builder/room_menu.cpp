#include "dialogues/builder/room_menu.h"

#include "dialogues/builder/field_editors.h"
#include "dialogues/builder/region_prompt.h"
#include "dialogues/builder/taken_names.h"
#include "dialogues/builder/terrain_choice.h"
#include "format/function_name.h"

namespace rb {

namespace {

void printRoomMenu(Console& con, Settings& settings, const WorkingRoom& room) {
  con.print("\nCurrently editing room: ", room.room, "\n");
  if (settings.menusup != kMenuSuppressed) {
    con.print(
        "x: Exit without saving current room.\n"
        "0: Save and move to next room.\n"
        "1: Alter region name (This room only).\n"
        "2: Define exit destinations.\n"
        "3: Set short room name.\n"
        "4: Set room long description.\n"
        "5: Toggle darkness status (This room only).\n");
  }
  con.print(room.roomdark == 1 ? "Currently Light.\n" : "Currently Dark.\n");
  if (settings.menusup != kMenuSuppressed) {
    con.print(
        "6: Alter terrain type (This room only).\n"
        "7: Add random event (This room only).\n"
        "8: Add room command (This room only).\n"
        "9: See summary of room.\n");
  }
  if (settings.menusup == kMenuShowOnce) settings.menusup = kMenuSuppressed;
}

}  // namespace

RoomMenuEnd roomMenu(Console& con, Settings& settings, WorkingRoom& room, const AreaDefaults& area,
                     const NameTaken& taken) {
  for (;;) {
    printRoomMenu(con, settings, room);
    switch (con.getch()) {
      case 'x':
        return RoomMenuEnd::Leave;
      case '0':
        if (!taken || !taken(room.tempregionname, room.room)) return RoomMenuEnd::Save;
        con.print(takenNameRefusal(functionName(room.tempregionname, room.room)));
        break;
      case '?':
        settings.menusup = kMenuShowOnce;
        break;
      case '1':
        room.tempregionname = readRegionName(con, "Enter temporary region name:\t");
        break;
      case '2':
        exits(con, room);
        break;
      case '3':
        con.print("Please enter this locations short name:\n");
        room.shortname = con.readLine(kShortNameSize, LineKind::ShortName);
        break;
      case '4':
        longdesc(con, room);
        break;
      case '5':
        room.roomdark = room.roomdark == 0 ? 1 : 0;
        break;
      case '6':
        chooseRoomTerrain(con, room);
        break;
      case '7':
        randomevent(con, room);
        break;
      case '8':
        commandcode(con, room);
        break;
      case '9':
        summary(con, room, area);
        break;
      default:
        break;
    }
  }
}

}  // namespace rb
