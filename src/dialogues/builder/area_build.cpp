#include "dialogues/builder/area_build.h"

#include "dialogues/builder/file_dialogue.h"
#include "dialogues/builder/region_prompt.h"
#include "dialogues/builder/room_menu.h"
#include "dialogues/builder/taken_names.h"
#include "dialogues/builder/terrain_choice.h"
#include "format/data_row.h"
#include "format/function_name.h"
#include "format/room_record.h"
#include "terminal/number_prompt.h"

namespace rb {

namespace {

void clearExits(WorkingRoom& room) {
  for (int slot = 1; slot <= kExitCount; ++slot)
    room.exitd[static_cast<std::size_t>(slot)] = kNoExit;
}

// First and last room number, until the user confirms the count. Both numbers
// are read before the rest of the line is taken away. When appending, a
// range holding a number the room file has is refused: a number is as much
// a room's identity as its name.
void askRoomRange(Console& con, AreaDefaults& area, const TakenNames* existing) {
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
    if (existing) {
      if (const auto found = existing->numberIn(area.roomfirst, area.roomlast)) {
        con.print("The room file already has room ", found->taken, "; the next free number is ",
                  found->nextFree, ".\n");
        continue;
      }
    }
    // Counted in 64 bits: the whole int range holds 2^32 rooms.
    const long long total = static_cast<long long>(area.roomlast) - area.roomfirst + 1;
    con.print("This is a total of ", total, " rooms, is this correct? (y/n)\n");
    if (con.getch() == 'y') return;
  }
}

void areaDialogue(Console& con, BuilderState& state, const TakenNames* existing) {
  AreaDefaults& area = state.area;
  WorkingRoom& room = state.room;
  askRoomRange(con, area, existing);
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

// The room menu, from the first room until the last one is saved (true) or
// the user leaves with x (false).
bool roomLoop(Console& con, Settings& settings, BuilderState& state, RoomFiles& files,
              TakenNames& names) {
  const NameTaken taken = [&](std::string_view region, int room) {
    return names.taken(region, room);
  };
  bool more = state.area.roomfirst <= state.area.roomlast;
  while (more) {
    if (roomMenu(con, settings, state.room, state.area, taken) == RoomMenuEnd::Leave) return false;
    names.add(state.room.tempregionname, state.room.room);
    more = nextroom(state, files);
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
  RoomFiles files(con);
  openAreaFiles(con, settings.append ? OpenMode::Append : OpenMode::Create, files);
  // The names of the rooms the file holds, and then of those saved to it.
  NameTable table;
  TakenNames names(table);
  if (settings.append) names.addRecordsOf(files.roomFile());
  areaDialogue(con, state, settings.append ? &names : nullptr);
  if (roomLoop(con, settings, state, files, names)) {
    con.print("Room editing completed, returning to main menu.\n");
  }
  files.close();
}

}  // namespace rb
