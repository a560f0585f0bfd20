#include "builder/area_build.h"

#include "builder/field_editors.h"
#include "builder/file_dialogue.h"
#include "builder/region_name.h"
#include "builder/room_writer.h"
#include "builder/terrain_choice.h"
#include "shell/number_prompt.h"

namespace rb {

namespace {

void clearExits(WorkingRoom& room) {
  for (int slot = 1; slot <= kExitCount; ++slot)
    room.exitd[static_cast<std::size_t>(slot)] = kNoExit;
}

// First and last room number, until the user confirms the count. Both numbers
// are read before the rest of the line is taken away.
void askRoomRange(Console& con, AreaDefaults& area) {
  for (;;) {
    con.print("Which number will be your first room number?\n");
    con.readInt(area.roomfirst);
    con.print("Which number will be your last room number?\n");
    con.readInt(area.roomlast);
    con.readLine(kScratchSize);
    // A function name such as vosmerl_-8 is not C.
    if (area.roomfirst < 0 || area.roomlast < 0) {
      con.print("Room numbers may not be negative.\n");
      continue;
    }
    // Counted in 64 bits: the whole int range holds 2^32 rooms.
    const long long total = static_cast<long long>(area.roomlast) - area.roomfirst + 1;
    con.print("This is a total of ", total, " rooms, is this correct? (y/n)\n");
    if (con.getch() == 'y') return;
  }
}

void areaDialogue(Console& con, BuilderState& state) {
  AreaDefaults& area = state.area;
  WorkingRoom& room = state.room;
  askRoomRange(con, area);
  area.regionname = readRegionName(con, "What is your default region name? (e.g. vosmer)\n");
  room.tempregionname = area.regionname;
  con.print("What is your default region number?\n");
  readNumberLine(con, area.region);
  con.print("Do you wish this area to be naturally dark? (y/n)\n");
  area.areadark = con.getch() == 'y' ? 0 : 1;
  room.roomdark = area.areadark;
  chooseAreaTerrain(con, area);
  room.roomterrain = area.areaterrain;
  room.command = 0;
  con.print("Area initialisation complete, entering room mode.\n");
  room.room = area.roomfirst;
  room.lines = 0;
  room.clines = 0;
  clearExits(room);
  room.shortname.clear();
  room.t = 0;
}

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

// The room menu, from the first room until the last one is saved (true) or
// the user leaves with x (false).
bool roomLoop(Console& con, Settings& settings, BuilderState& state, RoomFiles& files) {
  WorkingRoom& room = state.room;
  bool more = state.area.roomfirst <= state.area.roomlast;
  while (more) {
    printRoomMenu(con, settings, room);
    switch (con.getch()) {
      case 'x':
        return false;
      case '0':
        more = nextroom(state, files);
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
        summary(con, room, state.area);
        break;
      default:
        break;
    }
  }
  return true;
}

}  // namespace

bool nextroom(BuilderState& state, RoomFiles& files) {
  WorkingRoom& room = state.room;
  const AreaDefaults& area = state.area;
  save(room, area, files);
  // The last room may be the largest int; stop there instead of counting past it.
  const bool last = room.room >= area.roomlast;
  if (!last) ++room.room;
  // Short name and text buffers stay: the next room starts with them.
  room.roomterrain = area.areaterrain;
  room.lines = 0;
  room.clines = 0;
  room.command = 0;
  room.tempregionname = area.regionname;
  clearExits(room);
  room.roomdark = area.areadark;
  room.t = 0;
  return !last;
}

void newrooms(Console& con, Settings& settings, BuilderState& state) {
  RoomFiles files(con.isTerminal());
  openAreaFiles(con, settings.append ? OpenMode::Append : OpenMode::Create, files);
  areaDialogue(con, state);
  if (roomLoop(con, settings, state, files)) {
    con.print("Room editing completed, returning to main menu.\n");
  }
  files.close();
}

}  // namespace rb
